#pragma once

#include "store/archivoini.h"
#include "store/basedatos.h"

#include <QString>
#include <functional>

namespace kv {

struct Contexto;
class InstanciaUnica;

// The start of the module under the host program: the host's window must be
// there, only one copy may run, and KV000.INI names the system folder, the
// database and the user. Each step shows its own message through the
// context's message service; a step that returns false means the process
// must end.
class Arranque
{
public:
    static constexpr const char *kTituloIntegrador = "Qadelia";
    static constexpr const char *kArchivoAyuda = "kv517.hlp";
    static constexpr const char *kArchivoGrupoTrabajo = "KV000.MDW";

    explicit Arranque(Contexto &contexto, ArchivoIni ini = ArchivoIni(ArchivoIni::rutaPredeterminada()));

    // The host must show a visible top-level window titled exactly "Qadelia".
    bool CorreIntegrador(const std::function<bool(const QString &)> &correApp);
    // Only one copy: the lock is held by `instancia` for the process's life.
    bool VerificarInstancia(InstanciaUnica &instancia);

    // SysPath, DBPath + DBName, the report folder and the user; the system
    // folder becomes the current directory.
    void LeerConfiguracion();
    // Writes SystemDB and opens the database. False after the connection
    // message has been shown.
    bool AbrirBaseDatos();

    // The help file lives in a folder named after the form under the system
    // folder, joined as the INI writes the folder (no separator added).
    QString rutaAyuda() const;

    // The messages of a failed open: 3051 means locked or denied.
    static QString textoErrorConexion(const ErrorBD &error);

    const ArchivoIni &ini() const { return m_ini; }

private:
    Contexto &m_ctx;
    ArchivoIni m_ini;
};

} // namespace kv
