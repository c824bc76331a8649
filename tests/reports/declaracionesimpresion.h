#pragma once

#include "reports/reporteformulario.h"
#include "support/basedeprueba.h"

#include <QString>
#include <array>

namespace kv::prueba {

// Stored declarations to print, as the declaration window saves them and
// the host copies them when it sends one. The references under datos/ are
// the print-outs of these rows (datos/referencias.py holds the same data).

struct VueloPrueba
{
    QString fecha; // yyyy-mm-dd
    QString codigo;
    std::array<int, 9> cuentas; // crew, staff, transit, forced, diplomats, extradited, deported, before, subject
    QString dolares;
};

struct PagoPrueba
{
    QString boleta, operacion, fecha, soles, cambio, dolares;
};

struct DeclaracionPrueba
{
    QString ruc, nombre, periodo;
    QString correl; // empty: a saved declaration; else a sent copy
    QString orden, control;
    QList<std::pair<QString, QString>> casillas; // box rows as stored ("005", "390"...)
    QString banco, nroCheque, cheque, efectivo, rectifica;
    QList<VueloPrueba> vuelos;
    QList<PagoPrueba> pagos;
    bool anexos = false;

    DeclaracionImpresion impresion() const
    {
        return {ruc, nombre, periodo, !correl.isEmpty(), correl, orden, control, anexos};
    }
};

inline const QString kRucAlfa = QStringLiteral("20100070970");
inline const QString kRucBeta = QStringLiteral("20512345678");
inline const QString kNombreAlfa = QStringLiteral("AEROLÍNEAS DEL SUR S.A.");
inline const QString kNombreBeta = QStringLiteral("TRANSPORTES AÉREOS ANDINOS S.A.C.");

inline QList<std::pair<QString, QString>> casillas(std::initializer_list<std::pair<const char *, const char *>> l)
{
    QList<std::pair<QString, QString>> r;
    for (const auto &[c, v] : l)
        r.append({QString::fromLatin1(c), QString::fromLatin1(v)});
    return r;
}

// 40 flights of April 2026, two a day; within a day the codes go down as
// they are inserted, so the print-out must sort them.
inline QList<VueloPrueba> cuarentaVuelos()
{
    QList<VueloPrueba> v;
    for (int i = 0; i < 40; ++i) {
        const int afectos = 100 + 3 * i;
        v.append({QStringLiteral("2026-04-%1").arg(1 + i / 2, 2, 10, QLatin1Char('0')),
                  QStringLiteral("XA%1").arg(100 + 7 * (39 - i), 4, 10, QLatin1Char('0')),
                  {5 + i % 7, i % 3, i % 4, 0, i % 2, 0, i % 5 == 0 ? 1 : 0, i % 6 == 0 ? 2 : 0, afectos},
                  QString::number(afectos * 15)});
    }
    return v;
}

// The declarations of the references, by the reference's name.
inline DeclaracionPrueba declaracionPrueba(const QString &caso)
{
    DeclaracionPrueba d;
    if (caso == u"efectivo3") {
        d = {kRucAlfa, kNombreAlfa, QStringLiteral("202603"), {}, {}, {},
             casillas({{"390", "58"}, {"391", "43"}, {"392", "15"}, {"393", "480"}, {"394", "495"}, {"395", "3"},
                       {"396", "7200"}, {"397", "3.450"}, {"401", "24840"}, {"404", "24840"}, {"405", "0"},
                       {"406", "24840"}, {"410", "24840"}, {"871", "0"}, {"005", "0"}, {"870", "24840"},
                       {"872", "E"}, {"002", "20100070970"}, {"007", "202603"}, {"028", "4215678"},
                       {"721", "1.0"}, {"722", "966"}}),
             QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("24840"), QStringLiteral("0"),
             {{QStringLiteral("2026-03-05"), QStringLiteral("LA2401"), {12, 3, 0, 0, 1, 0, 0, 0, 150}, QStringLiteral("2250")},
              {QStringLiteral("2026-03-12"), QStringLiteral("IB6651"), {14, 4, 2, 1, 0, 1, 2, 3, 210}, QStringLiteral("3150")},
              {QStringLiteral("2026-03-05"), QStringLiteral("AV0087"), {8, 2, 5, 0, 0, 0, 0, 0, 120}, QStringLiteral("1800")}},
             {}};
    } else if (caso == u"vuelos40") {
        d = {kRucAlfa, kNombreAlfa, QStringLiteral("202604"), {}, {}, {},
             casillas({{"390", "456"}, {"391", "354"}, {"392", "102"}, {"393", "6340"}, {"394", "6442"},
                       {"395", "40"}, {"396", "95100"}, {"397", "3.512"}, {"401", "333991"}, {"404", "333991"},
                       {"406", "333991"}, {"410", "333991"}, {"871", "0"}, {"005", "0"}, {"870", "333991"},
                       {"872", "E"}, {"028", "421567"}}),
             QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("333991"), QStringLiteral("0"),
             cuarentaVuelos(), {}};
    } else if (caso == u"cheque_anexos") {
        d = {kRucBeta, kNombreBeta, QStringLiteral("202603"), {}, {}, {},
             casillas({{"390", "29"}, {"391", "24"}, {"392", "5"}, {"393", "183"}, {"394", "188"}, {"395", "2"},
                       {"396", "2745"}, {"397", "3.380"}, {"401", "9278"}, {"402", "0"}, {"403", "6865"},
                       {"404", "2413"}, {"405", "37"}, {"406", "2450"}, {"410", "2450"}, {"015", "5"},
                       {"871", "1"}, {"005", "1"}, {"870", "2450"}, {"872", "C"}, {"012", "00045127"}}),
             QStringLiteral("05"), QStringLiteral("00045127"), QStringLiteral("2450"), QString(), QStringLiteral("1"),
             {{QStringLiteral("2026-03-09"), QStringLiteral("TA0103"), {10, 2, 3, 0, 2, 0, 0, 0, 88}, QStringLiteral("1320")},
              {QStringLiteral("2026-03-02"), QStringLiteral("TA0101"), {10, 2, 0, 0, 0, 0, 0, 0, 95}, QStringLiteral("1425")}},
             {{QStringLiteral("5842"), QStringLiteral("00000009"), QStringLiteral("2026-03-20"), QStringLiteral("1690"),
               QStringLiteral("3.380"), QStringLiteral("500")},
              {QStringLiteral("5841"), QStringLiteral("00012345"), QStringLiteral("2026-03-20"), QStringLiteral("3450"),
               QStringLiteral("3.450"), QStringLiteral("1000")},
              {QStringLiteral("5871"), QStringLiteral("77"), QStringLiteral("2026-03-15"), QStringLiteral("1725"),
               QStringLiteral("3.450"), QStringLiteral("500")}},
             true};
    } else if (caso == u"enviada") {
        d = {kRucAlfa, kNombreAlfa, QStringLiteral("202603"), QStringLiteral("002"), QStringLiteral("26013344"),
             QStringLiteral("48213"),
             casillas({{"390", "30"}, {"391", "29"}, {"392", "1"}, {"393", "292"}, {"394", "293"}, {"395", "2"},
                       {"396", "4380"}, {"397", "3.412"}, {"401", "14945"}, {"403", "2000"}, {"404", "12945"},
                       {"406", "12945"}, {"410", "12945"}, {"871", "0"}, {"005", "0"}, {"870", "12945"},
                       {"872", "E"}, {"028", "4215678"}}),
             QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("12945"), QStringLiteral("0"),
             {{QStringLiteral("2026-03-28"), QStringLiteral("LA2415"), {11, 3, 0, 0, 0, 0, 0, 0, 142}, QStringLiteral("2130")},
              {QStringLiteral("2026-03-05"), QStringLiteral("LA2401"), {12, 3, 0, 0, 1, 0, 0, 0, 150}, QStringLiteral("2250")}},
             {{QStringLiteral("5852"), QStringLiteral("00077001"), QStringLiteral("2026-03-31"), QStringLiteral("2000"),
               QStringLiteral("3.400"), QStringLiteral("588")}},
             true};
    } else if (caso == u"enviada_anterior") {
        // The first copy sent of the same period: none of it may show in the second.
        d = {kRucAlfa, kNombreAlfa, QStringLiteral("202603"), QStringLiteral("001"), QStringLiteral("26010001"),
             QStringLiteral("11111"), casillas({{"395", "1"}, {"410", "999"}, {"028", "9999999"}, {"872", "E"}}),
             QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("999"), QStringLiteral("0"),
             {{QStringLiteral("2026-03-05"), QStringLiteral("LA2401"), {1, 1, 1, 1, 1, 1, 1, 1, 1}, QStringLiteral("15")}},
             {{QStringLiteral("5841"), QStringLiteral("00000001"), QStringLiteral("2026-03-10"), QStringLiteral("999"),
               QStringLiteral("3.400"), QStringLiteral("294")}},
             true};
    } else if (caso == u"negativa") {
        d = {kRucBeta, kNombreBeta, QStringLiteral("202605"), {}, {}, {},
             casillas({{"395", "0"}, {"396", "0"}, {"397", "3.500"}, {"401", "0"}, {"402", "-500"}, {"403", "0"},
                       {"404", "500"}, {"406", "500"}, {"410", "500"}, {"871", "0"}, {"005", "0"}, {"872", "X"},
                       {"028", "3344556"}}),
             QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("0"),
             {}, {}, true};
    }
    return d;
}

// Writes the declaration's header, boxes, flights and payments (the
// history tables for a sent copy, in state 1 with its order and control).
inline void guardarDeclaracion(BaseDePrueba &base, const DeclaracionPrueba &d)
{
    const bool enviada = !d.correl.isEmpty();
    const QString h = enviada ? QStringLiteral("H") : QString();
    const QString correlCol = enviada ? QStringLiteral("correl, ") : QString();
    QVariantList clave{d.ruc, d.periodo};
    if (enviada)
        clave << d.correl;
    const QString marcas = enviada ? QStringLiteral("?,?,'0517',?,") : QStringLiteral("?,?,'0517',");

    if (enviada)
        base.ejecutar(QStringLiteral("INSERT INTO HCAB (tip_doc_d, doc_id_d, periodo, Formulario, correl, fec_pro, "
                                     "rectifica, bcolibrad, nrocheque, cheque, efectivo, estado, norden, fec_env, "
                                     "control, cNumero) VALUES (6,?,?,'0517',?,'2026-04-02',?,?,?,?,?,1,?,"
                                     "'2026-04-10',?,'000000')"),
                      clave + QVariantList{d.rectifica, d.banco, d.nroCheque, d.cheque, d.efectivo, d.orden, d.control});
    else
        base.ejecutar(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, fec_pro, rectifica, "
                                     "bcolibrad, nrocheque, cheque, efectivo, estado, cNumero) "
                                     "VALUES (6,?,?,'0517','2026-04-02',?,?,?,?,?,0,'000000')"),
                      clave + QVariantList{d.rectifica, d.banco, d.nroCheque, d.cheque, d.efectivo});
    for (const auto &[casilla, valor] : d.casillas)
        base.ejecutar(QStringLiteral("INSERT INTO %1DET (doc_id_d, tip_doc_d, periodo, Formulario, %2Casilla, i_valor, "
                                     "idcasilla, estado, cNumero) VALUES (?,6,?,'0517',%3?,?,'01',0,'000000')")
                          .arg(h, correlCol, enviada ? QStringLiteral("?,") : QString()),
                      clave + QVariantList{casilla, valor});
    for (const VueloPrueba &v : d.vuelos) {
        QVariantList valores = clave;
        valores << v.fecha << v.codigo;
        for (int c : v.cuentas)
            valores << QString::number(c);
        valores << v.dolares;
        base.ejecutar(QStringLiteral("INSERT INTO %1F517DETVP (tip_doc_d, doc_id_d, periodo, formulario, %2fec_arribo, "
                                     "cod_vuelo, num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, "
                                     "num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar, cnumero) "
                                     "VALUES (6,%3?,?,?,?,?,?,?,?,?,?,?,?,'000000')")
                          .arg(h, correlCol, marcas),
                      valores);
    }
    for (const PagoPrueba &p : d.pagos)
        base.ejecutar(QStringLiteral("INSERT INTO %1F517PAGPRE (tip_doc_d, doc_id_d, Periodo, formulario, %2cod_boleta, "
                                     "num_operacion, cod_tributo, fec_pago, mto_soles, tip_cambio, mto_dolar, cnumero) "
                                     "VALUES (6,%3?,?,'071301',?,?,?,?,'000000')")
                          .arg(h, correlCol, marcas),
                      clave + QVariantList{p.boleta, p.operacion, p.fecha, p.soles, p.cambio, p.dolares});
}

// Two airlines and a bank, and every declaration above.
inline void prepararDeclaraciones(BaseDePrueba &base)
{
    QSqlDatabase db = base.db();
    db.transaction();
    base.ejecutar(QStringLiteral("INSERT INTO PARAM VALUES ('004','05',?,'')"),
                  {QStringLiteral("BANCO INTERAMERICANO DE FINANZAS     BANBIF")});
    base.agregarContribuyente(kRucAlfa, kNombreAlfa, QStringLiteral("PRUEBA"));
    base.agregarContribuyente(kRucBeta, kNombreBeta, QStringLiteral("OTRO"));
    for (const char *caso : {"efectivo3", "vuelos40", "cheque_anexos", "enviada", "enviada_anterior", "negativa"})
        guardarDeclaracion(base, declaracionPrueba(QString::fromLatin1(caso)));
    db.commit();
}

} // namespace kv::prueba
