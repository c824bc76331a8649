#pragma once

#include "store/accesodatos.h"
#include "store/mensajes.h"

#include <QDate>
#include <QString>
#include <optional>

namespace kv {

struct Contexto;

struct Contribuyente
{
    QString ruc;
    QString nombre;
    QString usuario; // the host user who registered the taxpayer
    QDate fechaRegistro;
};

// The host's taxpayer register (CONT) for the document type the module
// works with, the RUC. A user sees and changes the taxpayers the module
// would show him: every one for a user of type "0", otherwise those he
// registered. Each rule that refuses an entry says why through the message
// service and changes nothing.
class RegistroContribuyentes
{
public:
    static constexpr int kTipoRuc = 6;
    static constexpr int kLargoNombre = 100;

    explicit RegistroContribuyentes(Contexto &contexto);

    // RUC, name, registering user and registration date, ordered by RUC.
    ConsultaSql consultaLista() const;
    std::optional<Contribuyente> buscar(const QString &ruc) const;

    bool agregar(const QString &ruc, const QString &nombre);
    // Changes the name; the RUC is the taxpayer's key and his declarations
    // hang on it, so it is never changed, and the registering user stays.
    bool cambiar(const QString &ruc, const QString &nombre);
    // Asks first; refuses a taxpayer who has declarations stored.
    bool eliminar(const QString &ruc);

    static QString titulo() { return QStringLiteral("Contribuyentes"); }

private:
    bool validarNombre(const QString &nombre) const;
    bool puedeVer(const Contribuyente &c) const;
    bool tieneDeclaraciones(const QString &ruc) const;
    void avisar(const QString &texto, Icono icono = Icono::Critico) const;

    Contexto &m_ctx;
    AccesoDatos m_datos;
};

} // namespace kv
