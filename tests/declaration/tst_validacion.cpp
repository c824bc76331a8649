// The whole-declaration check without its window: the findings and their
// order, the messages file the consistency report reads, the silent check
// a save makes, and the warnings against earlier declarations.
#include "declaracionprueba.h"
#include "declaration/validacion.h"
#include "store/texto.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kSinInconsistencias
    = QStringLiteral("La información de la declaración no presenta inconsistencias.");
const QString kTitulo = QStringLiteral("Declaración Formulario 0517");

struct Escena
{
    BaseDePrueba base;
    Declaracion decl { base.contexto() };

    Escena()
    {
        elegirDeclaracion(base.contexto());
        decl.abrir(Declaracion::kModificar, false, {});
    }

    // A declaration that passes every check: 40 flights at 3.450, paid
    // in cash.
    static DatosDeclaracion completa()
    {
        DatosDeclaracion d;
        d.identificacion = { {}, kRuc, QStringLiteral("4451234"), QStringLiteral("03/2024") };
        d.casillas = { { QStringLiteral("396"), QStringLiteral("71,700") },
            { QStringLiteral("397"), QStringLiteral("3.450") },
            { QStringLiteral("406"), QStringLiteral("247,365") },
            { QStringLiteral("410"), QStringLiteral("247,365") } };
        d.pago = { QStringLiteral("E"), QStringLiteral("XX"), {}, QStringLiteral("247,365") };
        return d;
    }

    ResultadoValidacion validar(const DatosDeclaracion &d, ModoValidacion modo = ModoValidacion::Archivo)
    {
        return ValidaTodo(decl, modo, d, kTitulo);
    }

    QByteArray archivo()
    {
        QFile f(rutaMensajes(base.contexto()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(sin archivo)");
    }
};

QStringList mensajes(const QList<Hallazgo> &hallazgos)
{
    QStringList r;
    for (const Hallazgo &h : hallazgos)
        r << h.mensaje;
    return r;
}

// One flight: `afectos` passengers subject to the tax and `aBordo` people
// on board (10 of them crew, the rest in transit).
void agregarVuelo(BaseDePrueba &base, const QString &tabla, const QString &correl, const QString &periodo,
                  int dia, const QString &codigo, int afectos, int aBordo)
{
    const bool historica = !correl.isEmpty();
    const QDate fecha = QDate::fromString(periodo + QStringLiteral("01"), QStringLiteral("yyyyMMdd")).addDays(dia - 1);
    QVariantList valores{kRuc, periodo};
    if (historica)
        valores << correl;
    valores << fecha.toString(Qt::ISODate) << codigo << QString::number(aBordo - afectos - 10)
            << QString::number(afectos) << QString::number(afectos * 15);
    base.ejecutar(QStringLiteral("INSERT INTO %1 (tip_doc_d, doc_id_d, periodo, formulario, %2fec_arribo, cod_vuelo, "
                                 "num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, num_extrad, "
                                 "num_deport, num_adqanterior, num_afectos, mto_dolar, cnumero) "
                                 "VALUES (6,?,?,'0517',%3?,?,'10','0',?,'0','0','0','0','0',?,?,'0')")
                      .arg(tabla, historica ? QStringLiteral("correl, ") : QString(),
                           historica ? QStringLiteral("?,") : QString()),
                  valores);
}

// Earlier declarations, one line each: "<copy> <period> <what> <figure>
// [<people on board>]", where the copy is G (saved) or E<correl> (sent,
// with its HCAB row), and what is a flight code or a box number ("393").
// A period's flights arrive on its 1st, 2nd, 3rd... day in their order.
void prepararHistoria(BaseDePrueba &base, const QStringList &lineas)
{
    QHash<QString, int> dias;
    QSet<QString> cabeceras;
    for (const QString &linea : lineas) {
        const QStringList p = linea.split(u' ');
        const QString correl = p.at(0).mid(1);
        const QString &periodo = p.at(1);
        if (!correl.isEmpty() && !cabeceras.contains(periodo + correl)) {
            cabeceras << periodo + correl;
            base.ejecutar(QStringLiteral("INSERT INTO HCAB (tip_doc_d, doc_id_d, periodo, Formulario, correl, "
                                         "estado, cNumero) VALUES (6,?,?,'0517',?,1,'0')"),
                          {kRuc, periodo, correl});
        }
        if (p.at(2).size() == 3 && p.at(2).at(0).isDigit()) {
            guardarCasilla(base, p.at(2), p.at(3), correl, kRuc, periodo);
            continue;
        }
        const int afectos = p.at(3).toInt();
        agregarVuelo(base, correl.isEmpty() ? QStringLiteral("F517DETVP") : QStringLiteral("HF517DETVP"), correl,
                     periodo, ++dias[p.at(0) + periodo], p.at(2), afectos,
                     p.size() > 4 ? p.at(4).toInt() : afectos + 10);
    }
}

} // namespace

class TstValidacion : public QObject
{
    Q_OBJECT

private slots:
    // The warning about the amount paid is shown and changes nothing; the
    // closing message follows it.
    void completaEnEfectivo()
    {
        Escena e;
        DatosDeclaracion d = Escena::completa();
        d.casillas[QStringLiteral("410")] = QStringLiteral("250,000");
        const ResultadoValidacion r = e.validar(d);
        QVERIFY(r.valida);
        QVERIFY(!r.abrirReporte);
        const QList<Mensaje> vistos = e.base.mensajes().mostrados();
        QCOMPARE(vistos.size(), 2);
        QCOMPARE(vistos.at(0).texto, QStringLiteral("El importe a pagar tiene un exceso\n"));
        QCOMPARE(vistos.at(0).icono, Icono::Informacion);
        QCOMPARE(vistos.at(1).texto, kSinInconsistencias);
        QCOMPARE(vistos.at(1).titulo, QStringLiteral("Mensaje"));
        QCOMPARE(vistos.at(1).icono, Icono::Exclamacion);
        QCOMPARE(e.archivo(), QByteArray());
    }

    // Three findings in their order, each a Windows-1252 line with CR LF,
    // and the place each sends the user to.
    void tresHallazgosEnOrden()
    {
        Escena e;
        DatosDeclaracion d = Escena::completa();
        d.casillas[QStringLiteral("410")] = QString();
        d.casillas[QStringLiteral("397")] = QStringLiteral("1.5");
        d.pago.formapago = QStringLiteral("X");
        const ResultadoValidacion r = e.validar(d);
        QVERIFY(!r.valida && r.abrirReporte);
        QCOMPARE(r.archivo, e.base.carpeta() + QStringLiteral("Mens.txt"));
        const QString esperado = QStringLiteral(
            "Determinación de la Deuda : Ingrese Monto a Pagar (Casilla 410)\r\n"
            "Vuelos y Cantidad de Pasajeros : El Tipo de Cambio debe ser mayor o igual a 2 y menor a 10 "
            "(Casilla 397)\r\n"
            "Determinación de la Deuda : Ingrese la Forma de pago\r\n");
        QCOMPARE(e.archivo(), aCp1252(esperado));
        QCOMPARE(r.lineas().size(), 3);
        QCOMPARE(r.lineas().at(0).casilla, QStringLiteral("410"));
        QCOMPARE(r.lineas().at(1).casilla, QStringLiteral("397"));
        QCOMPARE(r.lineas().at(2).campo, CampoDeclaracion::FormaPago);
        QVERIFY(e.base.mensajes().mostrados().isEmpty());

        // Run again, the file holds this run's findings only.
        d = Escena::completa();
        d.pago.formapago = QStringLiteral("X");
        e.validar(d);
        QCOMPARE(e.archivo(), aCp1252(u"Determinación de la Deuda : Ingrese la Forma de pago\r\n"));
    }

    void tipoDeCambio_data()
    {
        QTest::addColumn<QString>("tasa");
        QTest::addColumn<QString>("impuesto");
        QTest::addColumn<QString>("importe");
        QTest::addColumn<QString>("mensaje"); // the first finding; empty: none
        const QString rango = QStringLiteral("Vuelos y Cantidad de Pasajeros : El Tipo de Cambio debe ser mayor "
                                             "o igual a 2 y menor a 10 (Casilla 397)");
        const QString sinTasa
            = QStringLiteral("Vuelos y Cantidad de Pasajeros : Ingrese Tipo de Cambio (Casilla 397)");
        const QString sinImporte
            = QStringLiteral("Determinación de la Deuda : Ingrese Monto a Pagar (Casilla 410)");
        const QString pagado = QStringLiteral("247,365");
        QTest::newRow("2 pasa") << QStringLiteral("2.000") << QStringLiteral("71,700") << pagado << QString();
        QTest::newRow("9.999 pasa") << QStringLiteral("9.999") << QStringLiteral("71,700") << pagado << QString();
        QTest::newRow("10 falla") << QStringLiteral("10") << QStringLiteral("71,700") << pagado << rango;
        QTest::newRow("1.999 falla") << QStringLiteral("1.999") << QStringLiteral("71,700") << pagado << rango;
        QTest::newRow("cuatro decimales") << QStringLiteral("3.4567") << QStringLiteral("71,700") << pagado << rango;
        QTest::newRow("sin tasa con impuesto") << QString() << QStringLiteral("1") << pagado << sinTasa;
        QTest::newRow("sin tasa ni impuesto") << QString() << QStringLiteral("0") << pagado << QString();
        QTest::newRow("sin tasa, impuesto en blanco") << QString() << QString() << pagado << QString();
        // Two faults: the amount to pay is checked first.
        QTest::newRow("sin importe y tasa fuera de rango")
            << QStringLiteral("1.5") << QStringLiteral("71,700") << QString() << sinImporte;
        QTest::newRow("sin importe ni tasa") << QString() << QStringLiteral("1") << QString() << sinImporte;
    }

    // The silent check shows nothing, not even the rate's own text check,
    // and leaves the messages file as it was.
    void tipoDeCambio()
    {
        QFETCH(QString, tasa);
        QFETCH(QString, impuesto);
        QFETCH(QString, importe);
        QFETCH(QString, mensaje);
        Escena e;
        QFile previo(rutaMensajes(e.base.contexto()));
        QVERIFY(previo.open(QIODevice::WriteOnly));
        previo.write("anterior\r\n");
        previo.close();
        DatosDeclaracion d = Escena::completa();
        d.casillas[QStringLiteral("397")] = tasa;
        d.casillas[QStringLiteral("396")] = impuesto;
        d.casillas[QStringLiteral("410")] = importe;
        const ResultadoValidacion r = e.validar(d, ModoValidacion::Silencioso);
        QCOMPARE(r.valida, mensaje.isEmpty());
        QCOMPARE(r.hallazgos.size(), mensaje.isEmpty() ? 0 : 1);
        if (!mensaje.isEmpty()) {
            QCOMPARE(r.hallazgos.first().mensaje, mensaje);
            QCOMPARE(r.hallazgos.first().casilla, importe.isEmpty() ? QStringLiteral("410") : QStringLiteral("397"));
        }
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
        QCOMPARE(e.archivo(), QByteArray("anterior\r\n"));

        // In file mode the same finding is the file's first line.
        if (!mensaje.isEmpty()) {
            e.validar(d);
            QVERIFY2(e.archivo().startsWith(aCp1252(mensaje + QStringLiteral("\r\n"))), e.archivo().constData());
        }
    }

    void cheque()
    {
        Escena e;
        DatosDeclaracion d = Escena::completa();
        d.pago = { QStringLiteral("C"), QStringLiteral("XX"), QString(), QString() };
        ResultadoValidacion r = e.validar(d);
        QCOMPARE(mensajes(r.hallazgos),
            (QStringList { QStringLiteral("Determinación de la Deuda: Ingrese el banco"),
                QStringLiteral("Determinación de la Deuda : Ingrese el Número del cheque"),
                QStringLiteral("Determinación de la Deuda : No puede girar un cheque con monto cero") }));
        QCOMPARE(r.hallazgos.at(0).campo, CampoDeclaracion::Banco);
        QCOMPARE(r.hallazgos.at(1).campo, CampoDeclaracion::NumCheque);
        QCOMPARE(r.hallazgos.at(2).casilla, QStringLiteral("410"));

        // The silent check stops at the first.
        QCOMPARE(e.validar(d, ModoValidacion::Silencioso).hallazgos.size(), 1);

        // A bank the panel does not know is no bank.
        d.pago = { QStringLiteral("C"), QString(), QStringLiteral("00012345"), QStringLiteral("247,365") };
        QCOMPARE(mensajes(e.validar(d).hallazgos),
            QStringList { QStringLiteral("Determinación de la Deuda: Ingrese el banco") });

        d.pago = { QStringLiteral("C"), QStringLiteral("05"), QStringLiteral("000"), QStringLiteral("0") };
        r = e.validar(d);
        QCOMPARE(mensajes(r.hallazgos),
            (QStringList { QStringLiteral("Determinación de la Deuda : Número del cheque no puede ser cero"),
                QStringLiteral("Determinación de la Deuda : No puede girar un cheque con monto cero") }));
    }

    // Warnings against the taxpayer's earlier declarations (six periods
    // before 03/2024): the flights of the working copy ("<code> <passengers
    // subject to the tax> [<people on board>]", arriving on the 1st, 2nd...
    // of March), boxes 393 and 397 as shown, and the warnings expected.
    void advertencias_data()
    {
        QTest::addColumn<QStringList>("historia");
        QTest::addColumn<QStringList>("vuelos");
        QTest::addColumn<QString>("c393");
        QTest::addColumn<QString>("c397");
        QTest::addColumn<QStringList>("esperadas");
        const QStringList tresVuelos{"G 202312 LA100 150", "E001 202401 LA100 160", "G 202402 LA100 170"};
        const QString deLA100 = QStringLiteral("en los 6 meses anteriores llevó entre 150 y 170.");
        QTest::newRow("diez veces la mediana") << tresVuelos << QStringList{"LA100 1600"} << "" << ""
            << QStringList{"Vuelo LA100 del 01/03/2024: 1,600 pasajeros comprendidos; " + deLA100};
        QTest::newRow("dos veces la mediana") << tresVuelos << QStringList{"LA100 320"} << "" << "" << QStringList{};
        QTest::newRow("tres veces justas") << tresVuelos << QStringList{"LA100 480"} << "" << "" << QStringList{};
        QTest::newRow("tres veces y algo") << tresVuelos << QStringList{"LA100 481"} << "" << ""
            << QStringList{"Vuelo LA100 del 01/03/2024: 481 pasajeros comprendidos; " + deLA100};
        QTest::newRow("menos de un tercio") << tresVuelos << QStringList{"LA100 170", "LA100 50"} << "" << ""
            << QStringList{"Vuelo LA100 del 02/03/2024: 50 pasajeros comprendidos; " + deLA100};
        QTest::newRow("otro codigo no se compara") << tresVuelos << QStringList{"LA200 1600 1700"} << "" << ""
            << QStringList{"Vuelo LA200 del 01/03/2024: 1,700 personas a bordo; ningún avión de pasajeros "
                           "lleva más de 853."};
        QTest::newRow("solo dos vuelos antes") << QStringList{"G 202401 LA100 150", "G 202402 LA100 160"}
                                                << QStringList{"LA100 800"} << "" << "" << QStringList{};
        QTest::newRow("personas a bordo fuera de lo habitual")
            << QStringList{"G 202401 LA100 150 160", "G 202401 LA100 150 160", "G 202402 LA100 150 160"}
            << QStringList{"LA100 150 600"} << "" << ""
            << QStringList{"Vuelo LA100 del 01/03/2024: 600 personas a bordo; en los 6 meses anteriores llevó "
                           "entre 160 y 160."};
        QTest::newRow("854 a bordo en la primera declaracion") << QStringList{} << QStringList{"LA100 844 854"}
            << "" << ""
            << QStringList{"Vuelo LA100 del 01/03/2024: 854 personas a bordo; ningún avión de pasajeros "
                           "lleva más de 853."};
        QTest::newRow("853 a bordo") << QStringList{} << QStringList{"LA100 843 853"} << "" << "" << QStringList{};
        // Only the six periods before: neither August 2023's flight nor
        // the one saved of March itself makes the third.
        QTest::newRow("fuera de los seis meses")
            << QStringList{"G 202308 LA100 150", "G 202403 LA100 150", "G 202309 LA100 150", "G 202309 LA100 150"}
            << QStringList{"LA100 700"} << "" << "" << QStringList{};
        const QString promedio = QStringLiteral(
            "Vuelos y Cantidad de Pasajeros : Sujetos Comprendidos (Casilla 393) 1,600; el promedio de los %1 "
            "meses anteriores declarados es %2.");
        QTest::newRow("393 +60% con dos periodos") << QStringList{"G 202401 393 1000", "G 202402 393 1000"}
            << QStringList{} << "1,600" << "" << QStringList{promedio.arg(2).arg("1,000")};
        QTest::newRow("393 -60% con dos periodos") << QStringList{"G 202401 393 1000", "G 202402 393 1000"}
            << QStringList{} << "400" << ""
            << QStringList{promedio.arg(2).arg("1,000").replace("1,600;", "400;")};
        QTest::newRow("393 +40% con dos periodos") << QStringList{"G 202401 393 1000", "G 202402 393 1000"}
                                                   << QStringList{} << "1,400" << "" << QStringList{};
        QTest::newRow("393 +60% con un periodo") << QStringList{"G 202402 393 1000"} << QStringList{} << "1,600"
                                                 << "" << QStringList{};
        // Box 395 alone: a declaration without flights, none subject to the tax.
        QTest::newRow("393 de un periodo sin vuelos")
            << QStringList{"G 202401 393 1200", "G 202402 395 0"} << QStringList{} << "1,600" << ""
            << QStringList{promedio.arg(2).arg("600")};
        // February saved and sent twice: only its latest sent copy counts,
        // once (with the saved copy too the average would be 2,333; with
        // the first copy it would be 3,000; LA200 would have flown three
        // times and be compared).
        QTest::newRow("enviado y guardado cuenta una vez")
            << QStringList{"G 202401 393 1000",  "G 202402 393 5000",  "E001 202402 393 5000", "E002 202402 393 1000",
                           "G 202401 LA200 150", "G 202402 LA200 150", "E001 202402 LA200 150",
                           "E002 202402 LA200 150"}
            << QStringList{"LA200 700"} << "1,600" << "" << QStringList{promedio.arg(2).arg("1,000")};
        const QString tasa = QStringLiteral(
            "Vuelos y Cantidad de Pasajeros : Tipo de Cambio Venta (Casilla 397) %1; en la declaración de 02/2024 "
            "fue 3.000.");
        const QStringList tasas{"G 202401 397 3.180", "G 202402 397 3.000"};
        QTest::newRow("397 +6%") << tasas << QStringList{} << "" << "3.180" << QStringList{tasa.arg("3.180")};
        QTest::newRow("397 -6%") << tasas << QStringList{} << "" << "2.820" << QStringList{tasa.arg("2.820")};
        QTest::newRow("397 +4%") << tasas << QStringList{} << "" << "3.120" << QStringList{};
        // The latest declaration with a rate: February's sent copy has
        // none, and its saved one does not count.
        QTest::newRow("397 de la ultima con tasa")
            << QStringList{"G 202401 397 3.000", "G 202402 397 3.180", "E001 202402 395 0"} << QStringList{} << ""
            << "3.180" << QStringList{QString(tasa).replace("02/2024", "01/2024").arg("3.180")};
        QTest::newRow("sin historia") << QStringList{} << QStringList{"LA100 150", "LA200 600 650"} << "750"
                                      << "3.450" << QStringList{};
        // Flights in arrival order, then the boxes.
        QTest::newRow("orden") << (QStringList(tresVuelos) << "G 202312 393 10" << "G 202402 393 10"
                                                           << "G 202402 397 3.000")
            << QStringList{"LA300 850 900", "LA100 1600"} << "1,600" << "3.180"
            << QStringList{"Vuelo LA300 del 01/03/2024: 900 personas a bordo; ningún avión de pasajeros lleva "
                           "más de 853.",
                           "Vuelo LA100 del 02/03/2024: 1,600 pasajeros comprendidos; " + deLA100,
                           promedio.arg(2).arg("10"), tasa.arg("3.180")};
    }

    // Warnings never make the declaration inconsistent nor go into the
    // messages file: the closing message is shown, then the report opens
    // for them.
    void advertencias()
    {
        QFETCH(QStringList, historia);
        QFETCH(QStringList, vuelos);
        QFETCH(QString, c393);
        QFETCH(QString, c397);
        QFETCH(QStringList, esperadas);
        Escena e;
        prepararHistoria(e.base, historia);
        for (int i = 0; i < vuelos.size(); ++i) {
            const QStringList p = vuelos.at(i).split(u' ');
            agregarVuelo(e.base, QStringLiteral("TMPF517DETVP"), {}, kPeriodo, i + 1, p.at(0), p.at(1).toInt(),
                         p.size() > 2 ? p.at(2).toInt() : p.at(1).toInt() + 10);
        }
        DatosDeclaracion d = Escena::completa();
        d.casillas[QStringLiteral("393")] = c393;
        if (!c397.isEmpty())
            d.casillas[QStringLiteral("397")] = c397;
        const ResultadoValidacion r = e.validar(d);
        QStringList vistas;
        for (const Advertencia &a : r.advertencias)
            vistas << a.mensaje;
        QCOMPARE(vistas, esperadas);
        QVERIFY(r.valida);
        QCOMPARE(r.abrirReporte, !esperadas.isEmpty());
        QCOMPARE(e.base.mensajes().textos(), QStringList{kSinInconsistencias});
        QCOMPARE(e.archivo(), QByteArray());
        for (const Advertencia &a : r.advertencias) {
            if (a.mensaje.startsWith(u"Vuelo ")) {
                QCOMPARE(a.campo, CampoDeclaracion::Vuelo);
                QCOMPARE(a.mensaje, QStringLiteral("Vuelo %1 del %2: ").arg(a.codVuelo, a.fecArribo.toString(u"dd/MM/yyyy"))
                                        + a.mensaje.section(QStringLiteral(": "), 1));
            } else {
                QCOMPARE(a.campo, CampoDeclaracion::Casilla);
                QVERIFY(a.mensaje.contains(QStringLiteral("(Casilla %1)").arg(a.casilla)));
            }
        }
        // A save's silent check reads no history and finds nothing.
        QVERIFY(e.validar(d, ModoValidacion::Silencioso).advertencias.isEmpty());
    }

    // A telephone of five digits is told in a message box, as it is when
    // the tab is left; the other findings still go to the file.
    void telefonoIncompletoEnMensaje()
    {
        Escena e;
        DatosDeclaracion d = Escena::completa();
        d.identificacion.telefono = QStringLiteral("12345");
        d.casillas[QStringLiteral("410")] = QString();
        const ResultadoValidacion r = e.validar(d);
        QCOMPARE(
            e.base.mensajes().textos(), QStringList { QStringLiteral("Ingrese correctamente el teléfono.") });
        QCOMPARE(e.base.mensajes().ultimo().titulo, kTitulo);
        QCOMPARE(r.hallazgos.size(), 2);
        QVERIFY(r.hallazgos.first().detiene);
        QCOMPARE(
            e.archivo(), aCp1252(u"Determinación de la Deuda : Ingrese Monto a Pagar (Casilla 410)\r\n"));
        QVERIFY(r.abrirReporte);

        // The telephone alone: told in its box, and no empty report opens.
        e.base.mensajes().limpiar();
        d.casillas[QStringLiteral("410")] = QStringLiteral("247,365");
        const ResultadoValidacion solo = e.validar(d);
        QVERIFY(!solo.valida);
        QVERIFY(!solo.abrirReporte);
        QCOMPARE(e.archivo(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TstValidacion)
#include "tst_validacion.moc"
