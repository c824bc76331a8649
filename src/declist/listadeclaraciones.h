#pragma once

#include "store/accesodatos.h"

#include <QString>

namespace kv {

// One row of the declarations list as the buttons read it.
struct DeclaracionElegida
{
    QString docId;       // as stored; the deletions match it exactly
    QString razonSocial; // trimmed
    QString periodo;     // yyyymm
    QString formulario;
    QString correl;      // sent declarations only, trimmed
    QString numOrden;    // sent declarations only
    QString numControl;  // sent declarations only

    QString ruc() const { return docId.trimmed(); }
};

// The saved (CAB) or sent (HCAB) declarations of form 0517 that the user
// may see, and the deletion of one of them with all its rows.
class ListaDeclaraciones
{
public:
    ListaDeclaraciones(AccesoDatos &datos, bool historico);

    bool historico() const { return m_historico; }

    // A user of type "0" sees every taxpayer's declarations, any other user
    // those of the taxpayers registered under his name. Sent declarations
    // are listed only in state 1. The period comes back as mmyyyy.
    ConsultaSql consulta() const;

    // The header, the box values, the flights and the previous payments of
    // the declaration (of that copy, for a sent one) go together or not at
    // all. On a failure the engine's message has been shown and nothing is
    // deleted.
    bool eliminar(const DeclaracionElegida &declaracion);

    // The list's mmyyyy back to the stored yyyymm.
    static QString periodoAlmacenado(const QString &periodoLista);

private:
    AccesoDatos &m_datos;
    bool m_historico;
};

} // namespace kv
