#pragma once

#include "reglasimportacion.h"
#include "store/basedatos.h"
#include "store/decimal.h"
#include "store/texto.h"

#include <QByteArray>
#include <QFile>
#include <QFileDevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace kv {

struct Contexto;

// The old run-time's number for a file that cannot be opened, read or
// written.
constexpr int kErrorArchivo = 75;

// A text file in the code page of the system's files, read whole and walked
// line by line. A line ends at CR LF, LF or CR; a last line without its end
// counts as well.
class ArchivoTexto
{
public:
    bool leer(const QString &ruta);
    const ErrorBD &error() const { return m_error; }

    // Calls `accion` with each line in order while it returns true; false
    // when it stopped early.
    template<typename Accion> bool recorrer(Accion &&accion) const
    {
        return recorrerBytes([&accion](QByteArrayView linea) { return accion(desdeCp1252(linea)); });
    }
    // The same with each line's bytes as they are in the file.
    template<typename Accion> bool recorrerBytes(Accion &&accion) const
    {
        const QByteArrayView todo(m_bytes);
        const qsizetype n = todo.size();
        qsizetype inicio = 0;
        while (inicio < n) {
            qsizetype fin = inicio;
            while (fin < n && todo[fin] != '\n' && todo[fin] != '\r')
                ++fin;
            if (!accion(todo.sliced(inicio, fin - inicio)))
                return false;
            if (fin + 1 < n && todo[fin] == '\r' && todo[fin + 1] == '\n')
                ++fin;
            inicio = fin + 1;
        }
        return true;
    }

private:
    QByteArray m_bytes;
    ErrorBD m_error;
};

// How far an import has gone; the counts hold any number of lines.
struct AvanceImportacion
{
    qint64 leidas = 0; // how much of the file is read: lines, or the spreadsheet reader's units
    qint64 total = 0; // the same for the whole file
    qint64 transferidos = 0;
    qint64 rechazados = 0;
};

struct ResultadoImportacion
{
    enum class Estado {
        SinArchivo, // no file of that name: nothing to say
        CamposIncorrectos, // a line without exactly eleven "|": the file is refused
        SinSeparadorFinal, // a line not ending in "|": the file is refused
        Interrumpida, // a file or database failure: nothing was imported
        ArchivoDanado, // a spreadsheet found damaged part way (error.texto says how): nothing was imported
        Terminada, // every line read; the accepted ones are in the working copy
    };

    Estado estado = Estado::SinArchivo;
    qint64 transferidos = 0;
    qint64 rechazados = 0;
    ErrorBD error; // why an import was interrupted or the file is damaged

    // True when the import ran to the end with no record rejected.
    bool satisfactoria() const { return estado == Estado::Terminada && rechazados == 0; }
};

// One record to import: its eleven fields and, when it comes from a
// spreadsheet, the number of its row there, which its error line tells.
struct RegistroVuelo
{
    CamposVuelo campos;
    qint64 fila = 0; // 0: a line of the text file
};

// A source of records: calls `alRegistro` with each record in order, and
// with how much of the file is read out of its total, while it returns
// true. Returns why the file could not be read to its end (empty when it
// was, or when `alRegistro` stopped it).
using AlRegistro = std::function<bool(const RegistroVuelo &registro, qint64 leido, qint64 total)>;
using RecorridoRegistros = std::function<QString(const AlRegistro &alRegistro)>;


// The rows of one import on their way into the working copy TMPF517DETVP,
// whatever file they were read from. Each row goes through the field rules;
// an accepted row adds its flight or updates the flight of the same date and
// code, a refused one becomes a line of the error file with its reason, and
// `avance` is told after every row, in the rows' order. Everything happens
// in one transaction, begun by iniciar and committed by terminar: an import
// that stops half way leaves the working copy as it was.
//
// Accepted rows are written a block at a time, one statement per block.
// A block the database refuses is undone and its rows written one by one,
// so that the flight it refuses is listed with the database's reason
// ("Error " + number + " - " + text) and the others go in.
class ImportacionFilas
{
public:
    // `periodoMostrado` is the declared period as mm/yyyy; `total` the rows
    // the source holds, for the progress.
    ImportacionFilas(Contexto &contexto, const QString &periodoMostrado, QFileDevice &errores,
        std::function<void(const AvanceImportacion &)> avance = {}, qint64 total = 0);
    ~ImportacionFilas();
    ImportacionFilas(const ImportacionFilas &) = delete;
    ImportacionFilas &operator=(const ImportacionFilas &) = delete;

    // Error lines start with "Fila " + the row's number + ": " (a sheet's
    // rows are found by number; a text file's by date and code).
    void setNumerarFilas(bool numerar) { m_numerarFilas = numerar; }

    // Takes the write lock; false when another program holds the database.
    bool iniciar();
    // GrabaVuelo for one row: its eleven fields as read (blanks around a
    // field do not count) and its number in the source. False when the
    // import cannot go on (error() says why); a refused row is no reason.
    // `leido` and `total` are how far through its file the source is, in
    // its own units, when it counts otherwise than in rows (-1: one row).
    bool fila(const CamposVuelo &campos, qint64 numero, qint64 leido = -1, qint64 total = -1);
    // Writes the rows still waiting and commits.
    bool terminar();

    const ErrorBD &error() const { return m_error; }
    const AvanceImportacion &avance() const { return m_avance; }

private:
    struct Pendiente
    {
        CamposVuelo campos;
        QString motivo; // the rule's reason; empty while accepted
        qint64 numero = 0;
        qint64 leido = -1;
        bool enBloque = false;
    };

    bool escribirBloque();
    bool escribirUnoAUno();
    bool cerrarFilas();
    bool cerrarFila(const CamposVuelo &campos, const QString &motivo, qint64 numero, qint64 leido);
    bool falla(ErrorBD error);
    QString montoDolares(const LineaVuelo &vuelo);

    Contexto &m_ctx;
    QFileDevice &m_errores;
    std::function<void(const AvanceImportacion &)> m_aviso;
    AvanceImportacion m_avance;
    bool m_numerarFilas = false;
    ErrorBD m_error;
    struct Estado;
    std::unique_ptr<Estado> m_estado;
    QList<Pendiente> m_pendientes;
};

// The flight import of the open declaration: the carrier's file
// "0517" + RUC + period + ".TXT" read into the working copy TMPF517DETVP.
// Every line goes through the field rules; an accepted line adds its flight
// or updates the flight of the same date and code, a refused one goes to the
// error file beside the reports with its reason. The whole import is one
// transaction: it either completes or leaves the working copy as it was.
class ImportacionVuelos
{
public:
    // The key of the declaration comes from the context (sRuc, sPeriodo,
    // sFormulario); `periodoMostrado` is the declaration's period field as
    // shown (mm/yyyy), which the arrival dates must fall in. When it is empty
    // the stored period (yyyymm) is shown that way.
    ImportacionVuelos(Contexto &contexto, const QString &periodoMostrado);

    // "0517" + RUC + period (yyyymm) + ".TXT".
    QString nombreArchivo() const;
    // The reports folder + "/" + "0517" + RUC + period + ".Err".
    QString rutaErrores() const;
    QString periodoMostrado() const { return m_periodoMostrado; }

    // The names in `carpeta` that are the import file, its letter case aside
    // (the exact spelling first); empty when there is none.
    QStringList buscarArchivos(const QString &carpeta) const;
    // The file to import from `carpeta`: the exact name when present,
    // otherwise the first spelling found, otherwise the exact name.
    QString rutaEnCarpeta(const QString &carpeta) const;

    // True when every line of the file has exactly eleven "|".
    bool CuentaPipes(const QString &sNombreFile) const;

    // Imports the file at `ruta`. `avance` is told after every line.
    ResultadoImportacion ImportarVuelos(
        const QString &ruta, const std::function<void(const AvanceImportacion &)> &avance = {});

    // Imports the records of another kind of file (a spreadsheet) the same
    // way: the same rules, saving, error file and single transaction. A
    // record that comes from a sheet's row has "Fila " + its number + ": "
    // before its error text.
    ResultadoImportacion ImportarRegistros(const RecorridoRegistros &recorrer,
        const std::function<void(const AvanceImportacion &)> &avance = {});

    // The field rules as this declaration's import applies them (the
    // declared period, today by the context's clock).
    ReglasImportacion reglas() const;

private:
    // Both: the records through ImportacionFilas into the working copy, in
    // one transaction; `numerarFilas` puts each record's row number before
    // its error text.
    ResultadoImportacion importar(QFile &errores, bool numerarFilas, const RecorridoRegistros &recorrer,
        const std::function<void(const AvanceImportacion &)> &avance);

    Contexto &m_ctx;
    QString m_periodoMostrado;
};

} // namespace kv
