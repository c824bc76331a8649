#pragma once

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace kv::prueba {

struct Palabra
{
    int pagina = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString texto;
};

// Where a position of a report (twips from its origin) lands on a portrait
// A4 PDF page, in points from the sheet's edge: a quarter of an inch in,
// the 11500 twips the reports may reach fitted into the 8.27 - 0.5 inches
// between the margins.
inline double puntosEnPdfA4(int twips)
{
    const double ajuste = (595.28 - 36) / (11500 / 20.0);
    return 18 + twips / 20.0 * ajuste;
}
inline double anchoEnPdfA4(double puntos)
{
    return puntos * (595.28 - 36) / (11500 / 20.0);
}

// Every word of a PDF file with its box in points from the top-left corner
// of its page, as poppler's "pdftotext -bbox" reads them.
inline QList<Palabra> palabrasPdf(const QString &pdf, int *paginas)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString salida = QString::fromUtf8(p.readAllStandardOutput());
    QList<Palabra> lista;
    int pagina = -1;
    static const QRegularExpression expresion(QStringLiteral(
        R"re(<page [^>]*>|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    auto it = expresion.globalMatch(salida);
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++pagina;
            continue;
        }
        lista.append(Palabra{pagina, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                             m.captured(4).toDouble(), m.captured(5)});
    }
    if (paginas)
        *paginas = pagina + 1;
    return lista;
}

} // namespace kv::prueba
