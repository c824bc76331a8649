// A report file drawn into a PDF as the printer would draw it, read back
// with poppler's pdftotext: pages, and where each text landed.
#include "archivosprueba.h"
#include "reports/dibujopagina.h"
#include "reports/motorreporte.h"
#include "support/palabraspdf.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;
using namespace kv::prueba;


class TstPdfReporte : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QFAIL("pdftotext (poppler-utils) is needed: tools/install-deps.sh installs it");
    }
    void posiciones_data();
    void posiciones();
    void lejosDelBorde_data();
    void lejosDelBorde();
    void orientacionPorTrabajo();
    void archivoIlegibleNoDejaPdf();
    void archivoQueFalta();
    void textoDeUnMillonDeCaracteres();
};

void TstPdfReporte::posiciones_data()
{
    QTest::addColumn<QString>("palabra");
    QTest::addColumn<int>("pagina");
    QTest::addColumn<int>("x"); // twips
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("puntos");
    QTest::newRow("resumen") << "Pag." << 0 << 5500 << 350 << 10;
    QTest::newRow("margen") << "ESQUINA" << 0 << 300 << 300 << 8;
    QTest::newRow("negrita grande") << "TITULO" << 0 << 2880 << 1440 << 14;
    QTest::newRow("segunda hoja") << "SEGUNDA" << 1 << 1440 << 14400 << 9;
    QTest::newRow("tercera hoja") << "TERCERA" << 2 << 7200 << 7200 << 8;
    QTest::newRow("vertical tercera letra") << "Z" << 2 << 600 << 2000 + 2 * 190 << 8;
}

void TstPdfReporte::posiciones()
{
    QFETCH(QString, palabra);
    QFETCH(int, pagina);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, puntos);

    static QString pdf;
    static QList<Palabra> leidas;
    static int paginas = 0;
    if (pdf.isEmpty()) {
        const QString prn = m_dir.filePath(QStringLiteral("00000001.PRN"));
        QVERIFY(escribirArchivo(
            prn, {QStringLiteral("<!font!>Courier New<!/font!>"), QStringLiteral("<!Orientacion!>V<!/Orientacion!>"),
                  QStringLiteral("<!Color!>&H00FFFFC0&<!/Color!>"), QStringLiteral("pPos|5500|350|Pag. 01/03|False|10|0|"),
                  QStringLiteral("pPos|300|300|ESQUINA|False|8|0|"), QStringLiteral("pPos|2880|1440|TITULO|True|14|0|"),
                  QStringLiteral("pCuadro|150|300|1700|1640|0|"), QStringLiteral("pNuevaHoja"),
                  QStringLiteral("pPos|1440|14400|SEGUNDA|False|9|1|"), QStringLiteral("pNuevaHoja"),
                  QStringLiteral("pPos|7200|7200|TERCERA|False|8|2|"), QStringLiteral("pPosVerti|600|2000|XYZ|False|8|2|"),
                  QStringLiteral("pNuevaHoja")}));
        pdf = m_dir.filePath(QStringLiteral("salida.pdf"));
        QString error;
        QVERIFY2(exportarPdf(prn, pdf, &error), qPrintable(error));
        leidas = palabrasPdf(pdf, &paginas);
    }
    QCOMPARE(paginas, 3); // the break at the end adds no page

    const auto it = std::find_if(leidas.cbegin(), leidas.cend(), [&](const Palabra &p) { return p.texto == palabra; });
    QVERIFY2(it != leidas.cend(), qPrintable(palabra));
    QCOMPARE(it->pagina, pagina);
    // 20 twips a point, from a quarter of an inch (18 points) inside the
    // sheet, scaled to the width between the margins. The cell's top is
    // where the text was placed; poppler puts the top of a word one font
    // ascent above its baseline, which is where the cell starts, give or
    // take the rounding of the font's metrics.
    const double xEsperado = puntosEnPdfA4(x);
    const double yEsperado = puntosEnPdfA4(y);
    QVERIFY2(qAbs(it->xMin - xEsperado) <= 1.0,
             qPrintable(QStringLiteral("x %1 en vez de %2").arg(it->xMin).arg(xEsperado)));
    QVERIFY2(qAbs(it->yMin - yEsperado) <= 1.0,
             qPrintable(QStringLiteral("y %1 en vez de %2").arg(it->yMin).arg(yEsperado)));
    // Courier New is fixed pitch, 0.6 em a character.
    const double ancho = anchoEnPdfA4(palabra.size() * 0.6 * puntos);
    QVERIFY2(qAbs((it->xMax - it->xMin) - ancho) <= 1.0,
             qPrintable(QStringLiteral("ancho %1 en vez de %2").arg(it->xMax - it->xMin).arg(ancho)));
}

// Nothing a report draws comes within 6 mm of the sheet's edges: the
// corner of the layout, the widest it reaches, the foot of a page and the
// reports of the system themselves.
void TstPdfReporte::lejosDelBorde_data()
{
    QTest::addColumn<QString>("prn");
    const QString cabecera = QStringLiteral("<!font!>Courier New<!/font!>\r\n<!Orientacion!>V<!/Orientacion!>\r\n");
    QTest::newRow("esquina") << cabecera + QStringLiteral("pPos|0|0|ESQUINA|True|12|0|");
    // Ten characters of 8 points end at x 11500.
    QTest::newRow("lo mas ancho") << cabecera + QStringLiteral("pPos|10540|7000|0123456789|False|8|0|");
    QTest::newRow("pie") << cabecera + QStringLiteral("pPos|300|15900|PIE|False|10|0|");
    const QString fuentes = qEnvironmentVariable("KV_SOURCE_DIR") + QStringLiteral("/tests/");
    QTest::newRow("declaracion") << fuentes + QStringLiteral("reports/datos/vuelos40.PRN");
    QTest::newRow("errores de importacion") << fuentes + QStringLiteral("flights/datos/errores39.PRN");
}

void TstPdfReporte::lejosDelBorde()
{
    QFETCH(QString, prn);
    QString archivo = prn;
    if (prn.startsWith(u'<')) {
        archivo = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + QStringLiteral(".PRN"));
        QVERIFY(escribirArchivo(archivo, prn.split(QStringLiteral("\r\n"))));
    }
    const QString pdf = m_dir.filePath(QStringLiteral("bordes.pdf"));
    QString error;
    QVERIFY2(exportarPdf(archivo, pdf, &error), qPrintable(error));
    int paginas = 0;
    const QList<Palabra> palabras = palabrasPdf(pdf, &paginas);
    QVERIFY(!palabras.isEmpty());
    // A4 in points; 6 mm is 17.01 points.
    const double ancho = 595.28, alto = 841.89, margen = 6 / 25.4 * 72;
    for (const Palabra &p : palabras) {
        const QString donde = QStringLiteral("\"%1\" (%2, %3)-(%4, %5)")
                                  .arg(p.texto).arg(p.xMin).arg(p.yMin).arg(p.xMax).arg(p.yMax);
        QVERIFY2(p.xMin >= margen && p.yMin >= margen, qPrintable(donde));
        QVERIFY2(p.xMax <= ancho - margen && p.yMax <= alto - margen, qPrintable(donde));
    }
}

// The machine has no printer in the test runs: the system's printer is a
// PDF file, landscape for a report that asks for it and portrait again for
// the next one.
void TstPdfReporte::orientacionPorTrabajo()
{
    const QString h = m_dir.filePath(QStringLiteral("h.PRN"));
    const QString v = m_dir.filePath(QStringLiteral("v.PRN"));
    QVERIFY(escribirArchivo(h, reporteDePaginas(2, QStringLiteral("H"))));
    QVERIFY(escribirArchivo(v, reporteDePaginas(1, QStringLiteral("V"))));
    const QList<QPair<QString, QString>> trabajos{{h, QStringLiteral("1.pdf")}, {v, QStringLiteral("2.pdf")}};
    QStringList medidas;
    for (const auto &[prn, nombre] : trabajos) {
        const QString pdf = m_dir.filePath(nombre);
        auto impresora = hayImpresoraPredeterminada() ? crearImpresoraPdf(pdf) : crearImpresoraSistema(pdf);
        QCOMPARE(impresora->archivoPdf(), pdf);
        const ResultadoImpresion r = imprimirReporte(prn, *impresora);
        QVERIFY(r.completo);
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        p.waitForFinished(30000);
        static const QRegularExpression pagina(QStringLiteral(R"re(<page width="(\d+)[.\d]*" height="(\d+))re"));
        const auto m = pagina.match(QString::fromUtf8(p.readAllStandardOutput()));
        medidas.append(m.captured(1) + u'x' + m.captured(2) + u'/' + QString::number(r.paginas));
    }
    QCOMPARE(medidas, (QStringList{"842x595/2", "595x842/1"}));
}

void TstPdfReporte::archivoIlegibleNoDejaPdf()
{
    const QString prn = m_dir.filePath(QStringLiteral("roto.PRN"));
    QVERIFY(escribirArchivo(prn, {QStringLiteral("pPos|1|1|bien|False|8|0|"), QStringLiteral("pPos|1|1|A|B|C|8|0|")}));
    const QString pdf = m_dir.filePath(QStringLiteral("roto.pdf"));
    QString error;
    QVERIFY(!exportarPdf(prn, pdf, &error));
    QCOMPARE(error, QStringLiteral("Error 13 - Línea 2: el campo negrita (\"B\") no es True, False ni un número"));
    QVERIFY(!QFile::exists(pdf));
}

void TstPdfReporte::archivoQueFalta()
{
    QString error;
    QVERIFY(!exportarPdf(m_dir.filePath(QStringLiteral("nada.PRN")), m_dir.filePath(QStringLiteral("nada.pdf")), &error));
    QVERIFY2(error.startsWith(QStringLiteral("Error 53 - ")), qPrintable(error));
}

// Drawn whole, a million-character text took seconds and hundreds of
// megabytes; only what shows on the page is drawn now.
void TstPdfReporte::textoDeUnMillonDeCaracteres()
{
    const QString millon = QString(1000000, u'W');
    const QString prn = m_dir.filePath(QStringLiteral("millon.PRN"));
    QVERIFY(escribirArchivo(prn, {QStringLiteral("pPosVerti|600|1000|") + millon + QStringLiteral("|False|8|0|"),
                                  QStringLiteral("pPos|300|300|") + millon + QStringLiteral("|False|10|0|")}));
    QElapsedTimer reloj;
    reloj.start();
    const QString pdf = m_dir.filePath(QStringLiteral("millon.pdf"));
    QString error;
    QVERIFY2(exportarPdf(prn, pdf, &error), qPrintable(error));
    QVERIFY2(reloj.elapsed() < 2000, qPrintable(QString::number(reloj.elapsed())));
    QVERIFY(QFileInfo(pdf).size() < 200000);
}

QTEST_MAIN(TstPdfReporte)
#include "tst_pdfreporte.moc"
