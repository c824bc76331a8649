// The open declaration without its window: the working copy of each mode,
// the stored boxes routed to their fields, the identification checks and
// the order number of a sent declaration.
#include "declaracionprueba.h"
#include "declaration/declaracion.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

struct Escena
{
    BaseDePrueba base;
    Declaracion decl {base.contexto()};

    Escena(const QString &accion = Declaracion::kModificar, bool historico = false,
           const QString &correl = {})
    {
        base.contexto().sRuc = kRuc;
        base.contexto().sPeriodo = kPeriodo;
        decl.abrir(accion, historico, correl, QStringLiteral("12345678"), QStringLiteral("C0001"));
    }

    void enviar(const QString &correl, int vuelos, const QString &orden = QStringLiteral("11111111"))
    {
        base.ejecutar(
            QStringLiteral("INSERT INTO HCAB (tip_doc_d, doc_id_d, periodo, Formulario, correl, fec_pro, "
                           "rectifica, bcolibrad, nrocheque, cheque, efectivo, estado, norden, fec_env, "
                           "control, cNumero) VALUES (6,?,?,'0517',?,'2024-04-10','0',' ',' ',' ','100',1,"
                           "?,'2024-04-12','C0001','000000')"),
            {kRuc, kPeriodo, correl, orden});
        guardarVuelos(base, QStringLiteral("HF517DETVP"), vuelos, correl);
        base.ejecutar(
            QStringLiteral("INSERT INTO HF517PAGPRE (tip_doc_d, doc_id_d, Periodo, formulario, semana, "
                           "correl, cod_boleta, num_operacion, cod_tributo, fec_pago, mto_soles, cnumero) "
                           "VALUES (6,?,?,'0517',2,?,'5841','00000001','071301','2024-04-05','300','0')"),
            {kRuc, kPeriodo, correl});
    }
};

} // namespace

class TstDeclaracion : public QObject
{
    Q_OBJECT

    // One stored declaration, shared by the tests that need no database of
    // their own.
    std::unique_ptr<Escena> m_guardada;

private slots:
    void initTestCase()
    {
        m_guardada = std::make_unique<Escena>();
        guardarDeclaracionCompleta(m_guardada->base, 0);
    }

    // A saved declaration is copied whole; a sent one only from the chosen
    // copy, though another copy of the same period is stored beside it.
    void copiaDeTrabajo_data()
    {
        QTest::addColumn<bool>("historico");
        QTest::addColumn<QString>("correl");
        QTest::addColumn<int>("vuelos");
        QTest::newRow("guardada") << false << QString() << 5;
        QTest::newRow("enviada 001") << true << QStringLiteral("001") << 3;
        QTest::newRow("enviada 002") << true << QStringLiteral("002") << 4;
    }

    void copiaDeTrabajo()
    {
        QFETCH(bool, historico);
        QFETCH(QString, correl);
        QFETCH(int, vuelos);
        Escena e(historico ? Declaracion::kRegistrar : Declaracion::kModificar, historico, correl);
        guardarDeclaracionCompleta(e.base, 5);
        e.enviar(QStringLiteral("001"), 3);
        e.enviar(QStringLiteral("002"), 4);
        // Rows of another declaration left by an earlier window go.
        guardarVuelos(e.base, QStringLiteral("TMPF517DETVP"), 2, {}, QStringLiteral("20100000009"));

        QVERIFY(e.decl.BorroTemporal());
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP")), 0);
        QVERIFY(e.decl.CargaTemporal());
        QCOMPARE(
            e.base.contar(QStringLiteral("TMPF517DETVP"),
                          QStringLiteral("tip_doc_d=6 AND doc_id_d=? AND periodo=? AND formulario='0517' "
                                         "AND cnumero='123456'"),
                          {kRuc, kPeriodo}),
            vuelos);
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP")), vuelos);
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517PAGPRE"), QStringLiteral("doc_id_d=? AND semana=?"),
                               {kRuc, historico ? 2 : 0}),
                 1);
    }

    // A copy that fails half-way leaves both temporary tables empty, not
    // the flights without their payments.
    void copiaFallidaDejaTablasVacias()
    {
        Escena e;
        guardarDeclaracionCompleta(e.base, 5);
        e.base.agregarFalla(QStringLiteral("sin_pagos"), QStringLiteral("INSERT"), QStringLiteral("TMPF517PAGPRE"),
                            QStringLiteral("disco lleno"));
        ErrorBD error;
        QVERIFY(!e.decl.CargaTemporal(&error));
        QVERIFY(error.hay());
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP")), 0);
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517PAGPRE")), 0);
    }

    void casillasGuardadas()
    {
        Escena &e = *m_guardada;
        guardarCasilla(e.base, QStringLiteral("040"), QStringLiteral("7"));
        guardarCasilla(e.base, QStringLiteral("999"), QStringLiteral("5"));
        e.base.ejecutar(QStringLiteral("UPDATE DET SET i_valor='1,234' WHERE casilla='405'"));
        const CasillasCargadas c = e.decl.CargarCasillas(QStringLiteral("03/2024"));
        QCOMPARE(c.valores.value(QStringLiteral("397")), QStringLiteral("3.45"));
        QCOMPARE(c.valores.value(QStringLiteral("405")), QStringLiteral("1234"));
        QCOMPARE(c.valores.value(QStringLiteral("402")), QStringLiteral("-500"));
        QCOMPARE(c.valores.value(QStringLiteral("403")), QStringLiteral("300"));
        // Header values go to their own fields, never to a box.
        QCOMPARE(c.valores.size(), 15);
        QCOMPARE(c.rectifica.value_or(QString()), QStringLiteral("1"));
        QCOMPARE(c.telefono.value_or(QString()), QStringLiteral("4451234"));
        QCOMPARE(c.importe.value_or(QString()), QStringLiteral("246,565"));
        QCOMPARE(c.formapago.value_or(QString()), QStringLiteral("C"));
        QCOMPARE(c.numcheque.value_or(QString()), QStringLiteral("00012345"));
    }

    void casillasDeLaCopiaEnviada()
    {
        Escena e(Declaracion::kRegistrar, true, QStringLiteral("002"));
        guardarCasilla(e.base, QStringLiteral("871"), QStringLiteral("1"), QStringLiteral("001"));
        guardarCasilla(e.base, QStringLiteral("871"), QStringLiteral("0"), QStringLiteral("002"));
        guardarCasilla(e.base, QStringLiteral("396"), QStringLiteral("15"), QStringLiteral("002"));
        const CasillasCargadas c = e.decl.CargarCasillas(QStringLiteral("03/2024"));
        QCOMPARE(c.rectifica.value_or(QString()), QStringLiteral("0"));
        QCOMPARE(c.valores.value(QStringLiteral("396")), QStringLiteral("15"));
    }

    void cabecera()
    {
        Escena e(Declaracion::kRegistrar, true, QStringLiteral("001"));
        e.enviar(QStringLiteral("001"), 0);
        e.base.ejecutar(QStringLiteral("UPDATE HCAB SET norden=NULL"));
        CabeceraCargada c = e.decl.CargarCab(QString());
        QVERIFY(c.hayCabecera);
        QCOMPARE(c.formapago, QStringLiteral("E")); // cheque " " is no cheque
        QCOMPARE(c.banco, QString());
        QCOMPARE(c.norden, QStringLiteral("0"));

        c = m_guardada->decl.CargarCab(QString());
        QCOMPARE(c.formapago, QStringLiteral("C"));
        QCOMPARE(c.banco, QStringLiteral("05"));
        QCOMPARE(c.importe, QStringLiteral("246565"));
    }

    // Newest arrival first, flights of one day by code; a count that was
    // never stored counts as nothing in the flight's total.
    void grillaYEliminacion()
    {
        Escena e;
        guardarVuelos(e.base, QStringLiteral("TMPF517DETVP"), 33);
        e.base.ejecutar(QStringLiteral("UPDATE TMPF517DETVP SET num_deport=NULL WHERE cod_vuelo='LA01000'"));
        QSqlQuery q = ejecutarConsulta(e.base.db(), Declaracion::consultaVuelos(e.base.motor()));
        QVERIFY(q.next());
        QCOMPARE(q.value(Declaracion::kCodVuelo).toString(), QStringLiteral("LA01000"));
        QCOMPARE(q.value(Declaracion::kTotPas).toInt(), 10 + 2 + 5 + 1 + 3 + 100);
        QVERIFY(q.next());
        QCOMPARE(q.value(Declaracion::kCodVuelo).toString(), QStringLiteral("LA01031"));

        QVERIFY(e.decl.EliminaVuelo(QDate(2024, 3, 31), QStringLiteral("LA01031")));
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP")), 32);
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP"), QStringLiteral("cod_vuelo='LA01000'")), 1);
    }

    void valIdent_data()
    {
        QTest::addColumn<QString>("accion");
        QTest::addColumn<QString>("telefono");
        QTest::addColumn<QString>("periodo");
        QTest::addColumn<QStringList>("mensajes");
        const QString fijo
            = QStringLiteral("Identificación-Datos Generales : El número ingresado debe ser de 7 "
                             "digitos, o un celular de 8 o 7 digitos");
        const QString celular
            = QStringLiteral("Identificación-Datos Generales : El celular debe ser de 8 o 7 digitos");
        const QString corto = QStringLiteral("Ingrese correctamente el teléfono.");
        const QString MOD = Declaracion::kModificar, NEW = Declaracion::kNueva;
        QTest::newRow("7 dígitos") << MOD << "4451234"
                                   << "03/2024" << QStringList();
        QTest::newRow("8 con 1") << MOD << "14451234"
                                 << "03/2024" << QStringList {fijo};
        QTest::newRow("8 con 9") << MOD << "94451234"
                                 << "03/2024" << QStringList();
        QTest::newRow("6 con 9") << MOD << "944512"
                                 << "03/2024" << QStringList {celular};
        QTest::newRow("6 sin 9") << MOD << "444512"
                                 << "03/2024" << QStringList();
        QTest::newRow("vacío") << MOD << ""
                               << "03/2024" << QStringList();
        QTest::newRow("1 dígito") << MOD << "4"
                                  << "03/2024" << QStringList {corto};
        QTest::newRow("blancos alrededor de 7") << MOD << " 4451234 "
                                                << "03/2024" << QStringList();
        QTest::newRow("7 con 9") << MOD << "9445123"
                                 << "03/2024" << QStringList();
        QTest::newRow("9 dígitos") << MOD << "944512345"
                                   << "03/2024" << QStringList();
        QTest::newRow("9 sin 9") << MOD << "144512345"
                                 << "03/2024" << QStringList();
        // Two faults: the period's finding comes before the telephone's.
        QTest::newRow("período inválido y fijo de 8")
            << NEW << "14451234"
            << "13/2024"
            << QStringList {QStringLiteral("El Período tributario no es Válido..!!"), fijo};
        QTest::newRow("período anterior al impuesto")
            << NEW << ""
            << "01/2003" << QStringList {QStringLiteral("El Período tributario no es Válido..!!")};
        QTest::newRow("primer período") << NEW << ""
                                        << "02/2003" << QStringList();
        // Too short stops the checks, even the period's.
        QTest::newRow("5 dígitos") << NEW << "44512"
                                   << "13/2024" << QStringList {corto};
        QTest::newRow("período a medias")
            << NEW << ""
            << "03/20__" << QStringList {QStringLiteral("El Período tributario no es Válido..!!")};
        QTest::newRow("declaración existente")
            << NEW << "44512"
            << "03/2024"
            << QStringList {
                   QStringLiteral("¡El formulario que desea ingresar ya existe, elija la opción Modificar "
                                  "formularios o corrija el período!")};
    }

    void valIdent()
    {
        QFETCH(QString, accion);
        QFETCH(QString, telefono);
        QFETCH(QString, periodo);
        QFETCH(QStringList, mensajes);
        Declaracion decl(m_guardada->base.contexto());
        decl.abrir(accion, false, {});
        const QString entrada = kRuc + QStringLiteral("  ") + kRazon;
        QStringList obtenidos;
        for (const Hallazgo &h : decl.ValIdent({entrada, kRuc, telefono, periodo}))
            obtenidos << h.mensaje;
        QCOMPARE(obtenidos, mensajes);
    }

    // Every failed check is listed, in order, each with its field; the
    // telephone and the taxpayer are told apart for the jump to the field.
    void valIdentSinContribuyente()
    {
        Declaracion nueva(m_guardada->base.contexto());
        nueva.abrir(Declaracion::kNueva, false, {});
        const QList<Hallazgo> h
            = nueva.ValIdent({QString(), QString(), QStringLiteral("14451234"), QStringLiteral("13/2024")});
        QCOMPARE(h.size(), 3);
        QCOMPARE(h.at(0).campo, CampoDeclaracion::CmbRuc);
        QCOMPARE(h.at(1).campo, CampoDeclaracion::MkePeriodo);
        QCOMPARE(h.at(2).campo, CampoDeclaracion::TxtTelefono);
        QVERIFY(!h.at(2).detiene);
        const QList<Hallazgo> corto
            = nueva.ValIdent({QString(), QString(), QStringLiteral("44512"), QString()});
        QCOMPARE(corto.last().campo, CampoDeclaracion::TxtTelefono);
        QVERIFY(corto.last().detiene);

        Declaracion enviada(m_guardada->base.contexto());
        enviada.abrir(Declaracion::kRegistrar, true, QStringLiteral("001"));
        const QList<Hallazgo> g
            = enviada.ValIdent({QString(), QStringLiteral("20456789121"), {}, QStringLiteral("03/2024")});
        QCOMPARE(g.size(), 1);
        QCOMPARE(g.first().mensaje, QStringLiteral("El RUC no es Válido!"));
        QCOMPARE(g.first().campo, CampoDeclaracion::TxtNumRuc);
    }

    void teclaRazonSocial()
    {
        QCOMPARE(Declaracion::teclaRazonSocial('a'), int('A'));
        QCOMPARE(Declaracion::teclaRazonSocial(0xF1), 0); // ñ
        QCOMPARE(Declaracion::teclaRazonSocial(0xE1), 0); // á
        QCOMPARE(Declaracion::teclaRazonSocial(','), 0);
        QCOMPARE(Declaracion::teclaRazonSocial('.'), int('.'));
    }

    // Only the chosen copy gets the number, with a check code over the row
    // as stored.
    void numeroDeOrden()
    {
        Escena e(Declaracion::kRegistrar, true, QStringLiteral("002"));
        e.enviar(QStringLiteral("001"), 0);
        e.enviar(QStringLiteral("002"), 0);
        const QString verificador
            = e.decl.datos().CalculaVerificador(QStringLiteral("C0001"), QStringLiteral("87654321"));
        QCOMPARE(e.decl.validarOrden(QStringLiteral("8765432"), verificador),
                 Declaracion::EstadoOrden::LargoIncorrecto);
        QCOMPARE(e.decl.validarOrden(QStringLiteral("876543210"), verificador),
                 Declaracion::EstadoOrden::LargoIncorrecto);
        QCOMPARE(e.decl.validarOrden(QStringLiteral("87654321"),
                                     verificador == u"00" ? QStringLiteral("01") : QStringLiteral("00")),
                 Declaracion::EstadoOrden::VerificadorIncorrecto);
        QCOMPARE(e.decl.validarOrden(QStringLiteral("87654321"), verificador),
                 Declaracion::EstadoOrden::Valido);

        QCOMPARE(e.decl.GrabarNumeroOrden(QStringLiteral("87654321")), Declaracion::ResultadoOrden::Grabado);
        QCOMPARE(e.base.valor(QStringLiteral("SELECT norden FROM HCAB WHERE correl='002'")).toString(),
                 QStringLiteral("87654321"));
        QCOMPARE(e.base.valor(QStringLiteral("SELECT norden FROM HCAB WHERE correl='001'")).toString(),
                 QStringLiteral("11111111"));
        QSqlQuery q(e.base.db());
        QVERIFY(q.exec(QStringLiteral("SELECT * FROM HCAB WHERE correl='002'")) && q.next());
        QCOMPARE(q.value(QStringLiteral("cNumero")).toString(),
                 e.decl.datos().CodigoControl(QStringLiteral("HCAB"), q.record(), 6));

        Escena sinCabecera(Declaracion::kRegistrar, true, QStringLiteral("009"));
        QCOMPARE(sinCabecera.decl.GrabarNumeroOrden(QStringLiteral("87654321")),
                 Declaracion::ResultadoOrden::SinCabecera);
    }
};

QTEST_GUILESS_MAIN(TstDeclaracion)
#include "tst_declaracion.moc"
