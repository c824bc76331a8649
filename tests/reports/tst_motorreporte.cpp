// Which pages a range shows and prints, and how a file becomes a print job.
#include "archivosprueba.h"
#include "impresoragrabadora.h"
#include "reports/motorreporte.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

class TstMotorReporte : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString archivo(const QString &nombre, const QStringList &lineas)
    {
        const QString r = m_dir.filePath(nombre);
        if (!escribirArchivo(r, lineas))
            qFatal("no se pudo escribir %s", qPrintable(r));
        return r;
    }
    // The page numbers (1-based) named by the texts of each printed page.
    static QStringList paginasNombradas(const TrabajoImpreso &t)
    {
        QStringList nombres;
        for (const PaginaImpresa &p : t.paginas)
            nombres.append(p.textos.isEmpty() ? QStringLiteral("-") : p.textos.first().texto.section(u' ', 1, 1));
        return nombres;
    }

private Q_SLOTS:
    void colocacion_data();
    void colocacion();
    void impresion_data();
    void impresion();
    void horizontalSoloEseTrabajo();
    void errorDeLecturaAbandonaElTrabajo();
    void errorDeImpresoraAbandonaElTrabajo();
    void impresoraQueNoArranca();
    void registrosDeImpresion();
    void textoDeUnMillonDeCaracteres();
    void indiceReleePaginas_data();
    void indiceReleePaginas();
    void indiceColores();
    void indiceHastaElError();
};

// Pages of the file, range -> picture of each page (-1: not shown), and how
// many pictures there are.
void TstMotorReporte::colocacion_data()
{
    QTest::addColumn<int>("inicio");
    QTest::addColumn<int>("fin");
    QTest::addColumn<QList<int>>("hojas");
    QTest::addColumn<QList<int>>("cuadros");
    QTest::addColumn<int>("total");
    QTest::newRow("2 a 3 de 5") << 2 << 3 << QList<int>{0, 1, 2, 3, 4} << QList<int>{-1, 0, 1, -1, -1} << 2;
    QTest::newRow("1 a 1 de 3") << 1 << 1 << QList<int>{0, 1, 2} << QList<int>{0, -1, -1} << 1;
    QTest::newRow("1 a 3 de 3") << 1 << 3 << QList<int>{0, 1, 2} << QList<int>{0, 1, 2} << 3;
    QTest::newRow("2 a 2") << 2 << 2 << QList<int>{0, 1, 2} << QList<int>{-1, 0, -1} << 1;
    QTest::newRow("3 a 9 de 5") << 3 << 9 << QList<int>{0, 1, 2, 3, 4} << QList<int>{-1, -1, 0, 1, 2} << 3;
    QTest::newRow("inicio mas alla del final") << 7 << 8 << QList<int>{0, 1, 2} << QList<int>{-1, -1, -1} << 1;
    QTest::newRow("varios registros por hoja") << 2 << 3 << QList<int>{1, 1, 2, 2}
                                               << QList<int>{0, 0, 1, 1} << 2;
    QTest::newRow("hoja que falta en el rango") << 1 << 4 << QList<int>{0, 2, 3} << QList<int>{0, 1, 2} << 3;
}

void TstMotorReporte::colocacion()
{
    QFETCH(int, inicio);
    QFETCH(int, fin);
    QFETCH(QList<int>, hojas);
    QFETCH(QList<int>, cuadros);
    QFETCH(int, total);
    ColocacionRango c(RangoPaginas{inicio, fin});
    QList<int> obtenidos;
    for (int h : hojas)
        obtenidos.append(c.colocar(h));
    QCOMPARE(obtenidos, cuadros);
    QCOMPARE(c.cuadros(), total);
}

// A file of n pages printed whole or by range: the pages that come out and
// which page of the file each one is.
void TstMotorReporte::impresion_data()
{
    QTest::addColumn<int>("paginas");
    QTest::addColumn<int>("inicio"); // 0: no range
    QTest::addColumn<int>("fin");
    QTest::addColumn<QStringList>("impresas");
    QTest::newRow("directa de 3") << 3 << 0 << 0 << QStringList{"1", "2", "3"};
    QTest::newRow("2 a 3 de 5") << 5 << 2 << 3 << QStringList{"2", "3"};
    QTest::newRow("1 a 1 de 3") << 3 << 1 << 1 << QStringList{"1"};
    QTest::newRow("ultima sola") << 4 << 4 << 4 << QStringList{"4"};
    QTest::newRow("rango que pasa del final") << 3 << 2 << 10 << QStringList{"2", "3"};
    QTest::newRow("rango fuera del reporte") << 3 << 5 << 6 << QStringList{};
}

void TstMotorReporte::impresion()
{
    QFETCH(int, paginas);
    QFETCH(int, inicio);
    QFETCH(int, fin);
    QFETCH(QStringList, impresas);
    const QString r = archivo(QStringLiteral("imp.PRN"), reporteDePaginas(paginas));
    BitacoraImpresora bitacora;
    auto impresora = bitacora.fabrica()(QString());
    const auto rango = inicio ? std::optional<RangoPaginas>(RangoPaginas{inicio, fin}) : std::nullopt;
    const ResultadoImpresion res = imprimirReporte(r, *impresora, rango);
    QVERIFY(res.completo);
    QCOMPARE(res.paginas, int(impresas.size()));
    if (impresas.isEmpty()) {
        QCOMPARE(bitacora.trabajos.size(), 0); // nothing to print, no job
        return;
    }
    QCOMPARE(bitacora.trabajos.size(), 1);
    QVERIFY(bitacora.ultimo().terminado);
    QCOMPARE(paginasNombradas(bitacora.ultimo()), impresas);
}

void TstMotorReporte::horizontalSoloEseTrabajo()
{
    const QString h = archivo(QStringLiteral("h.PRN"), reporteDePaginas(2, QStringLiteral("H")));
    const QString v = archivo(QStringLiteral("v.PRN"), reporteDePaginas(2, QStringLiteral("V")));
    const QString sin = archivo(QStringLiteral("sin.PRN"), reporteDePaginas(1).mid(2));
    BitacoraImpresora bitacora;
    for (const QString &r : {h, v, h, sin}) {
        auto impresora = bitacora.fabrica()(QString());
        QVERIFY(imprimirReporte(r, *impresora).completo);
    }
    QCOMPARE(bitacora.trabajos.size(), 4);
    QCOMPARE(bitacora.trabajos[0].orientacion, Orientacion::Horizontal);
    QCOMPARE(bitacora.trabajos[1].orientacion, Orientacion::Vertical);
    QCOMPARE(bitacora.trabajos[2].orientacion, Orientacion::Horizontal);
    QCOMPARE(bitacora.trabajos[3].orientacion, Orientacion::Vertical);
}

void TstMotorReporte::errorDeLecturaAbandonaElTrabajo()
{
    QStringList lineas = reporteDePaginas(3);
    lineas.append(QString()); // an empty line at the end cannot be read
    const QString r = archivo(QStringLiteral("vacia.PRN"), lineas);
    BitacoraImpresora bitacora;
    auto impresora = bitacora.fabrica()(QString());
    const ResultadoImpresion res = imprimirReporte(r, *impresora);
    QVERIFY(!res.completo);
    QCOMPARE(res.lectura.numero, 62);
    QCOMPARE(res.lectura.linea, int(lineas.size()));
    QCOMPARE(bitacora.trabajos.size(), 1);
    QVERIFY(bitacora.ultimo().abortado);
    QVERIFY(!bitacora.ultimo().terminado);
}

void TstMotorReporte::errorDeImpresoraAbandonaElTrabajo()
{
    const QString r = archivo(QStringLiteral("falla.PRN"), reporteDePaginas(3));
    BitacoraImpresora bitacora;
    bitacora.fallarEnDibujo = 9;
    bitacora.numeroFallo = Impresora::kErrorCancelada;
    auto impresora = bitacora.fabrica()(QString());
    const ResultadoImpresion res = imprimirReporte(r, *impresora);
    QVERIFY(!res.completo);
    QCOMPARE(res.impresora.numero, Impresora::kErrorCancelada);
    QVERIFY(bitacora.ultimo().abortado);
}

void TstMotorReporte::impresoraQueNoArranca()
{
    const QString r = archivo(QStringLiteral("noarranca.PRN"), reporteDePaginas(1));
    BitacoraImpresora bitacora;
    bitacora.errorAlIniciar = Impresora::kErrorImpresora;
    auto impresora = bitacora.fabrica()(QString());
    const ResultadoImpresion res = imprimirReporte(r, *impresora);
    QVERIFY(!res.completo);
    QCOMPARE(res.impresora.numero, Impresora::kErrorImpresora);
    QCOMPARE(bitacora.trabajos.size(), 0);
}

// What each kind of record asks of the printer.
void TstMotorReporte::registrosDeImpresion()
{
    const QString r = archivo(QStringLiteral("regs.PRN"),
                              {QStringLiteral("pPos|300|400|NEGRITA|True|9|0|"),
                               QStringLiteral("pCuadro|150|1000|11300|1000|0|"),
                               QStringLiteral("pPosVerti|100|200|ABC|False|7|0|"),
                               QStringLiteral("pPos|1|2||False|8|0|"), QStringLiteral("pNuevaHoja"),
                               QStringLiteral("pNuevaHoja")});
    BitacoraImpresora bitacora;
    auto impresora = bitacora.fabrica()(QString());
    const ResultadoImpresion res = imprimirReporte(r, *impresora);
    QVERIFY(res.completo);
    const TrabajoImpreso &t = bitacora.ultimo();
    // Two breaks at the end: the first leaves a blank page, the last adds none.
    QCOMPARE(t.paginas.size(), 2);
    QVERIFY(t.paginas[1].textos.isEmpty());
    const PaginaImpresa &p = t.paginas[0];
    QCOMPARE(p.soloTextos(), (QStringList{"NEGRITA", "A", "B", "C", ""}));
    QCOMPARE(p.textos[0].negrita, true);
    QCOMPARE(p.textos[0].tamano, 9.0);
    QCOMPARE(p.textos[0].fuente, QStringLiteral("Courier New"));
    QCOMPARE(QList<int>({p.textos[1].y, p.textos[2].y, p.textos[3].y}), QList<int>({200, 390, 580}));
    QCOMPARE(p.textos[1].x, 100);
    // A box with y1 = y2 is four lines, two of them of no length: one line seen.
    QCOMPARE(p.lineas.size(), 4);
    QCOMPARE(p.lineas[2].x1, 150);
    QCOMPARE(p.lineas[2].x2, 11300);
    QCOMPARE(p.lineas[2].y1, 1000);
    QCOMPARE(p.lineas[3].y2, 1000);
}

// A text field of a million characters took seconds and hundreds of
// megabytes to draw: only what can show on the page is drawn.
void TstMotorReporte::textoDeUnMillonDeCaracteres()
{
    const QString millon = QString(1000000, u'M');
    const QString r = archivo(QStringLiteral("millon.PRN"),
                              {QStringLiteral("pPosVerti|100|1000|") + millon + QStringLiteral("|False|8|0|"),
                               QStringLiteral("pPosVerti|400|-1000|") + millon + QStringLiteral("|False|8|0|"),
                               QStringLiteral("pPos|300|500|") + millon + QStringLiteral("|False|10|0|"),
                               QStringLiteral("pPos|30000|700|fuera|False|10|0|")});
    BitacoraImpresora bitacora;
    auto impresora = bitacora.fabrica()(QString());
    QVERIFY(imprimirReporte(r, *impresora).completo);
    const PaginaImpresa &p = bitacora.ultimo().paginas.at(0);
    QList<int> filas[2];
    QString horizontal;
    for (const TextoImpreso &t : p.textos) {
        if (t.x == 100 || t.x == 400)
            filas[t.x == 400].append(t.y);
        else if (t.x == 300)
            horizontal = t.texto;
        else
            QCOMPARE(t.texto, QString()); // starts right of the page
    }
    // The recording page is 16838 twips high, an 8-point cell 184 high.
    QCOMPARE(filas[0].size(), 84);
    QCOMPARE(filas[0].first(), 1000);
    QCOMPARE(filas[0].last(), 1000 + 83 * 190);
    QCOMPARE(filas[1].first(), -1000 + 5 * 190); // the first cell reaching below the top edge
    QCOMPARE(filas[1].last(), -1000 + 93 * 190);
    QVERIFY2(horizontal.size() >= 11906 / 120 && horizontal.size() < 1000, qPrintable(QString::number(horizontal.size())));
    QVERIFY(millon.startsWith(horizontal));
}

// Pictures of the preview and the pages they show, read again on demand.
void TstMotorReporte::indiceReleePaginas_data()
{
    QTest::addColumn<int>("paginas");
    QTest::addColumn<int>("inicio");
    QTest::addColumn<int>("fin");
    QTest::addColumn<QStringList>("cuadros"); // the page each picture shows ("-" empty)
    QTest::newRow("2 a 3 de 5") << 5 << 2 << 3 << QStringList{"2", "3"};
    QTest::newRow("1 a 1 de 3") << 3 << 1 << 1 << QStringList{"1"};
    QTest::newRow("todo") << 4 << 1 << 4 << QStringList{"1", "2", "3", "4"};
    QTest::newRow("fuera del reporte") << 3 << 5 << 9 << QStringList{"-"};
}

void TstMotorReporte::indiceReleePaginas()
{
    QFETCH(int, paginas);
    QFETCH(int, inicio);
    QFETCH(int, fin);
    QFETCH(QStringList, cuadros);
    const QString r = archivo(QStringLiteral("indice.PRN"), reporteDePaginas(paginas));
    IndicePrevia indice;
    QVERIFY(indice.construir(r, RangoPaginas{inicio, fin}));
    QCOMPARE(indice.cuadros(), int(cuadros.size()));
    QStringList vistos;
    for (int i = 0; i < indice.cuadros(); ++i) {
        const Pagina p = indice.pagina(i);
        QStringList textos;
        for (const Registro &reg : p.registros) {
            if (reg.tipo == Registro::Tipo::Texto)
                textos.append(reg.texto);
        }
        vistos.append(textos.isEmpty() ? QStringLiteral("-") : textos.first().section(u' ', 1, 1));
        if (!textos.isEmpty()) {
            QCOMPARE(p.registros.size(), 4); // the box and three texts, nothing of other pages
            QCOMPARE(indice.cuadro(i).tramos.size(), 1);
        }
    }
    QCOMPARE(vistos, cuadros);
    QVERIFY(indice.pagina(indice.cuadros()).registros.isEmpty()); // no picture there
}

void TstMotorReporte::indiceColores()
{
    // The first picture takes every colour; later ones keep the colour of
    // the moment they were created.
    QStringList lineas{QStringLiteral("<!Color!>&H00FFFFC0&<!/Color!>"), QStringLiteral("pPos|1|1|a|False|8|0|"),
                       QStringLiteral("pNuevaHoja"), QStringLiteral("pPos|1|1|b|False|8|1|"),
                       QStringLiteral("<!Color!>&H80000005&<!/Color!>"), QStringLiteral("pNuevaHoja"),
                       QStringLiteral("pPos|1|1|c|False|8|2|")};
    const QString r = archivo(QStringLiteral("colores.PRN"), lineas);
    IndicePrevia indice;
    QVERIFY(indice.construir(r, RangoPaginas{1, 3}));
    QCOMPARE(indice.cuadros(), 3);
    QCOMPARE(indice.pagina(0).colorOle, 0x80000005u);
    QCOMPARE(indice.pagina(1).colorOle, 0x00FFFFC0u);
    QCOMPARE(indice.pagina(2).colorOle, 0x80000005u);
}

void TstMotorReporte::indiceHastaElError()
{
    QStringList lineas = reporteDePaginas(4);
    lineas.insert(lineas.lastIndexOf(QStringLiteral("pNuevaHoja")), QStringLiteral("basura sin separador"));
    const QString r = archivo(QStringLiteral("errindice.PRN"), lineas);
    IndicePrevia indice;
    QVERIFY(!indice.construir(r, RangoPaginas{1, 4}));
    QCOMPARE(indice.error().numero, 62);
    QCOMPARE(indice.cuadros(), 3); // pages 1 to 3 stay
    QCOMPARE(indice.pagina(2).registros.size(), 4);
}

QTEST_GUILESS_MAIN(TstMotorReporte)
#include "tst_motorreporte.moc"
