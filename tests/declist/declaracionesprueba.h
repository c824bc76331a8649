#pragma once

#include "support/basedeprueba.h"

#include <QString>

namespace kv::prueba {

// Stored declarations of form 0517 as the module and the host leave them:
// a header, two box values, one flight and one previous payment each.
inline void guardarDeclaracion(BaseDePrueba &base, const QString &ruc, const QString &periodo, int estado,
                               const QString &formulario = QStringLiteral("0517"))
{
    base.ejecutar(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, fec_pro, rectifica, "
                                 "estado, cNumero) VALUES (6,?,?,?,'2024-05-02','0',?,'000000')"),
                  {ruc, periodo, formulario, estado});
    for (const char *casilla : {"396", "410"})
        base.ejecutar(QStringLiteral("INSERT INTO DET (doc_id_d, tip_doc_d, periodo, Formulario, Casilla, i_valor, "
                                     "idcasilla, estado, cNumero) VALUES (?,6,?,?,?,'100','01',0,'000000')"),
                      {ruc, periodo, formulario, QString::fromLatin1(casilla)});
    base.ejecutar(QStringLiteral("INSERT INTO F517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, "
                                 "cod_vuelo, num_tripulantes, num_afectos, mto_dolar, cnumero) "
                                 "VALUES (6,?,?,?,'2024-04-03','AB123','5','10','150','000000')"),
                  {ruc, periodo, formulario});
    base.ejecutar(QStringLiteral("INSERT INTO F517PAGPRE (tip_doc_d, doc_id_d, Periodo, formulario, cod_boleta, "
                                 "num_operacion, cod_tributo, fec_pago, mto_soles, cnumero) "
                                 "VALUES (6,?,?,?,'5841','00000001','071301','2024-04-10','300','000000')"),
                  {ruc, periodo, formulario});
}

inline void enviarDeclaracion(BaseDePrueba &base, const QString &ruc, const QString &periodo, const QString &correl,
                              int estado, const QString &orden = QStringLiteral("12345678"),
                              const QString &control = QStringLiteral("C0001"))
{
    base.ejecutar(QStringLiteral("INSERT INTO HCAB (tip_doc_d, doc_id_d, periodo, Formulario, correl, fec_pro, "
                                 "rectifica, estado, norden, fec_env, control, cNumero) "
                                 "VALUES (6,?,?,'0517',?,'2024-05-02','0',?,?,'2024-05-20',?,'000000')"),
                  {ruc, periodo, correl, estado, orden, control});
    base.ejecutar(QStringLiteral("INSERT INTO HDET (doc_id_d, tip_doc_d, periodo, Formulario, correl, Casilla, "
                                 "i_valor, idcasilla, estado, cNumero) VALUES (?,6,?,'0517',?,'410','100','05',0,'0')"),
                  {ruc, periodo, correl});
    base.ejecutar(QStringLiteral("INSERT INTO HF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, correl, "
                                 "fec_arribo, cod_vuelo, num_afectos, mto_dolar, cnumero) "
                                 "VALUES (6,?,?,'0517',?,'2024-04-03','AB123','10','150','000000')"),
                  {ruc, periodo, correl});
    base.ejecutar(QStringLiteral("INSERT INTO HF517PAGPRE (tip_doc_d, doc_id_d, Periodo, formulario, correl, "
                                 "cod_boleta, num_operacion, cod_tributo, fec_pago, mto_soles, cnumero) "
                                 "VALUES (6,?,?,'0517',?,'5841','00000001','071301','2024-04-10','300','0')"),
                  {ruc, periodo, correl});
}

// Rows of one declaration in each of its four tables (saved or sent copy).
inline QList<int> filasDeclaracion(const BaseDePrueba &base, bool enviada, const QString &ruc, const QString &periodo,
                                   const QString &correl = QString())
{
    const QStringList tablas = enviada ? QStringList{QStringLiteral("HDET"), QStringLiteral("HCAB"),
                                                     QStringLiteral("HF517DETVP"), QStringLiteral("HF517PAGPRE")}
                                       : QStringList{QStringLiteral("DET"), QStringLiteral("CAB"),
                                                     QStringLiteral("F517DETVP"), QStringLiteral("F517PAGPRE")};
    QList<int> filas;
    for (const QString &t : tablas) {
        if (enviada)
            filas << base.contar(t, QStringLiteral("doc_id_d=? AND periodo=? AND correl=?"), {ruc, periodo, correl});
        else
            filas << base.contar(t, QStringLiteral("doc_id_d=? AND periodo=?"), {ruc, periodo});
    }
    return filas;
}

} // namespace kv::prueba
