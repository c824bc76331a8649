// The rules of the previous payments: exact amounts in soles and their
// stored forms, the checks of a payment in their order, the same payment
// twice, the rate's checks, and the list's order, total and deletion.
#include "pagosprueba.h"
#include "payments/listapagosprevios.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

Q_DECLARE_METATYPE(kv::CampoPago)

namespace {

DatosPagoPrevio unPago(const QString &fecha = QStringLiteral("15/03/2024"))
{
    return {QStringLiteral("5841"), QStringLiteral("123"), fecha, QStringLiteral("1,000"), QStringLiteral("3.456")};
}

QStringList listado(BaseDePrueba &base)
{
    ListaPagosPrevios lista(base.datos());
    QSqlQuery q = base.datos().consultar(lista.consulta());
    QStringList filas;
    while (q.next())
        filas << q.value(0).toString() + u' ' + q.value(1).toString() + u' ' + q.value(2).toString();
    return filas;
}

} // namespace

class TstPagoPrevio : public QObject
{
    Q_OBJECT

    std::unique_ptr<BaseDePrueba> m_base; // for the checks that write nothing

private slots:
    void initTestCase()
    {
        m_base = std::make_unique<BaseDePrueba>();
        abrirDeclaracion(*m_base);
    }

    void importeEnSolesExacto_data()
    {
        QTest::addColumn<QString>("dolares");
        QTest::addColumn<QString>("tipoCambio");
        QTest::addColumn<QString>("mostrado");
        QTest::newRow("1000 a 3.456") << "1000" << "3.456" << "3,456";
        QTest::newRow("con separadores") << "1,000" << "3.456" << "3,456";
        QTest::newRow("medio sol hacia arriba") << "1" << "2.500" << "3";
        // The dollars are taken to whole ones first: 1,001 × 3.
        QTest::newRow("dolares con medio") << "1000.5" << "3" << "3,003";
        // 9,499,999,999,999,990.5 has no binary fraction that holds it.
        QTest::newRow("quince cifras") << "999999999999999" << "9.500" << "9,499,999,999,999,991";
        QTest::newRow("sin tipo de cambio") << "1000" << "" << "0";
        QTest::newRow("cero dolares") << "0" << "3.456" << "";
    }

    void importeEnSolesExacto()
    {
        QFETCH(QString, dolares);
        QFETCH(QString, tipoCambio);
        QFETCH(QString, mostrado);
        QCOMPARE(PagoPrevio::MontoSoles(dolares, tipoCambio), mostrado);
    }

    void validaDatosEnOrden_data()
    {
        // The payment as "voucher|operation|date|dollars|rate"; the message
        // the user reads (from the finding or shown by the check itself).
        QTest::addColumn<bool>("nuevo");
        QTest::addColumn<QString>("pago");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<CampoPago>("campo");
        const auto fila = [](const char *nombre, bool nuevo, const char *pago, const char *mensaje = "",
                             CampoPago campo = CampoPago::Ninguno) {
            QTest::newRow(nombre) << nuevo << QString::fromUtf8(pago) << QString::fromUtf8(mensaje) << campo;
        };
        using C = CampoPago;
        const char *rango = "El Tipo de Cambio debe ser mayor o igual a 2 y menor a 10";
        fila("sin boleta ni operación", true, "||15/03/2024|1000|3.456", "Debe seleccionar una boleta ", C::Boleta);
        fila("sin operación", true, "5841| |15/03/2024|1000|3.456", "Debe ingresar el número de Operación.",
             C::Operacion);
        fila("operación cero", true, "5841|00000000|15/03/2024|1000|3.456",
             "El número de Orden u Operación no puede ser 0.", C::Operacion);
        fila("fecha incompleta", true, "5841|1|15/03/____||", "Ingrese la fecha de pago correctamente", C::Fecha);
        fila("fecha inexistente", true, "5841|1|31/02/2004||", "La fecha de Pago es inválida.", C::Fecha);
        fila("antes del primer día", true, "5841|1|16/02/2003||",
             "La fecha de Pago debe ser mayor o igual al 17/02/2003", C::Fecha);
        fila("mañana", true, "5841|1|08/12/2026||", "La fecha de Pago no debe ser mayor a la actual", C::Fecha);
        fila("primer día", true, "5841|1|17/02/2003|1000|3.456");
        fila("hoy", true, "5841|1|07/12/2026|1000|3.456");
        fila("otro mes que el declarado", true, "5841|1|20/01/2025|1000|3.456");
        fila("sin dólares", true, "5841|1|15/03/2024||", "Debe ingresar el monto en dólares.", C::Dolares);
        fila("cero dólares", true, "5841|1|15/03/2024|0|3.456", "Debe ingresar el monto en dólares.", C::Dolares);
        fila("sin tipo de cambio", true, "5841|1|15/03/2024|1000|", "Debe ingresar el tipo de cambio.",
             C::TipoCambio);
        fila("cuatro decimales", true, "5841|1|15/03/2024|1000|.1234",
             "Registre como máximo 1 entero y 3 decimales", C::TipoCambio);
        fila("1.999", true, "5841|1|15/03/2024|1000|1.999", rango, C::TipoCambio);
        fila("2", true, "5841|1|15/03/2024|1000|2");
        fila("9.999", true, "5841|1|15/03/2024|1000|9.999");
        fila("10", true, "5841|1|15/03/2024|1000|10", rango, C::TipoCambio);
        fila("al modificar la clave no cuenta", false, "||__/__/____|1,000|3.456");
        fila("al modificar el monto sí", false, "||__/__/____||3.456", "Debe ingresar el monto en dólares.",
             C::Dolares);
    }

    void validaDatosEnOrden()
    {
        QFETCH(bool, nuevo);
        QFETCH(QString, pago);
        QFETCH(QString, mensaje);
        QFETCH(CampoPago, campo);
        const QStringList p = pago.split(u'|');
        m_base->mensajes().limpiar();
        const auto hallazgo = PagoPrevio(m_base->datos()).ValidaDatos({p[0], p[1], p[2], p[3], p[4]}, nuevo);
        QCOMPARE(hallazgo.has_value(), campo != CampoPago::Ninguno);
        if (hallazgo) {
            QCOMPARE(hallazgo->campo, campo);
            const QStringList vistos = m_base->mensajes().textos();
            QCOMPARE(hallazgo->texto.isEmpty() && !vistos.isEmpty() ? vistos.last() : hallazgo->texto, mensaje);
        }
    }

    void mismoPagoDosVeces()
    {
        BaseDePrueba base;
        abrirDeclaracion(base);
        PagoPrevio pago(base.datos());
        QVERIFY(pago.GrabaDatos(unPago()));

        DatosPagoPrevio otra = unPago();
        otra.operacion = QStringLiteral("00000123"); // as the box shows it once left
        const auto repetido = pago.ValidaDatos(otra, true);
        QVERIFY(repetido);
        QCOMPARE(repetido->texto, QStringLiteral("El pago previo ya se encuentra registrado."));
        QCOMPARE(repetido->campo, CampoPago::Fecha);

        QVERIFY(!pago.ValidaDatos(unPago(QStringLiteral("16/03/2024")), true));
        otra.codBoleta = QStringLiteral("5842");
        QVERIFY(!pago.ValidaDatos(otra, true));
        // Another declaration's payment is another payment.
        base.contexto().sPeriodo = QStringLiteral("202404");
        QVERIFY(!pago.ValidaDatos(unPago(), true));
    }

    void filaGrabadaYCambiada()
    {
        BaseDePrueba base;
        abrirDeclaracion(base);
        PagoPrevio pago(base.datos());
        QVERIFY(pago.GrabaDatos(unPago()));

        QSqlQuery q = base.datos().consultar(QStringLiteral("SELECT * FROM TMPF517PAGPRE"));
        QVERIFY(q.next());
        QStringList fila;
        for (int i = 0; i < q.record().count(); ++i)
            fila << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
        QCOMPARE(fila, (QStringList{"6", kRuc, kPeriodo, "0517", "0", "5841", "00000123", "071301", "2024-03-15",
                                    "3456", "3.456", "1000", "NULL"}));

        // The payment is changed in place: its key stays, one row.
        DatosPagoPrevio cambio = unPago();
        cambio.dolares = QStringLiteral("2000");
        cambio.tipoCambio = QStringLiteral("2");
        QVERIFY(pago.GrabaDatos(cambio));
        QCOMPARE(base.contar(QStringLiteral("TMPF517PAGPRE")), 1);
        QCOMPARE(base.valor(QStringLiteral("SELECT mto_soles || ' ' || tip_cambio || ' ' || mto_dolar "
                                           "FROM TMPF517PAGPRE")),
                 QVariant(QStringLiteral("4000 2.000 2000")));
        QVERIFY(base.mensajes().mostrados().isEmpty());
    }

    void datosModificadosPorValor()
    {
        // The list shows amounts with separators and stores the rate with
        // three decimals; the box may hold 1000 and 3.4 while being typed.
        const QVariantMap fila{{QStringLiteral("mto_dolar"), QStringLiteral("1,000")},
                               {QStringLiteral("tip_cambio"), QStringLiteral("3.400")},
                               {QStringLiteral("mto_soles"), QStringLiteral("3,400")}};
        DatosPagoPrevio pago{{}, {}, {}, QStringLiteral("1000"), QStringLiteral("3.4")};
        QVERIFY(!PagoPrevio::DatosModificados(pago, fila));
        pago.tipoCambio = QStringLiteral("3.401");
        QVERIFY(PagoPrevio::DatosModificados(pago, fila));
        pago.tipoCambio = QStringLiteral("3.400");
        pago.dolares = QStringLiteral("1,001");
        QVERIFY(PagoPrevio::DatosModificados(pago, fila));
    }

    void listaTotalYEliminacion()
    {
        BaseDePrueba base;
        abrirDeclaracion(base);
        ListaPagosPrevios lista(base.datos());
        QCOMPARE(lista.TotalPagos(), QStringLiteral("0"));

        agregarPago(base, QStringLiteral("7"), QStringLiteral("10/03/2024"), QStringLiteral("1000"),
                    QStringLiteral("3.456"));
        agregarPago(base, QStringLiteral("9"), QStringLiteral("20/03/2024"), QStringLiteral("500"),
                    QStringLiteral("2"), QStringLiteral("5842"));
        agregarPago(base, QStringLiteral("8"), QStringLiteral("20/03/2024"), QStringLiteral("500"),
                    QStringLiteral("2"), QStringLiteral("5842"));
        agregarPago(base, QStringLiteral("8"), QStringLiteral("20/03/2024"), QStringLiteral("1"),
                    QStringLiteral("2"), QStringLiteral("0517"));
        // Another declaration's payment in the same working table.
        base.contexto().sPeriodo = QStringLiteral("202402");
        agregarPago(base, QStringLiteral("7"), QStringLiteral("10/03/2024"), QStringLiteral("9999"),
                    QStringLiteral("9"));
        abrirDeclaracion(base);

        // Newest first; one day's payments by voucher type and operation.
        QCOMPARE(listado(base), (QStringList{"0517 00000008 2024-03-20", "5842 00000008 2024-03-20",
                                             "5842 00000009 2024-03-20", "5841 00000007 2024-03-10"}));
        QCOMPARE(lista.TotalPagos(), QStringLiteral("5458"));

        QVERIFY(lista.EliminaPago(QStringLiteral("5842"), QStringLiteral("00000009"), QDate(2024, 3, 20)));
        QVERIFY(lista.EliminaPago(QStringLiteral("0517"), QStringLiteral("00000008"), QDate(2024, 3, 20)));
        QVERIFY(lista.EliminaPago(QStringLiteral("5841"), QStringLiteral("00000007"), QDate(2024, 3, 11)));
        QCOMPARE(listado(base), (QStringList{"5842 00000008 2024-03-20", "5841 00000007 2024-03-10"}));
        // 3,456 + 1,000
        QCOMPARE(lista.TotalPagos(), QStringLiteral("4456"));
        QCOMPARE(base.contar(QStringLiteral("TMPF517PAGPRE"), QStringLiteral("Periodo='202402'")), 1);
    }

    void valoresHostilesLigados()
    {
        // A taxpayer number that would widen a statement built as text.
        BaseDePrueba base;
        abrirDeclaracion(base);
        agregarPago(base, QStringLiteral("7"), QStringLiteral("10/03/2024"), QStringLiteral("1000"),
                    QStringLiteral("3.456"));
        base.contexto().sRuc = QStringLiteral("0' OR 1=1 --");
        ListaPagosPrevios lista(base.datos());
        PagoPrevio pago(base.datos());
        QCOMPARE(lista.TotalPagos(), QStringLiteral("0"));
        QCOMPARE(listado(base), QStringList());
        QVERIFY(lista.EliminaPago(QStringLiteral("5841"), QStringLiteral("00000007"), QDate(2024, 3, 10)));
        QCOMPARE(base.contar(QStringLiteral("TMPF517PAGPRE")), 1);
        DatosPagoPrevio otro = unPago(QStringLiteral("10/03/2024"));
        otro.operacion = QStringLiteral("7");
        QVERIFY(!pago.ValidaDatos(otro, true));
        QVERIFY(pago.GrabaDatos(otro));
        QCOMPARE(base.contar(QStringLiteral("TMPF517PAGPRE"), QStringLiteral("doc_id_d=?"),
                             {base.contexto().sRuc}),
                 1);
    }
};

QTEST_GUILESS_MAIN(TstPagoPrevio)
#include "tst_pagoprevio.moc"
