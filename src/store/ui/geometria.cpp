#include "geometria.h"

#include "store/archivoini.h"

#include <QFileInfo>
#include <QSettings>
#include <QWidget>

namespace kv {

namespace {

QString clave(const QString &nombre)
{
    return nombre + QStringLiteral("/geometria");
}

} // namespace

QString rutaGeometrias()
{
    return QFileInfo(ArchivoIni::rutaPredeterminada()).absolutePath() + QStringLiteral("/kv517.conf");
}

bool restaurarGeometria(QWidget *ventana, const QString &nombre)
{
    const QSettings ajustes(rutaGeometrias(), QSettings::IniFormat);
    const QByteArray geometria = ajustes.value(clave(nombre)).toByteArray();
    // Qt puts back on a screen a window kept where no screen is now.
    return !geometria.isEmpty() && ventana->restoreGeometry(geometria);
}

void guardarGeometria(const QWidget *ventana, const QString &nombre)
{
    QSettings ajustes(rutaGeometrias(), QSettings::IniFormat);
    ajustes.setValue(clave(nombre), ventana->saveGeometry());
}

} // namespace kv
