#include "integrator/registrocontribuyentes.h"
#include "support/basedeprueba.h"

#include <QTest>

using namespace kv;
using kv::prueba::BaseDePrueba;

namespace {
const QString kRuc = QStringLiteral("20100047218");
const QString kOtroRuc = QStringLiteral("20100130221");
const QString kNoValido = QStringLiteral("El número de RUC no es válido.");
} // namespace

class TstContribuyentes : public QObject
{
    Q_OBJECT

private slots:
    void agregar_data();
    void agregar();
    void agregarDosVecesElMismo();
    void cambiar_data();
    void cambiar();
    void eliminar_data();
    void eliminar();
    void quienVeQue_data();
    void quienVeQue();
};

void TstContribuyentes::agregar_data()
{
    QTest::addColumn<QString>("ruc");
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("guardado"); // the stored name; empty when refused
    QTest::addColumn<QString>("mensaje");

    QTest::newRow("correcto") << kRuc << "AEROLINEAS ANDINAS S.A."
                              << "AEROLINEAS ANDINAS S.A." << QString();
    QTest::newRow("apóstrofo") << kRuc << "D'ONOFRIO' AIR S.A.C."
                               << "D'ONOFRIO' AIR S.A.C." << QString();
    QTest::newRow("comillas y punto y coma") << kRuc << "AIR \"X\"; DROP TABLE CONT; --"
                                             << "AIR \"X\"; DROP TABLE CONT; --" << QString();
    QTest::newRow("blancos alrededor") << " 20100047218 "
                                       << "  LINEAS  AEREAS "
                                       << "LINEAS  AEREAS" << QString();
    QTest::newRow("persona natural") << "10123456781"
                                     << "PEREZ GOMEZ JUAN"
                                     << "PEREZ GOMEZ JUAN" << QString();
    QTest::newRow("dígito verificador errado") << "20100047219"
                                               << "X" << QString() << kNoValido;
    QTest::newRow("prefijo desconocido") << "30100047213"
                                         << "X" << QString() << kNoValido;
    QTest::newRow("diez dígitos") << "2010004721"
                                  << "X" << QString() << kNoValido;
    QTest::newRow("letras") << "2010004721A"
                            << "X" << QString() << kNoValido;
    QTest::newRow("vacío") << ""
                           << "X" << QString() << kNoValido;
    QTest::newRow("sin nombre") << kRuc << "   " << QString()
                                << "Debe registrar la razón social del contribuyente.";
    QTest::newRow("nombre de 100") << kRuc << QString(100, u'A') << QString(100, u'A') << QString();
    QTest::newRow("nombre de 101") << kRuc << QString(101, u'A') << QString()
                                   << "La razón social no debe tener más de 100 caracteres.";
}

void TstContribuyentes::agregar()
{
    QFETCH(QString, ruc);
    QFETCH(QString, nombre);
    QFETCH(QString, guardado);
    QFETCH(QString, mensaje);

    BaseDePrueba base;
    QVERIFY(base.valida());
    RegistroContribuyentes registro(base.contexto());
    QCOMPARE(registro.agregar(ruc, nombre), !guardado.isEmpty());
    QCOMPARE(base.mensajes().textos(), mensaje.isEmpty() ? QStringList() : QStringList { mensaje });
    if (guardado.isEmpty()) {
        QCOMPARE(base.contar(QStringLiteral("CONT")), 0);
        return;
    }
    const std::optional<Contribuyente> c = registro.buscar(ruc.trimmed());
    QVERIFY(c.has_value());
    QCOMPARE(c->nombre, guardado);
    QCOMPARE(c->usuario, QStringLiteral("PRUEBA"));
    QCOMPARE(c->fechaRegistro, base.reloj().hoy());
    QCOMPARE(base.contar(
                 QStringLiteral("CONT"), QStringLiteral("Tip_doc_d = 6 AND Doc_id_d = ?"), { ruc.trimmed() }),
        1);
    // The module's taxpayer list shows the name as it was typed.
    QCOMPARE(
        base.datos().EntradasComboRuc(), QStringList { ruc.trimmed() + QStringLiteral("  ") + guardado });
}

void TstContribuyentes::agregarDosVecesElMismo()
{
    BaseDePrueba base;
    RegistroContribuyentes registro(base.contexto());
    QVERIFY(registro.agregar(kRuc, QStringLiteral("PRIMERO")));
    QVERIFY(!registro.agregar(QStringLiteral(" ") + kRuc, QStringLiteral("SEGUNDO")));
    QCOMPARE(base.mensajes().textos(),
        QStringList { QStringLiteral("El contribuyente con RUC 20100047218 ya se encuentra registrado.") });
    QCOMPARE(registro.buscar(kRuc)->nombre, QStringLiteral("PRIMERO"));
}

void TstContribuyentes::cambiar_data()
{
    QTest::addColumn<QString>("tipoUsuario"); // of the user who changes it
    QTest::addColumn<QString>("ruc");
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("esperado"); // the name afterwards
    QTest::addColumn<QString>("mensaje");

    const QString original = QStringLiteral("NOMBRE ORIGINAL");
    QTest::newRow("nuevo nombre con apóstrofo") << "0" << kRuc << "L'AEROPOSTALE S.A."
                                                << "L'AEROPOSTALE S.A." << QString();
    QTest::newRow("sin nombre") << "0" << kRuc << "" << original
                                << "Debe registrar la razón social del contribuyente.";
    QTest::newRow("RUC no registrado") << "0" << kOtroRuc << "X" << original
                                       << "El contribuyente con RUC 20100130221 no se encuentra registrado.";
    // Someone else's taxpayer is out of reach for a user who sees only his own.
    QTest::newRow("ajeno, usuario restringido")
        << "1" << kRuc << "X" << original
        << "El contribuyente con RUC 20100047218 no se encuentra registrado.";
}

void TstContribuyentes::cambiar()
{
    QFETCH(QString, tipoUsuario);
    QFETCH(QString, ruc);
    QFETCH(QString, nombre);
    QFETCH(QString, esperado);
    QFETCH(QString, mensaje);

    BaseDePrueba::Opciones opciones;
    opciones.tipoUsuario = tipoUsuario;
    BaseDePrueba base(opciones);
    base.agregarContribuyente(kRuc, QStringLiteral("NOMBRE ORIGINAL"), QStringLiteral("OTRO"));
    RegistroContribuyentes registro(base.contexto());
    QCOMPARE(registro.cambiar(ruc, nombre), mensaje.isEmpty());
    QCOMPARE(base.mensajes().textos(), mensaje.isEmpty() ? QStringList() : QStringList { mensaje });
    const std::optional<Contribuyente> c = registro.buscar(kRuc);
    QCOMPARE(c->nombre, esperado);
    // Usuario keeps who registered the taxpayer: it decides who sees him.
    QCOMPARE(c->usuario, QStringLiteral("OTRO"));
}

void TstContribuyentes::eliminar_data()
{
    QTest::addColumn<QString>("tablaDeclaracion"); // empty: no declaration stored
    QTest::addColumn<int>("respuesta");
    QTest::addColumn<bool>("eliminado");
    QTest::addColumn<QStringList>("mensajes");

    const QString pregunta = QStringLiteral("¿Desea eliminar al contribuyente 20100047218 - D'ONOFRIO S.A.?");
    const QString conDeclaraciones = QStringLiteral(
        "El contribuyente 20100047218 tiene declaraciones registradas y no se puede eliminar.");
    QTest::newRow("confirmado") << QString() << int(Respuesta::Si) << true << QStringList { pregunta };
    QTest::newRow("no confirmado") << QString() << int(Respuesta::No) << false << QStringList { pregunta };
    QTest::newRow("con declaración grabada")
        << "CAB" << int(Respuesta::Si) << false << QStringList { conDeclaraciones };
    QTest::newRow("con declaración enviada")
        << "HCAB" << int(Respuesta::Si) << false << QStringList { conDeclaraciones };
}

void TstContribuyentes::eliminar()
{
    QFETCH(QString, tablaDeclaracion);
    QFETCH(int, respuesta);
    QFETCH(bool, eliminado);
    QFETCH(QStringList, mensajes);

    BaseDePrueba base;
    base.agregarContribuyente(kRuc, QStringLiteral("D'ONOFRIO S.A."), QStringLiteral("PRUEBA"));
    base.agregarContribuyente(kOtroRuc, QStringLiteral("OTRA"), QStringLiteral("PRUEBA"));
    if (!tablaDeclaracion.isEmpty()) {
        base.ejecutar(
            QStringLiteral(
                "INSERT INTO %1 (tip_doc_d, doc_id_d, periodo, Formulario) VALUES (6, ?, '202401', '0517')")
                .arg(tablaDeclaracion),
            { kRuc });
    }
    base.mensajes().responder(Respuesta(respuesta));
    RegistroContribuyentes registro(base.contexto());
    QCOMPARE(registro.eliminar(kRuc), eliminado);
    QCOMPARE(base.mensajes().textos(), mensajes);
    if (mensajes.first().startsWith(u'¿')) {
        QCOMPARE(base.mensajes().ultimo().predeterminada, Respuesta::No);
        QCOMPARE(base.mensajes().ultimo().botones, Botones::SiNo);
    }
    QCOMPARE(registro.buscar(kRuc).has_value(), !eliminado);
    QVERIFY(registro.buscar(kOtroRuc).has_value());
}

void TstContribuyentes::quienVeQue_data()
{
    QTest::addColumn<QString>("tipoUsuario"); // empty: the user has no CLAVES row
    QTest::addColumn<QStringList>("rucs");

    QTest::newRow("tipo 0 ve a todos")
        << "0" << QStringList { kRuc, kOtroRuc, QStringLiteral("20512345671") };
    QTest::newRow("tipo 1 ve a los suyos") << "1" << QStringList { kRuc, QStringLiteral("20512345671") };
    QTest::newRow("sin clave ve a los suyos") << "" << QStringList { kRuc, QStringLiteral("20512345671") };
}

void TstContribuyentes::quienVeQue()
{
    QFETCH(QString, tipoUsuario);
    QFETCH(QStringList, rucs);

    BaseDePrueba::Opciones opciones;
    opciones.tipoUsuario = tipoUsuario;
    BaseDePrueba base(opciones);
    base.agregarContribuyente(QStringLiteral("20512345671"), QStringLiteral("C"), QStringLiteral("PRUEBA"));
    base.agregarContribuyente(kOtroRuc, QStringLiteral("B"), QStringLiteral("OTRO"));
    base.agregarContribuyente(kRuc, QStringLiteral("A"), QStringLiteral("PRUEBA"));
    // A taxpayer of another document type is not the module's.
    base.ejecutar(QStringLiteral(
        "INSERT INTO CONT (Tip_doc_d, Doc_id_d, Nombre, Usuario) VALUES (1, '12345678', 'D', 'PRUEBA')"));

    RegistroContribuyentes registro(base.contexto());
    QSqlQuery q = base.datos().consultar(registro.consultaLista());
    QStringList vistos;
    while (q.next())
        vistos << q.value(0).toString();
    QCOMPARE(vistos, rucs);
}

QTEST_GUILESS_MAIN(TstContribuyentes)
#include "tst_contribuyentes.moc"
