// The whole-declaration check without its window: the findings and their
// order, the messages file the consistency report reads, and the silent
// check a save makes.
#include "declaracionprueba.h"
#include "declaration/validacion.h"
#include "store/texto.h"

#include <QFile>
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
