#pragma once

#include "store/basedatos.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kv {

class Lanzador;
class ServicioMensajes;
struct Contexto;

// What the host does before its window shows. KV000.INI says where the host
// lives; when it names a system folder and a database they are used as they
// are, whoever made them. Without it (the first start) the host makes its
// system folder with RPT/, TMP/ (also reachable as tmp/) and 0517/, a
// database with its tables and first rows, and then KV000.INI, last, so that
// a start cut short is simply done again. On every start the module's files
// shipped beside the programs are put where the module and its installer
// look for them, and the installer is run.
class Instalacion
{
public:
    static constexpr const char *kNombreBase = "qadelia.db";
    static constexpr const char *kFormulario = "0517";
    static constexpr const char *kArchivoAyuda = "kv517.hlp";
    static constexpr const char *kArchivoEnvio = "env517.txt";
    static constexpr const char *kInstalador = "kvt517";
    static constexpr const char *kModulo = "kv517";

    struct Opciones
    {
        QString rutaIni; // KV000.INI
        QString carpetaSistema; // the system folder a first start makes, ending in "/"
        QString carpetaProgramas; // where the programs and the module's files ship
        QString usuario; // SysUser written by a first start
        QString nombreUsuario; // the user's full name, for CLAVES
    };

    // KV000.INI in its usual place, $XDG_DATA_HOME/qadelia/ (or
    // ~/.local/share/qadelia/), the login name.
    static Opciones predeterminadas(const QString &carpetaProgramas);
    static QString carpetaSistemaPredeterminada();
    static QString usuarioDelSistema();
    static QString nombreCompletoUsuario(const QString &usuario);

    Instalacion(Opciones opciones, ServicioMensajes &mensajes, Lanzador &lanzador);

    // Prepares the installation and opens the database under `conexion`.
    // False, after showing why, when the host cannot go on.
    bool preparar(const QString &conexion = QString::fromLatin1(BaseDatos::kConexion));

    bool primerInicio() const { return m_primerInicio; }
    const QString &rutaSistema() const { return m_rutaSistema; }
    const QString &rutaBase() const { return m_rutaBase; } // the file, or a server database's description
    const UbicacionBase &ubicacion() const { return m_ubicacion; }
    const QString &rutaIni() const { return m_opciones.rutaIni; }

    // The environment every program started by the host gets: the same
    // KV000.INI as the host reads.
    QProcessEnvironment entornoProgramas() const;

    // The module's help file and layout file, copied from beside the
    // programs when they are there and differ from the copies in place.
    // Returns the files written.
    QStringList copiarArchivosModulo();

private:
    bool crearInstalacion(const QString &conexion);
    bool abrirInstalacion(const QString &conexion);
    bool copiarSiCambia(const QString &origen, const QString &destino, QString *error) const;
    void avisar(const QString &texto);
    bool reponerCopia(const ErrorBD &error);

    Opciones m_opciones;
    ServicioMensajes &m_mensajes;
    Lanzador &m_lanzador;
    bool m_primerInicio = false;
    QString m_rutaSistema;
    QString m_rutaBase;
    UbicacionBase m_ubicacion;
};

} // namespace kv
