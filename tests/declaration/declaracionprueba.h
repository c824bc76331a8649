#pragma once

#include "store/transaccion.h"
#include "support/basedeprueba.h"

#include <QDate>
#include <QString>

namespace kv::prueba {

// A taxpayer whose RUC passes the check digit, with a name the business
// name field accepts.
inline const QString kRuc = QStringLiteral("20456789120");
inline const QString kRazon = QStringLiteral("AEROLINEAS DEL SUR S.A.C.");
inline const QString kPeriodo = QStringLiteral("202403");

// The test declaration as the declarations list leaves it chosen.
inline void elegirDeclaracion(Contexto &ctx)
{
    ctx.sRuc = kRuc;
    ctx.sRazonSocial = kRazon;
    ctx.sPeriodo = kPeriodo;
}

// `cuantos` flights of one declaration in a flight table: one a day
// backwards from the period's last day (31/03/2024 for the test period),
// two codes a day once the month is used up. `correl` only for the history
// table.
inline void guardarVuelos(BaseDePrueba &base, const QString &tabla, int cuantos, const QString &correl = {},
                          const QString &ruc = kRuc, const QString &periodo = kPeriodo)
{
    Transaccion t(base.db());
    const bool historica = tabla.startsWith(u'H');
    const QString sql
        = QStringLiteral("INSERT INTO %1 (tip_doc_d, doc_id_d, periodo, formulario, %2fec_arribo, "
                         "cod_vuelo, num_tripulantes, num_personal, num_transito, num_arrfor, "
                         "num_diplo, num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar, "
                         "cnumero) VALUES (6,?,?,'0517',%3?,?,'10','2','5','0','1','0','0','3',?,?,?)")
              .arg(tabla, historica ? QStringLiteral("correl, ") : QString(),
                   historica ? QStringLiteral("?,") : QString());
    QDate ultimo = QDate::fromString(periodo + QStringLiteral("01"), QStringLiteral("yyyyMMdd"));
    ultimo = ultimo.isValid() ? ultimo.addMonths(1).addDays(-1) : QDate(2024, 3, 31);
    const int dias = ultimo.day();
    for (int i = 0; i < cuantos; ++i) {
        QVariantList valores {ruc, periodo};
        if (historica)
            valores << correl;
        const int afectos = 100 + i % 150;
        valores << ultimo.addDays(-(i % dias)).toString(Qt::ISODate)
                << QStringLiteral("LA%1").arg(1000 + i, 5, 10, QLatin1Char('0')) << QString::number(afectos)
                << QString::number(afectos * 15) << QStringLiteral("123456");
        base.ejecutar(sql, valores);
    }
    t.confirmar();
}

// One box value of a saved (DET) or sent (HDET) declaration.
inline void guardarCasilla(BaseDePrueba &base, const QString &casilla, const QString &valor,
                           const QString &correl = {}, const QString &ruc = kRuc,
                           const QString &periodo = kPeriodo)
{
    if (correl.isEmpty()) {
        base.ejecutar(
            QStringLiteral("INSERT INTO DET (doc_id_d, tip_doc_d, periodo, Formulario, Casilla, i_valor, "
                           "idcasilla, estado, cNumero) VALUES (?,6,?,'0517',?,?,'01',0,'000000')"),
            {ruc, periodo, casilla, valor});
    } else {
        base.ejecutar(
            QStringLiteral("INSERT INTO HDET (doc_id_d, tip_doc_d, periodo, Formulario, correl, Casilla, "
                           "i_valor, idcasilla, estado, cNumero) VALUES (?,6,?,'0517',?,?,?,'01',0,'0')"),
            {ruc, periodo, correl, casilla, valor});
    }
}

// A saved declaration as a save leaves it: header paid by cheque, the boxes
// with their header values, `vuelos` flights and one previous payment.
inline void guardarDeclaracionCompleta(BaseDePrueba &base, int vuelos)
{
    Transaccion t(base.db());
    base.agregarContribuyente(kRuc, kRazon, QStringLiteral("PRUEBA"));
    base.ejecutar(
        QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, fec_pro, rectifica, "
                       "bcolibrad, nrocheque, cheque, efectivo, estado, cNumero) "
                       "VALUES (6,?,?,'0517','2024-04-10','1','05','00012345','246565','',0,'000000')"),
        {kRuc, kPeriodo});
    // The figures of 40 flights as guardarVuelos makes them.
    const QList<std::pair<const char *, const char *>> casillas = {
        {"390", "840"},      {"391", "480"},         {"392", "360"},    {"393", "4780"},    {"394", "5140"},
        {"395", "40"},       {"396", "71700"},       {"397", "3.450"},  {"401", "247365"},  {"402", "-500"},
        {"403", "300"},      {"404", "246565"},      {"405", "0"},      {"406", "246565"},  {"410", "246565"},
        {"871", "1"},        {"005", "1"},           {"015", "5"},      {"870", "246565"},  {"872", "C"},
        {"012", "00012345"}, {"002", "20456789120"}, {"007", "202403"}, {"028", "4451234"}, {"721", "1.0"},
        {"722", "966"}};
    for (const auto &[casilla, valor] : casillas)
        guardarCasilla(base, QString::fromLatin1(casilla), QString::fromLatin1(valor));
    guardarVuelos(base, QStringLiteral("F517DETVP"), vuelos);
    base.ejecutar(
        QStringLiteral("INSERT INTO F517PAGPRE (tip_doc_d, doc_id_d, Periodo, formulario, semana, "
                       "cod_boleta, num_operacion, cod_tributo, fec_pago, mto_soles, tip_cambio, mto_dolar, "
                       "cnumero) VALUES (6,?,?,'0517',0,'5841','00000001','071301','2024-04-05','300',"
                       "'3.450','87','654321')"),
        {kRuc, kPeriodo});
    t.confirmar();
}

// The declaration sent (copy "001", order number 12345678 of control
// number C0001): its header, box 397 and three flights.
inline void enviarDeclaracion(BaseDePrueba &base)
{
    base.ejecutar(
        QStringLiteral("INSERT INTO HCAB (tip_doc_d, doc_id_d, periodo, Formulario, correl, fec_pro, "
                       "rectifica, estado, norden, fec_env, control, cNumero) "
                       "VALUES (6,?,?,'0517','001','2024-04-10','0',1,'12345678','2024-04-12','C0001','0')"),
        {kRuc, kPeriodo});
    guardarCasilla(base, QStringLiteral("397"), QStringLiteral("3.450"), QStringLiteral("001"));
    guardarVuelos(base, QStringLiteral("HF517DETVP"), 3, QStringLiteral("001"));
}

} // namespace kv::prueba
