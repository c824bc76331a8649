#pragma once

#include "store/texto.h"

#include <QFile>
#include <QStringList>

namespace kv::prueba {

// Writes the lines as a page-description file is stored: Windows-1252,
// CR LF after each line.
inline bool escribirArchivo(const QString &ruta, const QStringList &lineas)
{
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (const QString &l : lineas)
        f.write(aCp1252(l) + "\r\n");
    return true;
}

// A report of `paginas` pages as the module's writers produce it: header
// records, then per page a few texts naming the page and a box, with
// "pNuevaHoja" between pages.
inline QStringList reporteDePaginas(int paginas, const QString &orientacion = QStringLiteral("V"),
                                   int textosPorPagina = 3)
{
    QStringList l{QStringLiteral("<!font!>Courier New<!/font!>"),
                  QStringLiteral("<!Orientacion!>%1<!/Orientacion!>").arg(orientacion),
                  QStringLiteral("<!Color!>&H80000005&<!/Color!>"),
                  QStringLiteral("<!nHojas!>%1<!/nHojas!>").arg(paginas)};
    for (int p = 0; p < paginas; ++p) {
        if (p > 0)
            l.append(QStringLiteral("pNuevaHoja"));
        l.append(QStringLiteral("pCuadro|150|300|11000|1640|%1|").arg(p));
        for (int t = 0; t < textosPorPagina; ++t)
            l.append(QStringLiteral("pPos|300|%1|PAGINA %2 LINEA %3|False|9|%4|").arg(2000 + 270 * t).arg(p + 1).arg(t).arg(p));
    }
    return l;
}

} // namespace kv::prueba
