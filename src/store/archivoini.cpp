#include "archivoini.h"

#include "texto.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace kv {

namespace {

// The profile files are Windows-era text: Windows-1252, lines ending in CR LF
// or LF. Lines are kept exactly as read, so that a write changes one line.
QStringList leerLineas(const QString &ruta, QString *finDeLinea)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return {};
    const QString contenido = desdeCp1252(archivo.readAll());
    if (finDeLinea)
        *finDeLinea = contenido.contains(u"\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lineas = contenido.split(u'\n');
    for (QString &linea : lineas) {
        if (linea.endsWith(u'\r'))
            linea.chop(1);
    }
    if (!lineas.isEmpty() && lineas.last().isEmpty())
        lineas.removeLast();
    return lineas;
}

// "[Options]" → "Options"; empty when the line is not a section header.
QString nombreSeccion(const QString &linea)
{
    const QString t = linea.trimmed();
    if (t.startsWith(u'[')) {
        const qsizetype cierre = t.indexOf(u']');
        if (cierre > 0)
            return t.mid(1, cierre - 1).trimmed();
    }
    return {};
}

bool esSeccion(const QString &linea) { return linea.trimmed().startsWith(u'[') && linea.contains(u']'); }

// The key of a "key=value" line, or empty.
QString nombreClave(const QString &linea)
{
    const qsizetype igual = linea.indexOf(u'=');
    if (igual <= 0 || linea.trimmed().startsWith(u';'))
        return {};
    return linea.left(igual).trimmed();
}

bool mismoNombre(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

ArchivoIni::ArchivoIni(QString ruta) : m_ruta(std::move(ruta)) {}

QString ArchivoIni::rutaPredeterminada()
{
    QString carpeta = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (carpeta.isEmpty())
        carpeta = QDir::homePath() + QStringLiteral("/.config");
    return carpeta + QStringLiteral("/KV000.INI");
}

bool ArchivoIni::existe() const { return QFile::exists(m_ruta); }

QString ArchivoIni::leer(const QString &seccion, const QString &clave) const
{
    bool dentro = false;
    for (const QString &linea : leerLineas(m_ruta, nullptr)) {
        if (esSeccion(linea)) {
            dentro = mismoNombre(nombreSeccion(linea), seccion);
            continue;
        }
        if (!dentro || !mismoNombre(nombreClave(linea), clave))
            continue;
        QString valor = linea.mid(linea.indexOf(u'=') + 1).trimmed();
        // A value between matching quotes is returned without them.
        if (valor.size() >= 2 && (valor.front() == u'"' || valor.front() == u'\'') && valor.back() == valor.front())
            valor = valor.mid(1, valor.size() - 2);
        return valor.left(kLargoMaximo).trimmed();
    }
    return {};
}

bool ArchivoIni::escribir(const QString &seccion, const QString &clave, const QString &valor)
{
    QString finDeLinea = QStringLiteral("\r\n");
    QStringList lineas = leerLineas(m_ruta, &finDeLinea);
    const QString nueva = clave + u'=' + valor;

    qsizetype inicioSeccion = -1;
    qsizetype ultimaDeSeccion = -1; // last non-blank line of the section
    bool escrita = false;
    for (qsizetype i = 0; i < lineas.size() && !escrita; ++i) {
        const QString &linea = lineas.at(i);
        if (esSeccion(linea)) {
            if (inicioSeccion >= 0)
                break;
            if (mismoNombre(nombreSeccion(linea), seccion))
                inicioSeccion = ultimaDeSeccion = i;
            continue;
        }
        if (inicioSeccion < 0)
            continue;
        if (mismoNombre(nombreClave(linea), clave)) {
            lineas[i] = nueva;
            escrita = true;
        } else if (!linea.trimmed().isEmpty()) {
            ultimaDeSeccion = i;
        }
    }
    if (!escrita) {
        if (inicioSeccion >= 0) {
            lineas.insert(ultimaDeSeccion + 1, nueva);
        } else {
            lineas << u'[' + seccion + u']' << nueva;
        }
    }

    QDir().mkpath(QFileInfo(m_ruta).absolutePath());
    QSaveFile archivo(m_ruta);
    if (!archivo.open(QIODevice::WriteOnly))
        return false;
    archivo.write(aCp1252(lineas.join(finDeLinea) + finDeLinea));
    return archivo.commit();
}

} // namespace kv
