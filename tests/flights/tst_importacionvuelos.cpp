// The flight import without its window: the field rules line by line, the
// refusal of a malformed file, the working copy after one or two imports,
// the error file, and what a database failure leaves behind.
#include "flights/importacionhoja.h"
#include "flights/importacionvuelos.h"
#include "flights/reglasimportacion.h"
#include "importacionprueba.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

using Estado = ResultadoImportacion::Estado;

const QString kBueno = QStringLiteral("17/11/2026|LA2401|12|0|3|0|1|0|0|0|150|");

QString linea(const QString &fecha, const QString &codigo, const QString &tripulantes = QStringLiteral("12"),
    const QString &afectos = QStringLiteral("150"))
{
    return fecha + u'|' + codigo + u'|' + tripulantes + QStringLiteral("|0|3|0|1|0|0|0|") + afectos + u'|';
}

// Day `i` of November 2026 (from 0), going round the month.
QString diaNoviembre(int i)
{
    return QStringLiteral("%1/11/2026").arg(1 + i % 30, 2, 10, QLatin1Char('0'));
}

// Every column of every flight of the working copy, in the table's order
// (key, date, code, the nine counts, the tax), one flight a line.
QStringList filasVuelos(const BaseDePrueba &base)
{
    QStringList filas;
    QSqlQuery q(base.db());
    q.exec(QStringLiteral(
        "SELECT tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo, num_tripulantes, num_personal, "
        "num_transito, num_arrfor, num_diplo, num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar "
        "FROM TMPF517DETVP ORDER BY fec_arribo, cod_vuelo"));
    while (q.next()) {
        QStringList valores;
        for (int i = 0; i < 16; ++i)
            valores << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
        filas << valores.join(u' ');
    }
    return filas;
}

} // namespace

Q_DECLARE_METATYPE(kv::ResultadoImportacion::Estado)

class TstImportacionVuelos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reglas_data()
    {
        QTest::addColumn<QString>("periodo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("error");
        const QString nov = QStringLiteral("11/2026");
        QTest::newRow("accepted, blanks around a count")
            << nov << QStringLiteral("17/11/2026|la2401| 12 |0|3|0|1|0|0|0|150|") << QString();
        QTest::newRow("tomorrow, declared month")
            << QStringLiteral("12/2026") << linea(QStringLiteral("08/12/2026"), QStringLiteral("A1"))
            << QStringLiteral("Fecha de Arribo no debe ser mayor a la actual ");
        QTest::newRow("today") << QStringLiteral("12/2026")
                               << linea(QStringLiteral("07/12/2026"), QStringLiteral("A1")) << QString();
        QTest::newRow("future, other month")
            << nov << linea(QStringLiteral("08/12/2026"), QStringLiteral("A1"))
            << QStringLiteral("El año y mes de la fecha de Arribo deben ser iguales "
                              "al período declarado ");
        QTest::newRow("bad date, empty count: the last failure wins")
            << nov << QStringLiteral("31/02/2026|A1|12|0|3|0|1|0||0|150|")
            << QStringLiteral("Detalle de número personas a bordo está en blanco.");
        QTest::newRow("code 0000") << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("0000"))
                                   << QStringLiteral("El código de vuelo debe ser diferente de 0.");
        QTest::newRow("code 0A") << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("0A"))
                                 << QString();
        QTest::newRow("code with a hyphen")
            << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("LA-2401"))
            << QStringLiteral("El código de vuelo debe ser sólo letras y números.");
        QTest::newRow("16 letters") << nov
                                    << linea(QStringLiteral("17/11/2026"), QStringLiteral("ABCDEFGHIJKLMNOP"))
                                    << QStringLiteral("El código de vuelo debe tener máximo 15 caracteres.");
        QTest::newRow("six digits")
            << nov
            << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("12"),
                   QStringLiteral("100000"))
            << QStringLiteral("Detalle de número personas a bordo tiene campos con más de 5 posiciones.");
        QTest::newRow("1a") << nov
                            << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("1a"))
                            << QStringLiteral("Detalle de número personas a bordo debe ser numérico.");
        QTest::newRow("no crew") << nov
                                 << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("000"))
                                 << QStringLiteral("El número de tripulantes debe ser mayor a 0.");
        QTest::newRow("no code") << nov << linea(QStringLiteral("17/11/2026"), QString())
                                 << QStringLiteral("Código de vuelo está en blanco.");
        QTest::newRow("date of nine characters")
            << nov << linea(QStringLiteral("1/11/2026"), QStringLiteral("A1"))
            << QStringLiteral("Fecha de Arribo está en blanco o es incorrecta");
        QTest::newRow("no such day") << nov << linea(QStringLiteral("31/11/2026"), QStringLiteral("A1"))
                                     << QStringLiteral("Fecha de Arribo no es válida");
        QTest::newRow("the day before the tax")
            << QStringLiteral("02/2003") << linea(QStringLiteral("16/02/2003"), QStringLiteral("A1"))
            << QStringLiteral("Fecha de Arribo debe ser mayor o igual al 17/02/2003 ");
        QTest::newRow("the tax's first day")
            << QStringLiteral("02/2003") << linea(QStringLiteral("17/02/2003"), QStringLiteral("A1")) << QString();
        QTest::newRow("15 letters") << nov
                                    << linea(QStringLiteral("17/11/2026"), QStringLiteral("ABCDEFGHIJKLMNO"))
                                    << QString();
        QTest::newRow("five digits") << nov
                                     << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"),
                                            QStringLiteral("12"), QStringLiteral("99999"))
                                     << QString();
        // Two faults in one line: the later field's wins.
        QTest::newRow("no code and no crew")
            << nov << linea(QStringLiteral("17/11/2026"), QString(), QStringLiteral("0"))
            << QStringLiteral("El número de tripulantes debe ser mayor a 0.");
        QTest::newRow("other month and a hyphen in the code")
            << nov << linea(QStringLiteral("17/10/2026"), QStringLiteral("LA-1"))
            << QStringLiteral("El código de vuelo debe ser sólo letras y números.");
        QTest::newRow("no crew and a letter in the last count")
            << nov
            << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("0"), QStringLiteral("x"))
            << QStringLiteral("Detalle de número personas a bordo debe ser numérico.");
        QTest::newRow("zeros and more than 15 characters")
            << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("0000000000000000"))
            << QStringLiteral("El código de vuelo debe ser diferente de 0.");
        QTest::newRow("backspace in a count")
            << nov << linea(QStringLiteral("17/11/2026"), QStringLiteral("A1"), QStringLiteral("1\b"))
            << QStringLiteral("Detalle de número personas a bordo debe ser numérico.");
    }
    void reglas()
    {
        QFETCH(QString, periodo);
        QFETCH(QString, texto);
        QFETCH(QString, error);
        const Utilidad utilidad;
        const ReglasImportacion reglas(utilidad, QDate(2026, 12, 7), periodo);
        const LineaVuelo l = reglas.analizar(texto);
        QCOMPARE(l.error, error);
        if (l.aceptada() && l.campos[1] == u"la2401") {
            QCOMPARE(l.codigo, QStringLiteral("LA2401"));
            const QStringList cantidades(l.cantidades.cbegin(), l.cantidades.cend());
            QCOMPARE(cantidades.join(u' '), QStringLiteral("12 0 3 0 1 0 0 0 150"));
            QCOMPARE(l.fecha, QDate(2026, 11, 17));
        }
    }

    // A file with one wrong line is refused whole and nothing is imported.
    void archivoRechazado_data()
    {
        QTest::addColumn<QString>("malo");
        QTest::addColumn<Estado>("estado");
        QTest::newRow("last line without its final |")
            << QStringLiteral("18/11/2026|LA2402|12|0|3|0|1|0|0|0|150") << Estado::CamposIncorrectos;
        QTest::newRow("twelve separators")
            << QStringLiteral("18/11/2026|LA2402|12|0|3|0|1|0|0|0|150||") << Estado::CamposIncorrectos;
        QTest::newRow("blank line") << QString() << Estado::CamposIncorrectos;
        QTest::newRow("text after the last |")
            << QStringLiteral("18/11/2026|LA2402|12|0|3|0|1|0|0|0|150|x") << Estado::SinSeparadorFinal;
    }
    void archivoRechazado()
    {
        QFETCH(QString, malo);
        QFETCH(Estado, estado);
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        const QString ruta = escribirArchivoVuelos(base, { kBueno, malo });
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        QCOMPARE(importacion.CuentaPipes(ruta), estado != Estado::CamposIncorrectos);
        QCOMPARE(importacion.ImportarVuelos(ruta).estado, estado);
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 0);
    }

    // A second import of the file updates its flights; the code is matched
    // as stored, in upper case, and other flights stay as they were.
    void mismoArchivoDosVeces()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        const QString ruta = escribirArchivoVuelos(
            base, { kBueno, linea(QStringLiteral("18/11/2026"), QStringLiteral("la2402")) });
        QVERIFY(importacion.ImportarVuelos(ruta).satisfactoria());
        // Nine different counts: each lands in its own column.
        escribirArchivoVuelos(base, { QStringLiteral("18/11/2026|LA2402|9|1|2|3|4|5|6|08|007|") });
        const ResultadoImportacion r = importacion.ImportarVuelos(ruta);
        QVERIFY(r.satisfactoria());
        QCOMPARE(r.transferidos, qint64(1));
        QCOMPARE(filasVuelos(base),
            QStringList({ QStringLiteral("6 20100070970 202611 0517 2026-11-17 LA2401 12 0 3 0 1 0 0 0 150 2250"),
                QStringLiteral("6 20100070970 202611 0517 2026-11-18 LA2402 9 1 2 3 4 5 6 8 7 105") }));
        // With no refused line the error file is there, empty.
        QCOMPARE(leerBytes(importacion.rutaErrores()), QByteArray());
    }

    // A record the database refuses is a refused record, with the
    // database's reason; the import goes on with the next.
    void grabacionRechazada()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        base.agregarFalla(QStringLiteral("vetado"), QStringLiteral("INSERT"), QStringLiteral("TMPF517DETVP"),
                          QStringLiteral("vuelo vetado"), QStringLiteral("NEW.cod_vuelo='XX1'"));
        const QString ruta = escribirArchivoVuelos(base,
            { kBueno, linea(QStringLiteral("18/11/2026"), QStringLiteral("XX1")),
                linea(QStringLiteral("19/11/2026"), QStringLiteral("LA2403")) });
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        const ResultadoImportacion r = importacion.ImportarVuelos(ruta);
        QCOMPARE(r.estado, Estado::Terminada);
        QCOMPARE(r.transferidos, qint64(2));
        QCOMPARE(r.rechazados, qint64(1));
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 2);
        const QByteArray errores = leerBytes(importacion.rutaErrores());
        QVERIFY2(errores.startsWith("18/11/2026  XX1              Error ") && errores.contains("vuelo vetado")
                && errores.endsWith("\r\n") && errores.count('\n') == 1,
            errores.constData());
    }

    // Long files go in by blocks: a flight the database refuses in the
    // middle of one is listed alone and the rest of its block goes in; the
    // error file and the progress follow the file's order; a flight met
    // twice keeps the later line's counts.
    void bloques_data()
    {
        QTest::addColumn<int>("lineas");
        QTest::addColumn<QList<int>>("vetadas"); // refused by the database
        QTest::addColumn<QList<int>>("malas"); // refused by the rules (a hyphen in the code)
        QTest::addColumn<QList<int>>("repetidas"); // the same flight as the line before
        QTest::newRow("one block") << 40 << QList<int> {} << QList<int> {} << QList<int> {};
        QTest::newRow("refused in the second block") << 1200 << QList<int> {700} << QList<int> {} << QList<int> {};
        QTest::newRow("refused among rule errors")
            << 1200 << QList<int> {700, 701} << QList<int> {10, 699, 1199} << QList<int> {};
        QTest::newRow("a flight twice") << 30 << QList<int> {} << QList<int> {} << QList<int> {7};
        QTest::newRow("twice around a block's end") << 1200 << QList<int> {} << QList<int> {} << QList<int> {500, 501};
    }
    void bloques()
    {
        QFETCH(int, lineas);
        QFETCH(QList<int>, vetadas);
        QFETCH(QList<int>, malas);
        QFETCH(QList<int>, repetidas);
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        base.agregarFalla(QStringLiteral("vetado"), QStringLiteral("INSERT"), QStringLiteral("TMPF517DETVP"),
                          QStringLiteral("vuelo vetado"), QStringLiteral("NEW.cod_vuelo LIKE 'XX%'"));
        QStringList texto;
        QStringList esperadas;
        QMap<QString, QString> afectos; // by code, the last line's
        for (int i = 1; i <= lineas; ++i) {
            const int vuelo = repetidas.contains(i) ? i - 1 : i;
            QString codigo = (vetadas.contains(i) ? QStringLiteral("XX%1") : QStringLiteral("LA%1")).arg(vuelo);
            if (malas.contains(i))
                codigo.insert(2, u'-');
            const QString fecha = QStringLiteral("%1/11/2026").arg(1 + vuelo % 30, 2, 10, QLatin1Char('0'));
            const QString cuantos = QString::number(100 + i);
            texto << linea(fecha, codigo, QStringLiteral("12"), cuantos);
            if (vetadas.contains(i) || malas.contains(i))
                esperadas << fecha.leftJustified(12) + codigo.leftJustified(17);
            else
                afectos.insert(codigo, cuantos);
        }
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        QList<AvanceImportacion> avances;
        const ResultadoImportacion r = importacion.ImportarVuelos(
            escribirArchivoVuelos(base, texto), [&avances](const AvanceImportacion &a) { avances << a; });
        QCOMPARE(r.estado, Estado::Terminada);
        QCOMPARE(r.rechazados, qint64(esperadas.size()));
        QCOMPARE(r.transferidos, qint64(lineas - esperadas.size()));
        QCOMPARE(avances.size(), lineas);
        for (int i = 0; i < avances.size(); ++i) {
            QCOMPARE(avances.at(i).leidas, qint64(i + 1));
            QCOMPARE(avances.at(i).total, qint64(lineas));
        }
        QCOMPARE(avances.last().rechazados, r.rechazados);

        QStringList errores;
        for (const QByteArray &l : leerBytes(importacion.rutaErrores()).split('\n')) {
            if (!l.isEmpty())
                errores << QString::fromLatin1(l.left(29));
        }
        QCOMPARE(errores, esperadas);
        QMap<QString, QString> guardados;
        for (const QString &fila : base.filas(QStringLiteral("SELECT cod_vuelo, num_afectos FROM TMPF517DETVP"))) {
            const QStringList partes = fila.split(u'|');
            guardados.insert(partes.at(0), partes.at(1));
        }
        QCOMPARE(guardados, afectos);
    }

    // Rows of another kind of file, one at a time with their numbers: the
    // same rules and writes, each error line led by the row's number.
    void filasNumeradas()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        QFile errores(base.carpeta() + QStringLiteral("filas.Err"));
        QVERIFY(errores.open(QIODevice::WriteOnly));
        ImportacionFilas filas(base.contexto(), QStringLiteral("11/2026"), errores);
        filas.setNumerarFilas(true);
        QVERIFY(filas.iniciar());
        QVERIFY(filas.fila(separarCampos(kBueno), 2));
        // A sheet's cells come as they are typed, blanks and all.
        CamposVuelo conBlancos = separarCampos(linea(QStringLiteral("18/11/2026"), QStringLiteral("la2402"),
                                                     QStringLiteral("12"), QStringLiteral("7")));
        conBlancos[0] = QStringLiteral(" 18/11/2026 ");
        conBlancos[1] = QStringLiteral("la2402 ");
        QVERIFY(filas.fila(conBlancos, 3));
        QVERIFY(filas.fila(separarCampos(linea(QStringLiteral("19/11/2026"), QStringLiteral("LA-1"))), 41));
        QVERIFY(filas.terminar());
        errores.close();
        QCOMPARE(filas.avance().transferidos, qint64(2));
        QCOMPARE(filas.avance().rechazados, qint64(1));
        QCOMPARE(leerBytes(errores.fileName()),
                 aCp1252(QStringLiteral("19/11/2026  LA-1             Fila 41: El código de vuelo debe ser sólo "
                                        "letras y números.\r\n")));
        QCOMPARE(filasVuelos(base),
                 QStringList({QStringLiteral("6 20100070970 202611 0517 2026-11-17 LA2401 12 0 3 0 1 0 0 0 150 2250"),
                              QStringLiteral("6 20100070970 202611 0517 2026-11-18 LA2402 12 0 3 0 1 0 0 0 7 105")}));
    }

    // The database ends the transaction half way: the working copy is as it
    // was before the import and the caller learns why.
    void importacionInterrumpida()
    {
        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("a trigger that ends the whole transaction is the embedded engine's");
        abrirDeclaracionVuelos(base);
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        QVERIFY(importacion.ImportarVuelos(escribirArchivoVuelos(base, { kBueno })).satisfactoria());
        const QStringList antes = filasVuelos(base);
        base.ejecutar(
            QStringLiteral("CREATE TRIGGER lleno BEFORE INSERT ON TMPF517DETVP WHEN NEW.cod_vuelo='XX9' "
                           "BEGIN SELECT RAISE(ROLLBACK, 'disco lleno'); END"));
        const QString ruta = escribirArchivoVuelos(base,
            { linea(QStringLiteral("17/11/2026"), QStringLiteral("LA2401"), QStringLiteral("5")),
                linea(QStringLiteral("31/02/2026"), QStringLiteral("A1")),
                linea(QStringLiteral("18/11/2026"), QStringLiteral("LA2402")),
                linea(QStringLiteral("19/11/2026"), QStringLiteral("XX9")),
                linea(QStringLiteral("20/11/2026"), QStringLiteral("LA2404")) });
        const ResultadoImportacion r = importacion.ImportarVuelos(ruta);
        QCOMPARE(r.estado, Estado::Interrumpida);
        QVERIFY2(r.error.texto.contains(u"disco lleno"), qPrintable(r.error.texto));
        QCOMPARE(filasVuelos(base), antes);
        QCOMPARE(leerBytes(importacion.rutaErrores()), QByteArray());
        // The database takes writes again.
        base.ejecutar(QStringLiteral("DROP TRIGGER lleno"));
        QVERIFY(importacion.ImportarVuelos(ruta).estado == Estado::Terminada);
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 4);
    }

    // The same flights from a spreadsheet go through the same rules into
    // the same rows; each refused row's line tells its row in the sheet.
    // More rows than the reader keeps ahead of the import.
    void hojaComoArchivoDeTexto()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        QStringList lineas;
        for (int i = 0; i < 1500; ++i)
            lineas << linea(diaNoviembre(i), (i % 100 == 7 ? QStringLiteral("V-%1") : QStringLiteral("V%1")).arg(i),
                i % 250 == 3 ? QStringLiteral("0") : QStringLiteral("12"));
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        const ResultadoImportacion texto = importacion.ImportarVuelos(escribirArchivoVuelos(base, lineas));
        QCOMPARE(texto.rechazados, qint64(21));
        const QStringList filasTexto = filasVuelos(base);
        const QByteArray erroresTexto = leerBytes(importacion.rutaErrores());
        base.ejecutar(QStringLiteral("DELETE FROM TMPF517DETVP"));

        // A heading row, a blank row, semicolons.
        QByteArray csv = "Fecha de Arribo;Código de Vuelo;Trip.;Pers.;Tran.;Forz.;Dipl.;Extr.;Depo.;Ante.;Comp.\r\n"
                         ";;;;\r\n";
        for (const QString &l : lineas)
            csv += l.chopped(1).replace(u'|', u';').toUtf8() + "\r\n";
        const QString ruta = base.carpeta() + QStringLiteral("vuelos.csv");
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(csv);
        f.close();
        const MuestraHoja muestra = leerMuestra(ruta, {}, -1, 20);
        MapeoHoja mapeo;
        mapeo.columnas = emparejarTitulos(muestra.titulos);
        const ResultadoImportacion hoja = importarHoja(importacion, ruta, mapeo);
        QCOMPARE(hoja.estado, Estado::Terminada);
        QCOMPARE(hoja.transferidos, texto.transferidos);
        QCOMPARE(hoja.rechazados, texto.rechazados);
        QCOMPARE(filasVuelos(base), filasTexto);
        // Line 4 of the text file is row 6 of the sheet.
        const QByteArray erroresHoja = leerBytes(importacion.rutaErrores());
        QCOMPARE(erroresHoja.left(erroresHoja.indexOf('\n') + 1),
            aCp1252(u"04/11/2026  V3               Fila 6: El número de tripulantes debe ser mayor a 0.\r\n"));
        QCOMPARE(QString::fromLatin1(erroresHoja).remove(QRegularExpression(QStringLiteral("Fila \\d+: "))),
            QString::fromLatin1(erroresTexto));

        // The last row left with its quote open: nothing stays.
        base.ejecutar(QStringLiteral("DELETE FROM TMPF517DETVP"));
        QVERIFY(f.open(QIODevice::Append));
        f.write("\"30/11/2026;X1;1;0;0;0;0;0;0;0;1\r\n");
        f.close();
        const ResultadoImportacion danada = importarHoja(importacion, ruta, mapeo);
        QCOMPARE(danada.estado, Estado::ArchivoDanado);
        QCOMPARE(danada.error.texto, QStringLiteral("La fila 1503 del archivo abre comillas que no se cierran."));
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 0);
        QCOMPARE(leerBytes(importacion.rutaErrores()), QByteArray());
    }

    // More lines than a 16-bit counter holds.
    void muchasLineas()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        QStringList lineas;
        for (int i = 0; i < 33000; ++i)
            lineas << linea(diaNoviembre(i), QStringLiteral("V%1").arg(i));
        lineas << linea(QStringLiteral("31/11/2026"), QStringLiteral("V0"));
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        const ResultadoImportacion r = importacion.ImportarVuelos(escribirArchivoVuelos(base, lineas));
        QCOMPARE(r.transferidos, qint64(33000));
        QCOMPARE(r.rechazados, qint64(1));
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 33000);
    }
};

QTEST_GUILESS_MAIN(TstImportacionVuelos)
#include "tst_importacionvuelos.moc"
