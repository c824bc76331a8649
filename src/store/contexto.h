#pragma once

#include "archivoini.h"
#include "basedatos.h"

#include <QDir>
#include <QSqlDatabase>
#include <QString>

namespace kv {

class ServicioMensajes;
class Reloj;
class Utilidad;
class RegistroVentanas;

// The run-time values of one process: the folders, the database, the user
// and the form, read once at start-up from KV000.INI, plus the declaration
// currently chosen. The seams (messages, clock, utility operations) travel
// with them, so that a window or a routine gets all it needs from one object
// and a test can hand it fakes.
struct Contexto
{
    QString sRutaSistema;        // SysPath, as written (expected to end in "/")
    QString sRutaBase;           // DBPath + DBName, joined without a separator
    UbicacionBase ubicacion;     // the engine and where its database is
    bool motorValido = true;     // DBEngine named a known engine (or none)
    QString sRutaReportes;       // sRutaSistema + "RPT"
    QString sUsuario = QStringLiteral(" ");
    QString sFormulario = QStringLiteral("0517");
    QString sArchivoAyuda;

    // The declaration chosen in the declarations list or the declaration form.
    QString sRuc;
    QString sRazonSocial;
    QString sPeriodo; // yyyymm

    QString conexion = QString::fromLatin1(BaseDatos::kConexion);
    ServicioMensajes *mensajes = nullptr;
    const Reloj *reloj = nullptr;
    const Utilidad *utilidad = nullptr;
    RegistroVentanas *ventanas = nullptr; // the window opener (windowed program only)

    QSqlDatabase db() const { return BaseDatos::base(conexion); }

    // Reads SysPath, DBEngine, DBPath, DBName and SysUser of section "Options".
    void leerConfiguracion(const ArchivoIni &ini)
    {
        const QString seccion = QStringLiteral("Options");
        sRutaSistema = ini.leer(seccion, QStringLiteral("SysPath"));
        const QString dbPath = ini.leer(seccion, QStringLiteral("DBPath"));
        const QString dbName = ini.leer(seccion, QStringLiteral("DBName"));
        sRutaBase = dbPath + dbName;
        ubicacion = UbicacionBase::desdeOpciones(ini.leer(seccion, QStringLiteral("DBEngine")), dbPath, dbName,
                                                 &motorValido);
        sRutaReportes = sRutaSistema + QStringLiteral("RPT");
        sUsuario = ini.leer(seccion, QStringLiteral("SysUser"));
    }

    // Makes the system folder the process's current directory.
    bool entrarCarpetaSistema() const { return !sRutaSistema.isEmpty() && QDir::setCurrent(sRutaSistema); }
};

} // namespace kv
