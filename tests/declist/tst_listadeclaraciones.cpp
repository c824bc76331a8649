// Which declarations the list shows to which user, how its columns read, and
// the deletion of one declaration with all its rows, all or nothing.
#include "declaracionesprueba.h"
#include "declist/listadeclaraciones.h"
#include "declist/modelodeclaraciones.h"

#include <QApplication>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kAlfa = QStringLiteral("20100000001");
const QString kBeta = QStringLiteral("20100000002");
const QString kGamma = QStringLiteral("20100000003");

// Three taxpayers of two users, saved and sent declarations of several
// periods and states, and one declaration of another form.
void poblar(BaseDePrueba &base, const QString &usuarioPropio)
{
    base.agregarContribuyente(kAlfa, QStringLiteral("ALFA S.A."), usuarioPropio);
    base.agregarContribuyente(kBeta, QStringLiteral("BETA E.I.R.L."), QStringLiteral("OTRO"));
    base.agregarContribuyente(kGamma, QStringLiteral("GAMMA D'ONOFRIO"), usuarioPropio);
    guardarDeclaracion(base, kAlfa, QStringLiteral("202401"), 0);
    guardarDeclaracion(base, kAlfa, QStringLiteral("202403"), 9);
    guardarDeclaracion(base, kAlfa, QStringLiteral("202401"), 0, QStringLiteral("0621"));
    guardarDeclaracion(base, kBeta, QStringLiteral("202402"), 0);
    guardarDeclaracion(base, kGamma, QStringLiteral("202312"), 0);
    enviarDeclaracion(base, kAlfa, QStringLiteral("202401"), QStringLiteral("001"), 1);
    enviarDeclaracion(base, kAlfa, QStringLiteral("202401"), QStringLiteral("002"), 1);
    enviarDeclaracion(base, kBeta, QStringLiteral("202402"), QStringLiteral("001"), 1);
    enviarDeclaracion(base, kGamma, QStringLiteral("202312"), QStringLiteral("001"), 0);
}

// "ruc periodo [correl]" of every row, in the list's order.
QStringList filas(BaseDePrueba &base, bool historico)
{
    ListaDeclaraciones lista(base.datos(), historico);
    ModeloDeclaraciones modelo;
    ErrorBD error;
    if (!modelo.cargar(base.db(), lista.consulta(), &error))
        return {QStringLiteral("error: ") + error.texto};
    QStringList r;
    for (int f = 0; f < modelo.rowCount(); ++f) {
        QString fila = modelo.valor(f, ModeloDeclaraciones::kRuc) + u' '
            + ListaDeclaraciones::periodoAlmacenado(modelo.valor(f, ModeloDeclaraciones::kPeriodo));
        if (historico)
            fila += u' ' + modelo.valor(f, ModeloDeclaraciones::kCorrel);
        r << fila;
    }
    return r;
}

DeclaracionElegida elegida(const QString &ruc, const QString &periodo, const QString &correl = QString())
{
    DeclaracionElegida d;
    d.docId = ruc;
    d.periodo = periodo;
    d.formulario = QStringLiteral("0517");
    d.correl = correl;
    return d;
}

} // namespace

class TstListaDeclaraciones : public QObject
{
    Q_OBJECT

private slots:
    void listasPorUsuario_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QStringList>("guardadas");
        QTest::addColumn<QStringList>("enviadas");
        const QStringList todasGuardadas{kAlfa + " 202403", kAlfa + " 202401", kBeta + " 202402",
                                         kGamma + " 202312"};
        const QStringList propiasGuardadas{kAlfa + " 202403", kAlfa + " 202401", kGamma + " 202312"};
        QTest::newRow("tipo 0 ve todo") << "PRUEBA" << "0" << todasGuardadas
                                        << QStringList{kAlfa + " 202401 001", kAlfa + " 202401 002",
                                                       kBeta + " 202402 001"};
        QTest::newRow("tipo 1 ve lo suyo") << "PRUEBA" << "1" << propiasGuardadas
                                           << QStringList{kAlfa + " 202401 001", kAlfa + " 202401 002"};
        QTest::newRow("sin fila en CLAVES") << "PRUEBA" << "" << propiasGuardadas
                                            << QStringList{kAlfa + " 202401 001", kAlfa + " 202401 002"};
        QTest::newRow("apostrofo en el usuario") << "O'BRIEN" << "2" << propiasGuardadas
                                                 << QStringList{kAlfa + " 202401 001", kAlfa + " 202401 002"};
        QTest::newRow("usuario sin contribuyentes") << "NADIE" << "1" << QStringList{} << QStringList{};
    }

    void listasPorUsuario()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, tipo);
        QFETCH(QStringList, guardadas);
        QFETCH(QStringList, enviadas);
        BaseDePrueba::Opciones opciones;
        opciones.usuario = usuario;
        opciones.tipoUsuario = tipo;
        BaseDePrueba base(opciones);
        QVERIFY(base.valida());
        poblar(base, usuario == u"NADIE" ? QStringLiteral("PRUEBA") : usuario);

        QCOMPARE(filas(base, false), guardadas);
        // Copies of one taxpayer come in no stated order among themselves.
        QStringList obtenidas = filas(base, true);
        obtenidas.sort();
        QCOMPARE(obtenidas, enviadas);
    }

    void columnasDeLaGrilla()
    {
        BaseDePrueba base;
        QVERIFY(base.valida());
        poblar(base, QStringLiteral("PRUEBA"));
        using M = ModeloDeclaraciones;

        ListaDeclaraciones guardadas(base.datos(), false);
        M modelo;
        QVERIFY(modelo.cargar(base.db(), guardadas.consulta()));
        QCOMPARE(modelo.columnCount(), int(M::kColumnas));
        QCOMPARE(modelo.data(modelo.index(0, M::kPeriodo)).toString(), QStringLiteral("03/2024"));
        QCOMPARE(modelo.valor(0, M::kPeriodo), QStringLiteral("032024"));
        QCOMPARE(modelo.data(modelo.index(0, M::kNombre)).toString(), QStringLiteral("ALFA S.A."));
        // The state is a picture, a different one for each stored state.
        const QIcon conHallazgos = modelo.data(modelo.index(0, M::kEstado), Qt::DecorationRole).value<QIcon>();
        const QIcon consistente = modelo.data(modelo.index(1, M::kEstado), Qt::DecorationRole).value<QIcon>();
        QVERIFY(!conHallazgos.isNull());
        QVERIFY(!consistente.isNull());
        QVERIFY(conHallazgos.cacheKey() != consistente.cacheKey());
        QCOMPARE(modelo.data(modelo.index(0, M::kEstado), Qt::ToolTipRole).toString(),
                 QStringLiteral("Con inconsistencias"));
        QCOMPARE(modelo.data(modelo.index(1, M::kEstado), Qt::ToolTipRole).toString(),
                 QStringLiteral("Sin inconsistencias"));
        // The saved list has no sent-only fields.
        QCOMPARE(modelo.valor(0, M::kCorrel), QString());

        ListaDeclaraciones enviadas(base.datos(), true);
        QVERIFY(modelo.cargar(base.db(), enviadas.consulta()));
        QCOMPARE(modelo.data(modelo.index(0, M::kFechaEnvio)).toString(), QStringLiteral("20/05/2024"));
        QCOMPARE(modelo.data(modelo.index(0, M::kPeriodo)).toString(), QStringLiteral("01/2024"));
        QCOMPARE(modelo.valor(0, M::kNumOrden), QStringLiteral("12345678"));
        QCOMPARE(modelo.valor(0, M::kControl), QStringLiteral("C0001"));
        QCOMPARE(modelo.valor(0, M::kOrden), QStringLiteral("12345678"));
        QCOMPARE(modelo.headerData(M::kFechaEnvio, Qt::Horizontal).toString(), QStringLiteral("Fec. de Envio"));
    }

    void eliminarGuardada()
    {
        BaseDePrueba base;
        QVERIFY(base.valida());
        poblar(base, QStringLiteral("PRUEBA"));
        ListaDeclaraciones lista(base.datos(), false);

        QVERIFY(lista.eliminar(elegida(kAlfa, QStringLiteral("202401"))));
        QCOMPARE(filasDeclaracion(base, false, kAlfa, QStringLiteral("202401")), (QList<int>{2, 1, 1, 1}));
        // What is left of that period belongs to form 0621.
        QCOMPARE(base.contar(QStringLiteral("CAB"), QStringLiteral("doc_id_d=? AND periodo='202401' AND "
                                                                   "Formulario='0517'"),
                             {kAlfa}),
                 0);
        QCOMPARE(filasDeclaracion(base, false, kAlfa, QStringLiteral("202403")), (QList<int>{2, 1, 1, 1}));
        // Sent copies are another list's business.
        QCOMPARE(filasDeclaracion(base, true, kAlfa, QStringLiteral("202401"), QStringLiteral("001")),
                 (QList<int>{1, 1, 1, 1}));
        QVERIFY(base.mensajes().mostrados().isEmpty());
    }

    void eliminarEnviadaSoloSuCorrelativo()
    {
        BaseDePrueba base;
        QVERIFY(base.valida());
        poblar(base, QStringLiteral("PRUEBA"));
        ListaDeclaraciones lista(base.datos(), true);

        QVERIFY(lista.eliminar(elegida(kAlfa, QStringLiteral("202401"), QStringLiteral("002"))));
        QCOMPARE(filasDeclaracion(base, true, kAlfa, QStringLiteral("202401"), QStringLiteral("002")),
                 (QList<int>{0, 0, 0, 0}));
        QCOMPARE(filasDeclaracion(base, true, kAlfa, QStringLiteral("202401"), QStringLiteral("001")),
                 (QList<int>{1, 1, 1, 1}));
        // The saved 0517 and 0621 declarations of that period stay.
        QCOMPARE(filasDeclaracion(base, false, kAlfa, QStringLiteral("202401")), (QList<int>{4, 2, 2, 2}));
    }

    void eliminacionFallidaNoBorraNada_data()
    {
        QTest::addColumn<bool>("enviada");
        QTest::addColumn<QString>("tabla");
        QTest::newRow("DET") << false << "DET";
        QTest::newRow("CAB") << false << "CAB";
        QTest::newRow("F517DETVP") << false << "F517DETVP";
        QTest::newRow("F517PAGPRE") << false << "F517PAGPRE";
        QTest::newRow("HCAB") << true << "HCAB";
        QTest::newRow("HF517PAGPRE") << true << "HF517PAGPRE";
    }

    void eliminacionFallidaNoBorraNada()
    {
        QFETCH(bool, enviada);
        QFETCH(QString, tabla);
        BaseDePrueba base;
        QVERIFY(base.valida());
        poblar(base, QStringLiteral("PRUEBA"));
        base.agregarFalla(QStringLiteral("no_borrar"), QStringLiteral("DELETE"), tabla,
                          QStringLiteral("fila protegida"));
        const QString correl = enviada ? QStringLiteral("001") : QString();
        const QList<int> antes = filasDeclaracion(base, enviada, kAlfa, QStringLiteral("202401"), correl);

        ListaDeclaraciones lista(base.datos(), enviada);
        QVERIFY(!lista.eliminar(elegida(kAlfa, QStringLiteral("202401"), correl)));
        QCOMPARE(filasDeclaracion(base, enviada, kAlfa, QStringLiteral("202401"), correl), antes);
        QCOMPARE(base.mensajes().mostrados().size(), 1);
        const Mensaje m = base.mensajes().ultimo();
        QCOMPARE(m.titulo, QStringLiteral("Error al Ejecutar Sentencia SQL"));
        QVERIFY2(m.texto.startsWith(QStringLiteral("Error Número : ")), qPrintable(m.texto));
        QVERIFY2(m.texto.contains(QStringLiteral("fila protegida")), qPrintable(m.texto));
        QCOMPARE(m.icono, Icono::Critico);
        // No transaction was left open: the next deletion starts its own.
        base.quitarFalla(QStringLiteral("no_borrar"), tabla);
        QVERIFY(lista.eliminar(elegida(kGamma, QStringLiteral("202312"), QStringLiteral("001"))));
    }
};

QTEST_MAIN(TstListaDeclaraciones)
#include "tst_listadeclaraciones.moc"
