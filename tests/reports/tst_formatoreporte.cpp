// The page-description files: what the line writers store, byte for byte,
// and how the reader takes any line apart.
#include "archivosprueba.h"
#include "reports/escritorreporte.h"
#include "reports/lectorreporte.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

Q_DECLARE_METATYPE(Registro::Tipo)

class TstFormatoReporte : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString ruta(const QString &nombre) const { return m_dir.filePath(nombre); }

    static QByteArray leerBytes(const QString &ruta)
    {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void escritores_data();
    void escritores();
    void textoDeDatosVuelveIgual_data();
    void textoDeDatosVuelveIgual();
    void cabecerasDelEscritor();
    void archivoNoSePuedeCrear();
    void discoLleno();

    void lineaUnica_data();
    void lineaUnica();
    void lineasQueNoSeLeen_data();
    void lineasQueNoSeLeen();
    void colores_data();
    void colores();

    void paginasPorSuCampoNoPorLaDeclaracion();
    void errorConservaLoLeido();
    void lectorVuelveAUnaLinea();
};

void TstFormatoReporte::escritores_data()
{
    QTest::addColumn<int>("caso");
    QTest::addColumn<QByteArray>("esperado");
    QTest::newRow("texto normal") << 0 << QByteArray("pPos|5500|350|Pag. 01/01|False|10|0|\r\n");
    QTest::newRow("negrita con blancos") << 1 << QByteArray("pPos|300|2340|  RUC  |True|9|2|\r\n");
    QTest::newRow("salto de hoja") << 2 << QByteArray("pNuevaHoja\r\n");
    QTest::newRow("cabecera") << 3 << QByteArray("<!font!>Courier New<!/font!>\r\n");
    QTest::newRow("cuadro") << 4 << QByteArray("pCuadro|150|300|1700|1640|0|\r\n");
    QTest::newRow("acentos en Windows-1252") << 5 << QByteArray("pPos|0|0|Per\xedodo \x80|False|8|0|\r\n");
    QTest::newRow("barra en el texto") << 6 << QByteArray("pPos|1|2|A\xa6" "B|False|8|0|\r\n");
    QTest::newRow("texto vacio") << 7 << QByteArray("pPos|1|2||False|8|0|\r\n");
    QTest::newRow("porcentajes") << 8 << QByteArray("pPos|1|2|%1 %5|False|8|0|\r\n");
    QTest::newRow("negativos") << 9 << QByteArray("pCuadro|-10|0|0|-32768|1|\r\n");
    QTest::newRow("fuera del plano, sin codigo, fin de linea")
        << 10 << QByteArray("pPos|1|-2|a?b\x80?  \xa6|True|8|0|\r\n");
    // Far more than the block the writer gathers before it writes.
    QByteArray largo;
    for (int i = 0; i < 3000; ++i)
        largo += "pPos|300|" + QByteArray::number(i) + "|" + QByteArray(40, 'x') + "|False|9|" + QByteArray::number(i / 64)
            + "|\r\n";
    QTest::newRow("muchas lineas") << 11 << largo;
}

void TstFormatoReporte::escritores()
{
    QFETCH(int, caso);
    QFETCH(QByteArray, esperado);
    const QString r = ruta(QStringLiteral("esc%1.PRN").arg(caso));
    EscritorReporte e;
    QVERIFY(e.abrir(r));
    switch (caso) {
    case 0: pImpLinea(5500, 350, QStringLiteral("Pag. 01/01"), false, 10, 0, e); break;
    case 1: pImpLinea(300, 2340, QStringLiteral("  RUC  "), true, 9, 2, e); break;
    case 2: pImpLinea(0, 0, QStringLiteral("pNuevaHoja"), false, 8, 0, e); break;
    case 3: pImpLinea(0, 0, QStringLiteral("<!font!>Courier New<!/font!>"), false, 8, 0, e); break;
    case 4: pImpCuadro(150, 300, 1700, 1640, 0, e); break;
    case 5: pImpLinea(0, 0, QStringLiteral("Período €"), false, 8, 0, e); break;
    case 6: pImpLinea(1, 2, QStringLiteral("A|B"), false, 8, 0, e); break;
    case 7: pImpLinea(1, 2, QString(), false, 8, 0, e); break;
    case 8: pImpLinea(1, 2, QStringLiteral("%1 %5"), false, 8, 0, e); break;
    case 9: pImpCuadro(-10, 0, 0, -32768, 1, e); break;
    case 10: pImpLinea(1, -2, QStringLiteral("a\U0001F600b€\u0100\r\n|"), true, 8, 0, e); break;
    case 11:
        for (int i = 0; i < 3000; ++i)
            pImpLinea(300, i, QString(40, u'x'), false, 9, i / 64, e);
        break;
    }
    QVERIFY(e.cerrar());
    QCOMPARE(leerBytes(r), esperado);
}

// Whatever a data text holds, the file can be read back and the text comes
// back as written (a "|" as "¦", a line end as a blank).
void TstFormatoReporte::textoDeDatosVuelveIgual_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("leido");
    QTest::newRow("barra") << QStringLiteral("TRANSPORTES A|B S.A.") << QStringLiteral("TRANSPORTES A¦B S.A.");
    QTest::newRow("barra al final") << QStringLiteral("X|") << QStringLiteral("X¦");
    QTest::newRow("empieza como etiqueta") << QStringLiteral("<!nombre raro") << QStringLiteral("<!nombre raro");
    QTest::newRow("fin de linea") << QStringLiteral("DOS\r\nLINEAS") << QStringLiteral("DOS  LINEAS");
    QTest::newRow("blancos alrededor") << QStringLiteral("  12,345 ") << QStringLiteral("  12,345 ");
    QTest::newRow("True dentro") << QStringLiteral("True") << QStringLiteral("True");
}

void TstFormatoReporte::textoDeDatosVuelveIgual()
{
    QFETCH(QString, texto);
    QFETCH(QString, leido);
    const QString r = ruta(QStringLiteral("datos.PRN"));
    EscritorReporte e;
    QVERIFY(e.abrir(r));
    pImpLinea(10, 20, texto, true, 9, 0, e);
    QVERIFY(e.cerrar());
    const DocumentoReporte doc = leerReporte(r);
    QVERIFY2(!doc.error.hay(), qPrintable(doc.error.descripcion()));
    QCOMPARE(doc.paginas.size(), 1);
    QCOMPARE(doc.paginas[0].registros.size(), 1);
    QCOMPARE(doc.paginas[0].registros[0].texto, leido);
    QCOMPARE(doc.paginas[0].registros[0].negrita, true);
}

void TstFormatoReporte::cabecerasDelEscritor()
{
    const QString r = ruta(QStringLiteral("cab.PRN"));
    EscritorReporte e;
    QVERIFY(e.abrir(r));
    e.escribirFuente();
    e.escribirNumeroHojas(2);
    e.escribirOrientacion(Orientacion::Horizontal);
    e.escribirColor(0x00FFFFC0);
    e.escribirColor(kColorVentana);
    QVERIFY(e.cerrar());
    QCOMPARE(leerBytes(r), QByteArray("<!font!>Courier New<!/font!>\r\n<!nHojas!>2<!/nHojas!>\r\n"
                                      "<!Orientacion!>H<!/Orientacion!>\r\n<!Color!>&H00FFFFC0&<!/Color!>\r\n"
                                      "<!Color!>&H80000005&<!/Color!>\r\n"));
    // Opening again starts the file anew.
    QVERIFY(e.abrir(r));
    pImpCuadro(1, 2, 3, 4, 0, e);
    QVERIFY(e.cerrar());
    QCOMPARE(leerBytes(r), QByteArray("pCuadro|1|2|3|4|0|\r\n"));
}

// A disk that fills up: the writer gathers lines before it writes them,
// so the failure may come when the report is closed, and is told then.
void TstFormatoReporte::discoLleno()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full on this system");
    EscritorReporte e;
    QVERIFY(e.abrir(QStringLiteral("/dev/full")));
    pImpLinea(1, 1, QStringLiteral("x"), false, 8, 0, e);
    QVERIFY(!e.cerrar());
    QVERIFY(e.error().startsWith(QStringLiteral("No se pudo escribir el archivo")));
}

void TstFormatoReporte::archivoNoSePuedeCrear()
{
    EscritorReporte e;
    QVERIFY(!e.abrir(ruta(QStringLiteral("no/existe/x.PRN"))));
    QVERIFY(!e.error().isEmpty());
    pImpLinea(1, 1, QStringLiteral("x"), false, 8, 0, e);
    QVERIFY(!e.cerrar());
}

void TstFormatoReporte::lineaUnica_data()
{
    QTest::addColumn<QString>("linea");
    QTest::addColumn<Registro::Tipo>("tipo");
    QTest::addColumn<QList<int>>("numeros"); // x, y, x2, y2, size, page
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("negrita");

    using T = Registro::Tipo;
    QTest::newRow("ejemplo del resumen") << QStringLiteral("pPos|5500|350|Pag. 01/01|False|10|0|") << T::Texto
                                         << QList<int>{5500, 350, 0, 0, 10, 0} << QStringLiteral("Pag. 01/01") << false;
    QTest::newRow("texto vacio") << QStringLiteral("pPos|300|400||True|9|1|") << T::Texto
                                 << QList<int>{300, 400, 0, 0, 9, 1} << QString() << true;
    QTest::newRow("negrita en minusculas") << QStringLiteral("pPos|1|2|x|false|8|0|") << T::Texto
                                           << QList<int>{1, 2, 0, 0, 8, 0} << QStringLiteral("x") << false;
    QTest::newRow("negrita numero cero") << QStringLiteral("pPos|1|2|x|0|8|0|") << T::Texto
                                         << QList<int>{1, 2, 0, 0, 8, 0} << QStringLiteral("x") << false;
    QTest::newRow("negrita otro numero") << QStringLiteral("pPos|1|2|x|-1|8|0|") << T::Texto
                                         << QList<int>{1, 2, 0, 0, 8, 0} << QStringLiteral("x") << true;
    QTest::newRow("blancos antes del numero y despues del tipo")
        << QStringLiteral("  pPos  |  300|  12abc|t|TRUE|8.6|0|") << T::Texto << QList<int>{300, 12, 0, 0, 9, 0}
        << QStringLiteral("t") << true;
    QTest::newRow("campo sin numero vale cero") << QStringLiteral("pPos|abc|2.5|t|True|3.5|x|") << T::Texto
                                                << QList<int>{0, 2, 0, 0, 4, 0} << QStringLiteral("t") << true;
    QTest::newRow("texto con blancos intactos") << QStringLiteral("pPos|1|2|   A  |False|8|0|resto") << T::Texto
                                                << QList<int>{1, 2, 0, 0, 8, 0} << QStringLiteral("   A  ") << false;
    QTest::newRow("linea horizontal") << QStringLiteral("pCuadro|150|1000|11300|1000|0|") << T::Cuadro
                                      << QList<int>{150, 1000, 11300, 1000, 0, 0} << QString() << false;
    QTest::newRow("vertical") << QStringLiteral("pPosVerti|100|200|ABC|True|7|3|") << T::TextoVertical
                              << QList<int>{100, 200, 0, 0, 7, 3} << QStringLiteral("ABC") << true;
    QTest::newRow("salto") << QStringLiteral("pNuevaHoja") << T::NuevaHoja << QList<int>{0, 0, 0, 0, 0, 0}
                           << QString() << false;
    QTest::newRow("salto con blancos") << QStringLiteral("  pNuevaHoja ") << T::NuevaHoja
                                       << QList<int>{0, 0, 0, 0, 0, 0} << QString() << false;
    QTest::newRow("cabecera de hojas") << QStringLiteral("<!nHojas!>2<!/nHojas!>") << T::NumeroHojas
                                       << QList<int>{0, 0, 0, 0, 0, 0} << QString() << false;
    QTest::newRow("limites de 16 bits") << QStringLiteral("pCuadro|-32768|32767|0|0|0|") << T::Cuadro
                                        << QList<int>{-32768, 32767, 0, 0, 0, 0} << QString() << false;
}

void TstFormatoReporte::lineaUnica()
{
    QFETCH(QString, linea);
    QFETCH(Registro::Tipo, tipo);
    QFETCH(QList<int>, numeros);
    QFETCH(QString, texto);
    QFETCH(bool, negrita);
    ErrorLectura error;
    const auto r = LectorReporte::interpretar(linea, 7, error);
    QVERIFY2(!error.hay(), qPrintable(error.descripcion()));
    QVERIFY(r.has_value());
    QCOMPARE(r->tipo, tipo);
    QCOMPARE(QList<int>({r->x, r->y, r->x2, r->y2, r->tamano, r->hoja}), numeros);
    QCOMPARE(r->texto, texto);
    QCOMPARE(r->negrita, negrita);
    QCOMPARE(r->linea, 7);
}

void TstFormatoReporte::lineasQueNoSeLeen_data()
{
    QTest::addColumn<QString>("linea");
    QTest::addColumn<int>("numero"); // 0: skipped without error
    QTest::addColumn<QString>("motivo");
    QTest::newRow("linea vacia") << QString() << 62 << QStringLiteral("línea vacía");
    QTest::newRow("solo blancos") << QStringLiteral("   ") << 62 << QStringLiteral("línea vacía");
    QTest::newRow("sin fin de tipo") << QStringLiteral("hola mundo") << 62 << QStringLiteral("no se reconoce");
    QTest::newRow("barra dentro del texto") << QStringLiteral("pPos|1|2|A|B|False|8|0|") << 13
                                            << QStringLiteral("negrita");
    QTest::newRow("barra final que falta") << QStringLiteral("pPos|1|2|A|False|8|0") << 62 << QStringLiteral("hoja");
    QTest::newRow("cuadro corto") << QStringLiteral("pCuadro|1|2|3|") << 62 << QStringLiteral("y2");
    QTest::newRow("fuera de 16 bits") << QStringLiteral("pPos|40000|2|A|False|8|0|") << 6 << QStringLiteral("16 bits");
    QTest::newRow("otro tipo con barra se salta") << QStringLiteral("pOtro|1|2|") << 0 << QString();
    QTest::newRow("otra etiqueta se salta") << QStringLiteral("<!autor!>x<!/autor!>") << 0 << QString();
    QTest::newRow("palabra que acaba en aHoja") << QStringLiteral("UnaHoja") << 0 << QString();
}

void TstFormatoReporte::lineasQueNoSeLeen()
{
    QFETCH(QString, linea);
    QFETCH(int, numero);
    QFETCH(QString, motivo);
    ErrorLectura error;
    const auto r = LectorReporte::interpretar(linea, 12, error);
    QVERIFY(!r.has_value());
    QCOMPARE(error.numero, numero);
    if (numero) {
        QCOMPARE(error.linea, 12);
        QVERIFY2(error.descripcion().startsWith(QStringLiteral("Línea 12: ")), qPrintable(error.descripcion()));
        QVERIFY2(error.motivo.contains(motivo), qPrintable(error.motivo));
    }
}

void TstFormatoReporte::colores_data()
{
    QTest::addColumn<QString>("linea");
    QTest::addColumn<quint32>("color");
    QTest::newRow("cian palido") << QStringLiteral("<!Color!>&H00FFFFC0&<!/Color!>") << quint32(0x00FFFFC0);
    QTest::newRow("fondo de ventana") << QStringLiteral("<!Color!>&H80000005&<!/Color!>") << quint32(0x80000005);
    QTest::newRow("minusculas y blancos") << QStringLiteral("<!Color!> &hff& <!/Color!>") << quint32(0xFF);
    QTest::newRow("decimal") << QStringLiteral("<!Color!>255&<!/Color!>") << quint32(255);
    QTest::newRow("ilegible") << QStringLiteral("<!Color!>rojo&<!/Color!>") << quint32(0);
}

void TstFormatoReporte::colores()
{
    QFETCH(QString, linea);
    QFETCH(quint32, color);
    ErrorLectura error;
    const auto r = LectorReporte::interpretar(linea, 1, error);
    QVERIFY(r.has_value());
    QCOMPARE(r->tipo, Registro::Tipo::Color);
    QCOMPARE(r->color, color);
}

void TstFormatoReporte::paginasPorSuCampoNoPorLaDeclaracion()
{
    // Declares 2 pages and holds 5: all 5 are read.
    QStringList lineas = reporteDePaginas(5);
    lineas.replaceInStrings(QStringLiteral("<!nHojas!>5"), QStringLiteral("<!nHojas!>2"));
    lineas.append(QStringLiteral("pPos|1|1||False|8|4|"));
    const QString r = ruta(QStringLiteral("cinco.PRN"));
    QVERIFY(escribirArchivo(r, lineas));
    const DocumentoReporte doc = leerReporte(r);
    QVERIFY(!doc.error.hay());
    QCOMPARE(doc.hojasDeclaradas, 2);
    QCOMPARE(doc.paginas.size(), 5);
    QCOMPARE(doc.saltos, 4);
    QCOMPARE(doc.fuente, QStringLiteral("Courier New"));
    QCOMPARE(doc.orientacion, Orientacion::Vertical);
    QCOMPARE(doc.paginas[4].registros.size(), 5); // box, three texts, and the empty one
    QCOMPARE(doc.paginas[4].registros.last().texto, QString());
    QCOMPARE(doc.paginas[2].registros[1].texto, QStringLiteral("PAGINA 3 LINEA 0"));
}

void TstFormatoReporte::errorConservaLoLeido()
{
    QStringList lineas = reporteDePaginas(3);
    lineas.insert(lineas.lastIndexOf(QStringLiteral("pNuevaHoja")) + 1, QStringLiteral("pPos|1|1|EMPRESA A|B|False|8|2|"));
    const QString r = ruta(QStringLiteral("roto.PRN"));
    QVERIFY(escribirArchivo(r, lineas));
    const DocumentoReporte doc = leerReporte(r);
    QCOMPARE(doc.error.numero, 13);
    QCOMPARE(doc.error.linea, lineas.indexOf(QStringLiteral("pPos|1|1|EMPRESA A|B|False|8|2|")) + 1);
    QCOMPARE(doc.paginas.size(), 2); // pages 0 and 1 were read before the bad line
}

void TstFormatoReporte::lectorVuelveAUnaLinea()
{
    const QString r = ruta(QStringLiteral("volver.PRN"));
    QVERIFY(escribirArchivo(r, reporteDePaginas(3)));
    LectorReporte lector;
    QVERIFY(lector.abrir(r));
    Registro reg;
    QList<Registro> todos;
    while (lector.siguiente(reg))
        todos.append(reg);
    QVERIFY(!lector.error().hay());
    const Registro &destino = todos.at(todos.size() - 3);
    QVERIFY(lector.irA(destino.posicion, destino.linea));
    QVERIFY(lector.siguiente(reg));
    QCOMPARE(reg.texto, destino.texto);
    QCOMPARE(reg.linea, destino.linea);
    QCOMPARE(reg.posicion, destino.posicion);
}

QTEST_GUILESS_MAIN(TstFormatoReporte)
#include "tst_formatoreporte.moc"
