#pragma once

#include "mensajesguionados.h"
#include "relojfijo.h"
#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/utilidad.h"

#include <QTemporaryDir>
#include <memory>

namespace kv::prueba {

// The engine the tests' databases are made on: SQLite, or PostgreSQL when
// the program runs under tests/con-postgres.sh (KV_PRUEBA_MOTOR=PSQL, with
// the private server's connection text in KV_PG_PRUEBA).
Motor motorDePrueba();
// "sqlite" or "postgres", for messages.
QString nombreMotorDePrueba();

// A host installation in a temporary folder: system folder with RPT/ and
// TMP/, a database with the host's tables (and, on request, the module's
// tables and the installed parameter rows), a KV000.INI that names them, and
// a context wired to scripted messages and a fixed clock. On PostgreSQL the
// database is a fresh one on the test server, dropped at the end.
class BaseDePrueba
{
public:
    struct Opciones
    {
        Motor motor = motorDePrueba();
        bool tablasIntegrador = true; // false: an empty database
        bool tablasModulo = true;
        bool parametrosInstalados = true; // PARAM 965/966/981/992/996 as the installer writes them
        QString usuario = QStringLiteral("PRUEBA");
        QString tipoUsuario = QStringLiteral("0"); // empty: no CLAVES row
    };

    BaseDePrueba();
    explicit BaseDePrueba(const Opciones &opciones);
    ~BaseDePrueba();

    bool valida() const { return m_valida; }
    QString carpeta() const;          // the system folder, ending in "/"
    QString rutaBase() const;         // the database file (SQLite)
    Motor motor() const { return m_motor; }
    const UbicacionBase &ubicacion() const { return m_ctx.ubicacion; }
    QString rutaIni() const;          // KV000.INI (inside the folder; XDG_CONFIG_HOME points there)

    Contexto &contexto() { return m_ctx; }
    AccesoDatos &datos() { return *m_datos; }
    MensajesGuionados &mensajes() { return m_mensajes; }
    RelojFijo &reloj() { return m_reloj; }
    QSqlDatabase db() const { return m_ctx.db(); }

    // Runs a statement with bound values; fails the test on error.
    void ejecutar(const QString &sql, const QVariantList &valores = {});
    // First column of the first row, or an invalid variant.
    QVariant valor(const QString &sql, const QVariantList &valores = {}) const;
    // Every row of a query, its columns joined by "|"; a failure is one
    // line "error: " and the engine's text.
    QStringList filas(const QString &sql, const QVariantList &valores = {}) const;
    int contar(const QString &tabla, const QString &condicion = QString(), const QVariantList &valores = {}) const;

    // A fault for the tests of what a failed write leaves behind: every
    // `evento` ("INSERT", "UPDATE", "DELETE") on `tabla` (where `condicion`
    // holds, written with NEW./OLD. as both engines take it) fails with
    // `mensaje`, the statement alone being refused.
    void agregarFalla(const QString &nombre, const QString &evento, const QString &tabla, const QString &mensaje,
                      const QString &condicion = QString());
    void quitarFalla(const QString &nombre, const QString &tabla);

    void agregarContribuyente(const QString &ruc, const QString &nombre, const QString &usuario);
    void agregarUsuario(const QString &usuario, const QString &tipo);

    static void escribirParametrosInstalados(QSqlDatabase db);

    // The connection text of the PostgreSQL test server (empty without one).
    static QString servidorPostgres();

private:
    bool crearBasePostgres();
    void borrarBasePostgres();

    QTemporaryDir m_dir;
    Motor m_motor = Motor::SQLite;
    QString m_basePg;
    QByteArray m_xdgAnterior;
    bool m_valida = false;
    Contexto m_ctx;
    MensajesGuionados m_mensajes;
    RelojFijo m_reloj;
    Utilidad m_utilidad;
    std::unique_ptr<AccesoDatos> m_datos;
};

} // namespace kv::prueba
