#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace kv {

// The bounds of a sheet: columns A to XFD, rows 1 to 1,048,576.
constexpr int kColumnasHoja = 16384;
constexpr qint64 kFilasHoja = 1048576;

// One row of a spreadsheet: its number as the spreadsheet shows it (from 1)
// and the text of its cells from column A on; a cell the file leaves out is
// an empty text.
struct FilaHoja
{
    qint64 numero = 0;
    QStringList celdas;
    QList<int> fechas; // the columns whose cell the sheet keeps as a date

    // Every cell empty or blank.
    bool enBlanco() const;
    // The cell of `columna` (from 0), empty past the last one.
    QString celda(int columna) const;
};

// Reads one sheet of a spreadsheet file row by row, from the top. Rows
// without any text are passed over. A reader reads only as far as it is
// asked, so that the first rows of a long file come at once.
class LectorHoja
{
public:
    virtual ~LectorHoja() = default;

    // The next row with some text. False at the end of the sheet, or when the
    // file turns out to be damaged there: error() then says why, and nothing
    // read from the file should be used.
    virtual bool siguiente(FilaHoja &fila) = 0;
    const QString &error() const { return m_error; }

    // How much of the sheet is read, out of total(), in the reader's own
    // units: enough for a progress bar.
    virtual qint64 leido() const = 0;
    virtual qint64 total() const = 0;

    // The names of the workbook's sheets (none for a CSV file) and the one
    // being read.
    virtual QStringList hojas() const { return {}; }
    virtual QString hoja() const { return {}; }

protected:
    QString m_error;
};

// Empty, or blanks alone (spaces, tabs, line breaks).
bool celdaEnBlanco(QStringView celda);

// "A" for column 0, "Z" for 25, "AA" for 26.
QString letraColumna(int columna);
// The column of capital letters ("A" is 0); -1 when they name no column of
// a sheet (empty, other characters, past "XFD").
int columnaDeLetras(QStringView letras);

// Opens the spreadsheet at `ruta`: a workbook (.xlsx) on its sheet `hoja`
// (the first one shown when empty), or a CSV file. A name ending in neither
// is taken by its contents. Null, with the reason in `error`, when the file
// cannot be read or is not a spreadsheet.
std::unique_ptr<LectorHoja> abrirHoja(const QString &ruta, const QString &hoja, QString &error);

} // namespace kv
