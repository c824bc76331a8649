#pragma once

#include "store/basedatos.h"
#include "store/esquema.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>

class QSqlQuery;

namespace kv {

class ServicioMensajes;

// One row of the submission layout (envio_t): which of the module's tables
// the host copies when it sends a declaration, and which of their columns
// hold the taxpayer, form, period, state, sending and week.
struct FilaEnvio
{
    QString tablaOrigen; // tabla_o
    QString tablaDestino; // tabla_d
    QString tablaExterna; // tabla_ext
    int indice = 0;
    int obliga = 0;
    int cTipDocD = 0;
    QVariantList columnas; // c_doc_id_d, c_Formulario, c_periodo, c_estado, c_envio, c_semana
};

// What reading one line of the layout file gave: a row, or why the line
// cannot be stored.
struct LineaEnvio
{
    int numero = 0; // 1-based line number in the file
    QString texto;
    std::optional<FilaEnvio> fila;
    QString motivo; // empty when `fila` holds a row
};

// Prepares the host's database for the module: creates the module's six
// tables when they are missing, makes 0 the default of the payment tables'
// week, and writes the module's parameter, report-catalogue and
// submission-layout rows. A second run only refreshes rows.
class Instalador
{
public:
    enum class Resultado {
        Completa, // ran to its end, every statement went in
        SinSistema, // no SysPath in KV000.INI
        SinBaseDatos, // the database could not be opened
        Incompleta, // the write lock could not be had, or a statement failed (shown and skipped)
    };

    static constexpr const char *kFormulario = "0517";
    static constexpr const char *kArchivoEnvio = "env517.txt";
    static constexpr int kCamposEnvio = 13;

    Instalador(ServicioMensajes &mensajes, QString rutaIni,
        QString conexion = QString::fromLatin1(BaseDatos::kConexion));

    Resultado ejecutar();

    // The layout file as the installer reads it: up to its end or to the
    // first line that is blank; every line read comes back, stored or not.
    static QList<LineaEnvio> leerArchivoEnvio(const QByteArray &contenido);
    static LineaEnvio leerLineaEnvio(int numero, const QString &texto);

    // Runs one installation statement with the installer's error rules: a
    // table that exists asks the "overwrite" question and is skipped, a key
    // that exists is skipped silently, anything else shows the SQL error, is
    // skipped and counts as a failure. True when the statement ran.
    bool ejecutarSentencia(const QString &sql, const QVariantList &valores = {});
    // The same for a statement prepared once and run many times.
    bool ejecutarPreparada(QSqlQuery &consulta, const QVariantList &valores);

    // Statements that failed so far (the two skipped silently or after the
    // question do not count).
    int fallos() const { return m_fallos; }

    // When `tabla` exists and its week column has no default 0, rebuilds it
    // with that default, keeping its rows, columns and indexes, all or
    // nothing (inside the installation's transaction when there is one);
    // leaves it as it was when any step fails. True when the table now has
    // the default.
    bool asegurarSemanaPredeterminada(const QString &tabla);

    // The database file and the layout file named by KV000.INI (empty before
    // ejecutar() has read it).
    const QString &rutaSistema() const { return m_rutaSistema; }
    QString rutaBase() const;
    QString rutaArchivoEnvio() const;

private:
    QSqlDatabase db() const;
    bool abrirBase();
    void crearTablas();
    void escribirParametros();
    void escribirReportes();
    void escribirEnvio();
    // 1 when the query finds a row, 0 when it finds none, -1 when it failed
    // (the failure has been shown).
    int buscarFila(const QString &sql, const QVariantList &valores);
    bool informarError(const ErrorBD &error);
    void escribirFila(const QString &tabla, const QStringList &clave, const QVariantList &valoresClave,
        const QStringList &columnas, const QVariantList &valores);

    ServicioMensajes &m_mensajes;
    QString m_rutaIni;
    QString m_conexion;
    QString m_rutaSistema;
    UbicacionBase m_ubicacion;
    int m_fallos = 0;
};

} // namespace kv
