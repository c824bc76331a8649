#include "hojacalculo.h"

#include "lectorcsv.h"
#include "lectorxlsx.h"

#include <QDir>
#include <QFile>

namespace kv {

bool celdaEnBlanco(QStringView celda)
{
    return std::all_of(celda.begin(), celda.end(), [](QChar c) { return c.isSpace(); });
}

bool FilaHoja::enBlanco() const
{
    return std::all_of(celdas.cbegin(), celdas.cend(), [](const QString &c) { return celdaEnBlanco(c); });
}

QString FilaHoja::celda(int columna) const
{
    return columna >= 0 && columna < celdas.size() ? celdas.at(columna) : QString();
}

QString letraColumna(int columna)
{
    QString letras;
    for (int n = columna + 1; n > 0; n = (n - 1) / 26)
        letras.prepend(QChar(u'A' + (n - 1) % 26));
    return letras;
}

int columnaDeLetras(QStringView letras)
{
    if (letras.isEmpty() || letras.size() > 3)
        return -1;
    int c = 0;
    for (const QChar l : letras) {
        if (l < u'A' || l > u'Z')
            return -1;
        c = c * 26 + (l.unicode() - u'A' + 1);
    }
    return c <= kColumnasHoja ? c - 1 : -1;
}

std::unique_ptr<LectorHoja> abrirHoja(const QString &ruta, const QString &hoja, QString &error)
{
    bool libro = ruta.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
    if (!libro && !ruta.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        // Neither name: a zip is taken for a workbook.
        QFile archivo(ruta);
        libro = archivo.open(QIODevice::ReadOnly) && archivo.read(4) == QByteArrayView("PK\x03\x04");
    }
    if (libro)
        return LectorXlsx::abrir(ruta, hoja, error);
    return LectorCsv::abrir(ruta, error);
}

} // namespace kv
