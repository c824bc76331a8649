#pragma once

#include "hojacalculo.h"
#include "reglasimportacion.h"

#include <QString>
#include <QStringList>
#include <array>

namespace kv {

// How dates written as text in a sheet are read. A date the sheet keeps as
// a date needs none: the reader already shows it as dd/mm/yyyy.
enum class FormatoFecha { DiaMesAnio, DiaMesAnioCorto, AnioMesDia, MesDiaAnio };
constexpr int kFormatosFecha = 4;

// "dd/mm/yyyy", "d/m/yyyy", "yyyy-mm-dd", "mm/dd/yyyy", in that order.
QString nombreFormatoFecha(FormatoFecha formato);

// A date written in `formato` as dd/mm/yyyy; any other text (a date in
// another shape, a date that does not exist) as it stands, for the field
// rules to refuse.
QString fechaSegunFormato(const QString &texto, FormatoFecha formato);

// A heading reduced to what is compared: lower case, without accents, only
// letters and digits ("Tránsito " and "TRANSITO" are the same).
QString claveTitulo(QStringView titulo);

// The column of each field (-1: none), found by the sheet's headings: the
// grid's captions (or their beginning, when a heading cuts one short), the
// print-out's short forms ("Trip.") and the English words a carrier's
// system uses ("Crew"). A column serves one field. When no heading matches
// any field the columns are taken in the text file's order.
std::array<int, kCamposVuelo> emparejarTitulos(const QStringList &titulos);

// Which columns of a sheet hold the fields of a flight, and how its rows
// become the records the import checks.
struct MapeoHoja
{
    QString hoja; // the workbook's sheet; empty: the first one shown
    qint64 filaTitulos = 1; // the row of headings; the flights are below it (0: no headings)
    std::array<int, kCamposVuelo> columnas; // -1: the field has no column
    FormatoFecha formatoFecha = FormatoFecha::DiaMesAnio;

    MapeoHoja() { columnas.fill(-1); }

    // The row's record: each field its column's text without the blanks
    // around it; the date as dd/mm/yyyy when it is text in the chosen
    // format.
    CamposVuelo campos(const FilaHoja &fila) const;
    // Nothing in any of the chosen columns: a blank row, passed over.
    bool vacia(const FilaHoja &fila) const;
};

// The mappings a user chose, remembered per taxpayer in a file of the
// user's configuration folder, so that next month's sheet is read the same
// way. A field's column is remembered by its heading and by its letter:
// the heading wins when the new sheet has it elsewhere.
class MapeosGuardados
{
public:
    explicit MapeosGuardados(QString ruta = rutaPredeterminada());
    // "KV517HOJA.INI" beside KV000.INI ($XDG_CONFIG_HOME, or ~/.config).
    static QString rutaPredeterminada();

    // False when the file cannot be written.
    bool guardar(const QString &ruc, const MapeoHoja &mapeo, const QStringList &titulos) const;
    // The mapping remembered for `ruc`, put on a sheet with `titulos` and
    // `columnas` columns; false when there is none.
    bool leer(const QString &ruc, const QStringList &titulos, int columnas, MapeoHoja &mapeo) const;
    // The sheet and heading row remembered for `ruc` (before the sheet is
    // opened); false when there is none.
    bool leerHoja(const QString &ruc, QString &hoja, qint64 &filaTitulos) const;

private:
    QString m_ruta;
};

} // namespace kv
