// The spreadsheet readers and the column mapping, on the small files that
// tests/flights/hojas/generar.py writes: what each row's cells read, which
// files are refused and with what message, how headings find their fields,
// how text dates are read and what is remembered for a taxpayer.
#include "flights/hojacalculo.h"
#include "flights/importacionhoja.h"
#include "flights/lectorcsv.h"
#include "flights/lectorxlsx.h"
#include "flights/mapeohoja.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace kv;

namespace {

QString hojaDePrueba(const QString &nombre)
{
    return qEnvironmentVariable("KV_SOURCE_DIR") + QStringLiteral("/tests/flights/hojas/") + nombre;
}

// Each row as "number: cell|cell", a cell the sheet keeps as a date marked
// with "*"; the reader's error, if any, as a last line "error: ...". A
// workbook is read on `hilos` threads in pieces of `trozo` bytes when asked.
QStringList leerTodo(const QString &archivo, const QString &hoja = {}, int hilos = 0, qsizetype trozo = 0)
{
    QString error;
    const std::unique_ptr<LectorHoja> lector = abrirHoja(hojaDePrueba(archivo), hoja, error);
    if (!lector)
        return { QStringLiteral("error: ") + error };
    if (hilos > 0 && !static_cast<LectorXlsx &>(*lector).leerEnParalelo(hilos, trozo))
        return { QStringLiteral("error: ") + lector->error() };
    QStringList filas;
    FilaHoja fila;
    while (lector->siguiente(fila)) {
        QStringList celdas = fila.celdas;
        for (const int c : std::as_const(fila.fechas))
            celdas[c].prepend(u'*');
        filas << QString::number(fila.numero) + QStringLiteral(": ") + celdas.join(u'|');
    }
    if (!lector->error().isEmpty())
        filas << QStringLiteral("error: ") + lector->error();
    return filas;
}

QString columnasComoTexto(const std::array<int, kCamposVuelo> &columnas)
{
    QStringList l;
    for (const int c : columnas)
        l << (c < 0 ? QStringLiteral("-") : letraColumna(c));
    return l.join(u' ');
}

} // namespace

class TstHojaCalculo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lectura_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("hoja");
        QTest::addColumn<QStringList>("filas");
        QTest::newRow("quoted separators, doubled quotes, a line break inside quotes, a blank row")
            << QStringLiteral("comillas.csv") << QString()
            << QStringList { QStringLiteral("1: Fecha|Vuelo|Nota"),
                   QStringLiteral("2: 17/11/2026|LA,2401|dice \"hola\""),
                   QStringLiteral("3: 18/11/2026|LA2402|dos\nlíneas"),
                   QStringLiteral("5: 19/11/2026|LA2403|fin") };
        QTest::newRow("UTF-8 with its byte-order mark")
            << QStringLiteral("bom.csv") << QString()
            << QStringList { QStringLiteral("1: Código de Vuelo|Tránsito"), QStringLiteral("2: ÑA1|3") };
        QTest::newRow("Windows-1252") << QStringLiteral("cp1252.csv") << QString()
                                      << QStringList { QStringLiteral("1: Agentes Diplomáticos|Año"),
                                             QStringLiteral("2: Ñandú “x”|€5") };
        QTest::newRow("semicolons, decimals with commas")
            << QStringLiteral("puntoycoma.csv") << QString()
            << QStringList { QStringLiteral("1: Fecha|Vuelo|Importe"),
                   QStringLiteral("2: 17/11/2026|LA2401|1,5"), QStringLiteral("3: 18/11/2026|LA2402|2,25") };
        QTest::newRow("tabs") << QStringLiteral("tabuladores.csv") << QString()
                              << QStringList { QStringLiteral("1: Fecha|Vuelo|Trip."),
                                     QStringLiteral("2: 17/11/2026|LA2401|12") };
        QTest::newRow("day numbers and text dates, numbers, booleans, inline and rich text")
            << QStringLiteral("fechas.xlsx") << QString()
            << QStringList { QStringLiteral("1: Fecha|Vuelo|Trip.|Nota"),
                   QStringLiteral("2: *17/11/2026|LA2401|12|VERDADERO|Tripulantes"),
                   QStringLiteral("3: *18/11/2026|LA 2402|150|FALSO"),
                   QStringLiteral("4: 2026-11-19|2403|1.5|#N/A"),
                   QStringLiteral("7: 20/11/2026|*20/11/2026|7|calculado"),
                   QStringLiteral("8: *29/02/1900|*01/01/1900|*01/03/1900") };
        QTest::newRow("days counted from 1904") << QStringLiteral(
            "fechas-1904.xlsx") << QString() << QStringList { QStringLiteral("1: *01/01/1904|*13/11/2026") };
        QTest::newRow("empty sheet") << QStringLiteral("vacia.xlsx") << QString() << QStringList();
        QTest::newRow("prefixed names, rows without numbers, a comment, character data")
            << QStringLiteral("forma-libre.xlsx") << QString()
            << QStringList { QStringLiteral("2: uno|1"), QStringLiteral("3: </x:row><x:row r=\"7\">"),
                   QStringLiteral("4: ||3"), QStringLiteral("7: <fin> & é") };
        QTest::newRow("no package relationships, no styles") << QStringLiteral(
            "sin-relaciones.xlsx") << QString() << QStringList { QStringLiteral("1: Vuelo|46343") };
        QTest::newRow("the first sheet shown")
            << QStringLiteral("dos-hojas.xlsx") << QString()
            << QStringList { QStringLiteral("1: Fecha"), QStringLiteral("2: ok") };
        QTest::newRow("a chosen sheet") << QStringLiteral("dos-hojas.xlsx") << QStringLiteral("Resumen")
                                        << QStringList { QStringLiteral("3: resumen") };
        QTest::newRow("an open quote")
            << QStringLiteral("comillas-abiertas.csv") << QString()
            << QStringList { QStringLiteral("1: Fecha|Vuelo"),
                   QStringLiteral("error: La fila 2 del archivo abre comillas que no se cierran.") };
        QStringList buenas { QStringLiteral(
            "1: Fecha de Arribo|Código de Vuelo|Tripulantes|Personal|Tránsito|"
            "Arribo Forzoso|Dipl.|Extr.|Depo.|Ante.|Comp.") };
        for (int n = 2; n <= 26; ++n)
            buenas << QStringLiteral("%1: *17/11/2026|LA%1|12|0|3|0|1|0|0|0|150").arg(n);
        QTest::newRow("a cell past column XFD, after good rows")
            << QStringLiteral("danada-al-final.xlsx") << QString()
            << buenas
                + QStringList { QStringLiteral(
                    "error: La celda «XFE27» de la hoja «Vuelos» está fuera de los "
                    "límites de una hoja de cálculo (columnas A a XFD, filas 1 a "
                    "1048576).") };
        QTest::newRow("a row past 1048576")
            << QStringLiteral("fila-fuera.xlsx") << QString()
            << QStringList { QStringLiteral("1: Fecha"),
                   QStringLiteral(
                       "error: La fila «1048577» de la hoja «Vuelos» está fuera de los límites de una "
                       "hoja de cálculo (filas 1 a 1048576).") };
        QTest::newRow("a sheet that expands to more than its zip says")
            << QStringLiteral("expande-mas-de-lo-dicho.xlsx") << QString()
            << QStringList { QStringLiteral("error: El archivo «expande-mas-de-lo-dicho.xlsx» está dañado o "
                                            "incompleto: no se puede leer como libro .xlsx.") };
    }
    void lectura()
    {
        QFETCH(QString, archivo);
        QFETCH(QString, hoja);
        QFETCH(QStringList, filas);
        QCOMPARE(leerTodo(archivo, hoja), filas);
    }

    // A workbook read on several threads, in pieces of a row or two, gives
    // the same rows and the same refusal as read in order.
    void enParalelo_data()
    {
        QTest::addColumn<QString>("archivo");
        const QStringList libros = QDir(hojaDePrueba(QString())).entryList({ QStringLiteral("*.xlsx") });
        for (const QString &l : libros)
            QTest::newRow(qPrintable(l)) << l;
    }
    void enParalelo()
    {
        QFETCH(QString, archivo);
        const QStringList enOrden = leerTodo(archivo);
        if (enOrden.value(0).startsWith(u"error: ") && enOrden.size() == 1)
            QSKIP("refused before any row");
        QCOMPARE(leerTodo(archivo, {}, 3, 100), enOrden);
        QCOMPARE(leerTodo(archivo, {}, 1, 1), enOrden);
    }

    void separador_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<char>("separador");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("commas") << QStringLiteral("comillas.csv") << ',' << true;
        QTest::newRow("semicolons with decimal commas") << QStringLiteral("puntoycoma.csv") << ';' << true;
        QTest::newRow("tabs") << QStringLiteral("tabuladores.csv") << '\t' << true;
        QTest::newRow("Windows-1252, semicolons") << QStringLiteral("cp1252.csv") << ';' << false;
    }
    void separador()
    {
        QFETCH(QString, archivo);
        QFETCH(char, separador);
        QFETCH(bool, utf8);
        QString error;
        const std::unique_ptr<LectorCsv> lector = LectorCsv::abrir(hojaDePrueba(archivo), error);
        QVERIFY2(lector, qPrintable(error));
        QCOMPARE(lector->separador(), separador);
        QCOMPARE(lector->utf8(), utf8);
    }

    // Files refused before a row is read.
    void rechazado_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("hoja");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("not a zip")
            << QStringLiteral("no-zip.xlsx") << QString()
            << QStringLiteral("El archivo «no-zip.xlsx» no es un libro .xlsx: no es un archivo "
                              "zip. Si el libro está protegido con contraseña, guárdelo sin ella.");
        QTest::newRow("cut short") << QStringLiteral("truncado.xlsx") << QString()
                                   << QStringLiteral(
                                          "El archivo «truncado.xlsx» está dañado o incompleto: no se puede "
                                          "leer como libro .xlsx.");
        QTest::newRow("would expand past 256 MB")
            << QStringLiteral("expande-300mb.xlsx") << QString()
            << QStringLiteral(
                   "El archivo «expande-300mb.xlsx» se expandiría a más de 256 MB al leerlo: no se lee.");
        QTest::newRow("a sheet named but not there")
            << QStringLiteral("hoja-ausente.xlsx") << QString()
            << QStringLiteral("El libro «hoja-ausente.xlsx» nombra la hoja «Vuelos» pero no la contiene.");
        QTest::newRow("a sheet the book has not")
            << QStringLiteral("dos-hojas.xlsx") << QStringLiteral("Otra")
            << QStringLiteral("El libro «dos-hojas.xlsx» no tiene la hoja «Otra».");
        QTest::newRow("a cell past column XFD")
            << QStringLiteral("celda-fuera.xlsx") << QString()
            << QStringLiteral(
                   "La celda «XFE2» de la hoja «Vuelos» está fuera de los límites de una hoja de cálculo "
                   "(columnas A a XFD, filas 1 a 1048576).");
        QTest::newRow("no such file")
            << QStringLiteral("no-existe.csv") << QString() << QStringLiteral("No se pudo leer el archivo");
        QTest::newRow("a folder") << QString() << QString() << QStringLiteral("No se pudo leer el archivo");
    }
    void rechazado()
    {
        QFETCH(QString, archivo);
        QFETCH(QString, hoja);
        QFETCH(QString, mensaje);
        QTemporaryDir carpeta;
        const QString ruta
            = archivo.isEmpty() ? carpeta.filePath(QStringLiteral("libro.xlsx")) : hojaDePrueba(archivo);
        if (archivo.isEmpty())
            QDir().mkpath(ruta);
        // The sample the mapping window starts from says the same, and
        // holds nothing.
        const MuestraHoja m = leerMuestra(ruta, hoja, -1, 20);
        QVERIFY2(m.error.startsWith(mensaje), qPrintable(m.error));
        QVERIFY(m.filas.isEmpty() && m.titulos.isEmpty());
    }

    void nombresDeHojas()
    {
        QString error;
        const std::unique_ptr<LectorHoja> lector
            = abrirHoja(hojaDePrueba(QStringLiteral("dos-hojas.xlsx")), {}, error);
        QVERIFY2(lector, qPrintable(error));
        QCOMPARE(lector->hojas(),
            QStringList({ QStringLiteral("Tablas"), QStringLiteral("Vuelos"), QStringLiteral("Resumen") }));
        QCOMPARE(lector->hoja(), QStringLiteral("Vuelos"));
    }

    void fechaDeSerie_data()
    {
        QTest::addColumn<double>("serie");
        QTest::addColumn<bool>("desde1904");
        QTest::addColumn<QString>("fecha");
        QTest::newRow("day 1") << 1.0 << false << QStringLiteral("01/01/1900");
        QTest::newRow("day 59") << 59.0 << false << QStringLiteral("28/02/1900");
        QTest::newRow("day 60, a day that never was") << 60.0 << false << QStringLiteral("29/02/1900");
        QTest::newRow("day 61") << 61.0 << false << QStringLiteral("01/03/1900");
        QTest::newRow("the tax's first day") << 37669.0 << false << QStringLiteral("17/02/2003");
        QTest::newRow("a time of day is dropped") << 46343.99 << false << QStringLiteral("17/11/2026");
        QTest::newRow("the last day") << 2958465.0 << false << QStringLiteral("31/12/9999");
        QTest::newRow("past the last day") << 2958466.0 << false << QString();
        QTest::newRow("day 0") << 0.0 << false << QString();
        QTest::newRow("negative") << -1.0 << false << QString();
        QTest::newRow("not a number") << std::nan("") << false << QString();
        QTest::newRow("1904: day 0") << 0.0 << true << QStringLiteral("01/01/1904");
        QTest::newRow("1904: day 1462") << 1462.0 << true << QStringLiteral("02/01/1908");
    }
    void fechaDeSerie()
    {
        QFETCH(double, serie);
        QFETCH(bool, desde1904);
        QFETCH(QString, fecha);
        QCOMPARE(LectorXlsx::fechaDeSerie(serie, desde1904), fecha);
    }

    void emparejar_data()
    {
        QTest::addColumn<QStringList>("titulos");
        QTest::addColumn<QString>("columnas");
        QTest::newRow("the grid's captions") << QStringList { QStringLiteral("Fecha de Arribo"),
            QStringLiteral("Código de Vuelo"), QStringLiteral("Tripulantes"), QStringLiteral("Personal"),
            QStringLiteral("Tránsito"), QStringLiteral("Arribo Forzoso"),
            QStringLiteral("Agentes Diplomáticos y Organismos Internacionales"),
            QStringLiteral("Extraditados"), QStringLiteral("Deportados"),
            QStringLiteral("Adquirieron su Pasaje antes de la Vigencia del Impuesto"),
            QStringLiteral("Sujetos Comprend.") }
                                             << QStringLiteral("A B C D E F G H I J K");
        QTest::newRow("short forms and English, in another order, case, accents and blanks aside")
            << QStringList { QStringLiteral("Comp."), QStringLiteral("ante."), QStringLiteral("DEPO."),
                   QStringLiteral("Extradited"), QStringLiteral("Dipl."), QStringLiteral("Diverted"),
                   QStringLiteral(" TRANSITO "), QStringLiteral("Staff"), QStringLiteral("Crew"),
                   QStringLiteral("Flight"), QStringLiteral("Date") }
            << QStringLiteral("K J I H G F E D C B A");
        QTest::newRow("captions cut short, an unknown column, a field left without") << QStringList {
            QStringLiteral("Notas"), QStringLiteral("Agentes Diplomáticos…"),
            QStringLiteral("Adquirieron su Pasaje…"), QStringLiteral("Pre-sold"), QStringLiteral("Taxable")
        } << QStringLiteral("- - - - - - B - - D E");
        QTest::newRow("one column for one field") << QStringList { QStringLiteral("Fecha"),
            QStringLiteral("Date") } << QStringLiteral("A - - - - - - - - - -");
        QTest::newRow("a heading too short to be a caption's beginning")
            << QStringList { QStringLiteral("Trip"), QStringLiteral("Agentes") }
            << QStringLiteral("- - A - - - - - - - -");
        QTest::newRow("no heading known: the text file's order") << QStringList { QStringLiteral("c1"),
            QStringLiteral("c2"), QStringLiteral("c3") } << QStringLiteral("A B C - - - - - - - -");
    }
    void emparejar()
    {
        QFETCH(QStringList, titulos);
        QFETCH(QString, columnas);
        QCOMPARE(columnasComoTexto(emparejarTitulos(titulos)), columnas);
    }

    void fechaTexto_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("formato");
        QTest::addColumn<QString>("fecha");
        QTest::newRow("dd/mm/yyyy") << QStringLiteral("17/11/2026") << 0 << QStringLiteral("17/11/2026");
        QTest::newRow("dd/mm/yyyy with a time")
            << QStringLiteral("17/11/2026 00:00") << 0 << QStringLiteral("17/11/2026");
        QTest::newRow("dd/mm/yyyy, short: as it stands")
            << QStringLiteral("7/3/2026") << 0 << QStringLiteral("7/3/2026");
        QTest::newRow("d/m/yyyy") << QStringLiteral("7/3/2026") << 1 << QStringLiteral("07/03/2026");
        QTest::newRow("yyyy-mm-dd") << QStringLiteral("2026-11-19") << 2 << QStringLiteral("19/11/2026");
        QTest::newRow("mm/dd/yyyy") << QStringLiteral("11/19/2026") << 3 << QStringLiteral("19/11/2026");
        QTest::newRow("mm/dd/yyyy, no such day")
            << QStringLiteral("02/30/2026") << 3 << QStringLiteral("02/30/2026");
        QTest::newRow("yyyy-mm-dd, short month: as it stands")
            << QStringLiteral("2026-1-19") << 2 << QStringLiteral("2026-1-19");
        QTest::newRow("no such day: as it stands")
            << QStringLiteral("31/02/2026") << 0 << QStringLiteral("31/02/2026");
        QTest::newRow("another shape: as it stands")
            << QStringLiteral("2026-11-19") << 0 << QStringLiteral("2026-11-19");
    }
    void fechaTexto()
    {
        QFETCH(QString, texto);
        QFETCH(int, formato);
        QFETCH(QString, fecha);
        QCOMPARE(fechaSegunFormato(texto, FormatoFecha(formato)), fecha);
    }

    // A date kept as a date is not read again in the text format; blanks
    // around a cell go, and a row with nothing in the chosen columns is
    // blank even with text elsewhere.
    void camposDeFila()
    {
        MapeoHoja m;
        m.columnas = { 2, 0, 1, -1, -1, -1, -1, -1, -1, -1, -1 };
        m.formatoFecha = FormatoFecha::MesDiaAnio;
        FilaHoja fila;
        fila.celdas = { QStringLiteral(" LA2401 "), QStringLiteral("12"), QStringLiteral("05/11/2026") };
        QCOMPARE(m.campos(fila)[0], QStringLiteral("11/05/2026"));
        fila.fechas = { 2 };
        const CamposVuelo c = m.campos(fila);
        QCOMPARE(c[0], QStringLiteral("05/11/2026"));
        QCOMPARE(c[1], QStringLiteral("LA2401"));
        QCOMPARE(c[2], QStringLiteral("12"));
        QCOMPARE(c[3], QString());
        QVERIFY(!m.vacia(fila));
        fila.celdas = { QString(), QStringLiteral(" "), QString(), QStringLiteral("nota") };
        QVERIFY(m.vacia(fila));
    }

    // What a taxpayer chose comes back by heading, wherever the heading has
    // moved, or by letter when the heading is gone; another taxpayer has
    // nothing remembered.
    void mapeoGuardado()
    {
        QTemporaryDir carpeta;
        const MapeosGuardados guardados(carpeta.filePath(QStringLiteral("KV517HOJA.INI")));
        MapeoHoja m;
        m.hoja = QStringLiteral("Noviembre");
        m.filaTitulos = 2;
        m.formatoFecha = FormatoFecha::AnioMesDia;
        m.columnas = { 0, 1, 2, -1, -1, -1, -1, -1, -1, -1, 3 };
        QVERIFY(guardados.guardar(QStringLiteral("20100070970"), m,
            { QStringLiteral("Día"), QStringLiteral("Vuelo"), QStringLiteral("Tripulación"),
                QStringLiteral("Pax") }));

        MapeoHoja leido;
        QVERIFY(!guardados.leer(QStringLiteral("20999999999"), {}, 4, leido));
        QVERIFY(guardados.leer(QStringLiteral("20100070970"),
            { QStringLiteral("Pax"), QStringLiteral("vuelo"), QStringLiteral("Otra"), QStringLiteral("DIA") },
            4, leido));
        QCOMPARE(leido.hoja, QStringLiteral("Noviembre"));
        QCOMPARE(leido.filaTitulos, qint64(2));
        QCOMPARE(leido.formatoFecha, FormatoFecha::AnioMesDia);
        QCOMPARE(columnasComoTexto(leido.columnas), QStringLiteral("D B C - - - - - - - A"));
        // Fewer columns than the letters remembered.
        QVERIFY(guardados.leer(
            QStringLiteral("20100070970"), { QStringLiteral("x"), QStringLiteral("y") }, 2, leido));
        QCOMPARE(columnasComoTexto(leido.columnas), QStringLiteral("A B - - - - - - - - -"));
    }

    void letras_data()
    {
        QTest::addColumn<int>("columna");
        QTest::addColumn<QString>("letras");
        QTest::newRow("A") << 0 << QStringLiteral("A");
        QTest::newRow("Z") << 25 << QStringLiteral("Z");
        QTest::newRow("AA") << 26 << QStringLiteral("AA");
        QTest::newRow("AZ") << 51 << QStringLiteral("AZ");
        QTest::newRow("XFD") << kColumnasHoja - 1 << QStringLiteral("XFD");
    }
    void letras()
    {
        QFETCH(int, columna);
        QFETCH(QString, letras);
        QCOMPARE(letraColumna(columna), letras);
        QCOMPARE(columnaDeLetras(letras), columna);
        QCOMPARE(columnaDeLetras(QStringLiteral("XFE")), -1);
        QCOMPARE(columnaDeLetras(QStringLiteral("a")), -1);
    }

    // The sample reads the heading row asked for and the rows below it,
    // only as many as asked for.
    void muestra()
    {
        const QString ruta = hojaDePrueba(QStringLiteral("vuelos-desordenados.xlsx"));
        MuestraHoja m = leerMuestra(ruta, {}, -1, 20);
        QVERIFY2(m.valida(), qPrintable(m.error));
        QCOMPARE(m.hoja, QStringLiteral("Noviembre"));
        QCOMPARE(m.filaTitulos, qint64(1));
        QCOMPARE(m.titulos.value(0), QStringLiteral("Vuelos de noviembre"));
        // An empty cell far to the right (AZ1) adds no column.
        QCOMPARE(m.titulos.size(), 52);
        QCOMPARE(m.columnas, 12);
        m = leerMuestra(ruta, {}, 2, 3);
        QCOMPARE(m.titulos.value(11), QStringLiteral("Fecha de Arribo"));
        QCOMPARE(m.columnas, 12);
        QCOMPARE(m.filas.size(), 3);
        QCOMPARE(m.filas.at(2).numero, qint64(6));
    }
};

QTEST_GUILESS_MAIN(TstHojaCalculo)
#include "tst_hojacalculo.moc"
