#pragma once

#include <QString>

namespace kv {

class AccesoDatos;
struct ConsultaSql;
struct Contexto;

// The host's sending of a saved declaration of form 0517: the header, the
// box values and the rows of the module's tables named in envio_t are copied,
// in one transaction, into the history tables under the next correlative of
// that taxpayer, period and form. The saved declaration is only read.
class EnvioDeclaracion
{
public:
    struct Resultado
    {
        bool enviada = false;
        QString mensaje;       // why it was not sent
        QString correl;        // "001", "002"...
        QString control;       // eight digits
        QString lineaComandos; // the summary program's 36 characters
    };

    EnvioDeclaracion(Contexto &contexto, AccesoDatos &datos);

    // The saved declarations of the form that this user may send (a user of
    // type "0" sees every taxpayer's): RUC, name, period yyyymm, state.
    ConsultaSql consultaDeclaraciones() const;

    Resultado enviar(const QString &ruc, const QString &periodo);

    // The control number of a new submission; tests replace it.
    virtual QString nuevoControl() const;
    virtual ~EnvioDeclaracion() = default;

private:
    Contexto &m_ctx;
    AccesoDatos &m_datos;
};

} // namespace kv
