#pragma once

#include "basedatos.h"
#include "decimal.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class QSqlRecord;

namespace kv {

struct Contexto;

// A statement with its bound values. Values never go into the SQL text, so
// a name with an apostrophe is stored and found as typed.
struct ConsultaSql
{
    QString sql;
    QVariantList valores;
};

// How a column's value turns into text for the record check code.
enum class TipoColumna { Numero, Fecha, Texto, Otro };

struct ValorColumna
{
    QVariant valor;
    TipoColumna tipo = TipoColumna::Texto;
};

TipoColumna tipoDeclarado(const QString &tipo);

// The record check code worked out one column at a time, in table order:
// the first nNumericos columns add up as numbers, the others as
// position-weighted Windows-1252 character codes (the caller leaves out the
// code's own column). Gives the same code as AccesoDatos::CodigoControl; the
// plain texts the tables mostly hold (digits, ASCII codes, ISO dates) are
// added without building a number or a string, so that a save computes the
// codes of 100,000 flights in a fraction of the time it takes to store them.
class SumaCodigoControl
{
public:
    explicit SumaCodigoControl(int nNumericos) : m_numericos(nNumericos) {}

    void agregar(const ValorColumna &columna);
    // A value as SQLite holds it: text as UTF-8, a whole number, or none.
    void agregarUtf8(QByteArrayView utf8, TipoColumna tipo);
    void agregarEntero(qint64 valor, TipoColumna tipo);
    void agregarNulo() { ++m_columna; }

    QString codigo() const;

private:
    bool numerica() const { return m_columna < m_numericos; }
    // The general rule for whatever the fast ways do not take.
    void agregarGeneral(const ValorColumna &columna);
    void sumarEntero(qint64 n);
    // A text column where numbers add, already without its blanks: true
    // when plain digits or no number at all settled it.
    template<typename Texto> bool sumarTextoNumerico(Texto recortado);
    void sumarCaracteres(QStringView texto);

    int m_numericos;
    int m_columna = 0;
    Decimal m_numerica;
    __int128 m_textual = 0;
};

// Prepares the statement, binds its values and runs it. A grid needs a
// scrollable query; everything else reads forward only.
QSqlQuery ejecutarConsulta(QSqlDatabase db, const ConsultaSql &consulta, ErrorBD *error = nullptr,
                           bool soloAdelante = true);

// The shared data-access routines: statements with the standard error
// message, the record check code, user, error and parameter look-ups, the
// report register and the taxpayer list. They work on the context's
// database and keep no state of their own.
class AccesoDatos
{
public:
    explicit AccesoDatos(Contexto &contexto);

    // Runs one action statement. A failure shows "Error al Ejecutar Sentencia
    // SQL" with its number and text and returns false, so that a caller
    // inside a transaction can roll back; callers that follow the old rule
    // of going on simply ignore the result.
    bool EjecutarSQL(const QString &sql, const QVariantList &valores = {});

    // Runs a query with bound values; the query is active and positioned
    // before the first row when `error` comes back empty.
    QSqlQuery consultar(const QString &sql, const QVariantList &valores = {}, ErrorBD *error = nullptr) const;
    QSqlQuery consultar(const ConsultaSql &consulta, ErrorBD *error = nullptr) const
    {
        return consultar(consulta.sql, consulta.valores, error);
    }

    // The six-digit record check code of a row: the first nNumericos columns
    // add up as numbers, the others (but the last, the code itself) as
    // position-weighted Windows-1252 character codes.
    static QString CodigoControl(const QList<ValorColumna> &fila, int nNumericos);
    // The same for a row of `tabla`, its values given by column name (any
    // case); columns without a value count as empty. Types come from the
    // table as the database declares it.
    QString CodigoControl(const QString &tabla, const QVariantMap &valores, int nNumericos) const;
    QString CodigoControl(const QString &tabla, const QSqlRecord &registro, int nNumericos) const;

    QString TipoUsuario() const;
    QString DescripcionError(int numero) const;

    // Registers a new report file in SPOOL and returns its name (eight digits
    // and ".PRN"); empty, with `error` set, when it could not. Both maxima are
    // read and the row added in one immediate transaction, so two programs
    // never get the same file number.
    QString AsignarArchivoReporte(const QString &codRep, const QVariant &tipDoc, const QString &docId,
                                  ErrorBD *error = nullptr);
    // A report that could not be written whole (a full disk) leaves the
    // register together with whatever was written of its file: the register
    // never lists a report that is not all there.
    void RetirarArchivoReporte(const QString &archivo) const;

    QString ParametroFuncion(const QString &numero, const QString &argumento, int longitud, int inicio) const;

    // The entries of a parameter list box: Argumento left-justified to 12,
    // five blanks and the Funcion substring, ordered by that substring.
    QStringList EntradasComboParametros(const QString &numero, const QString &patron, int longitud, int inicio,
                                        bool conBlanco) const;

    ConsultaSql ConsultaContribuyentes(const QString &formulario) const;
    // The taxpayer list box: document number padded so that names start in
    // column 14, then the name.
    QStringList EntradasComboRuc() const;

    // The tax per passenger in force on `fecha` (yyyymmdd), "0" when none.
    QString TasaVigente(const QString &fecha) const;
    Decimal SumaParametros() const;

    QString CalculaVerificador(const QString &clave, const QString &numOrden) const;
    bool VerificaNumeroOrden(const QString &clave, const QString &numOrden, const QString &verificador) const;

    // Exchange-rate text with at most n digits before and n after the point.
    // An empty text becomes "0.00" and passes.
    bool ValidaDecimales(QString &texto, int n) const;

    Contexto &contexto() const { return m_ctx; }

private:
    Contexto &m_ctx;
};

} // namespace kv
