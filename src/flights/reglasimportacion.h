#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <array>

namespace kv {

class Utilidad;

// One line of a carrier's flight file: eleven fields, each followed by "|":
// arrival date (dd/mm/yyyy), flight code, then the nine counts in the
// column order of the flight table (crew, airline staff, transit, forced
// arrivals, diplomats, extradited, deported, bought before the tax, subject
// to the tax).
constexpr int kCamposVuelo = 11;
constexpr int kCantidadesVuelo = 9;
using CamposVuelo = std::array<QString, kCamposVuelo>;

// The eleven fields in the file's order, as the flight grid captions them.
const std::array<QString, kCamposVuelo> &titulosCampos();

// The "|" of one line.
qsizetype CuentaSeparadores(QStringView linea);
// A line holds exactly eleven "|".
bool separadoresCompletos(QStringView linea);
// A line, trimmed of blanks, is empty or ends in "|".
bool terminaEnSeparador(QStringView linea);
// Fields 0 to 10: from the start, each is the text up to the next "|",
// trimmed of blanks; the search goes on after that "|". Fields past the
// last "|" are empty.
CamposVuelo separarCampos(QStringView linea);

// A line as the import reads it: its fields, the reason it is refused (the
// last failing check in field order; empty when it is accepted) and, when
// accepted, the values that go into the working copy.
struct LineaVuelo
{
    CamposVuelo campos;
    QString error;

    QDate fecha; // accepted lines only
    QString codigo; // field 1 in upper case, letter by letter
    std::array<QString, kCantidadesVuelo> cantidades; // each count's value as plain digits ("007" is "7")

    bool aceptada() const { return error.isEmpty(); }
};

// The field rules of the flight import: the same rules as the flight
// window, with messages of their own. Needs no database and no window, so
// each line can be checked on its own.
class ReglasImportacion
{
public:
    // `hoy` bounds the arrival date; `periodoMostrado` is the declared
    // period as mm/yyyy.
    ReglasImportacion(const Utilidad &utilidad, const QDate &hoy, const QString &periodoMostrado);

    // The error text of a record (empty: accepted). Every failing check
    // replaces the text of the one before.
    QString validar(const CamposVuelo &campos) const;

    // Splits, checks and, when accepted, converts one line.
    LineaVuelo analizar(QStringView linea) const;
    // The same for a record's fields already split and trimmed.
    LineaVuelo analizar(CamposVuelo campos) const;

private:
    QString validar(const CamposVuelo &campos, QDate &fecha) const;
    QString errorFecha(const QString &campo, QDate &fecha) const;
    QString errorCodigo(const QString &campo) const;
    QString errorCantidad(const QString &campo, bool tripulantes) const;
    bool esCantidad(const QString &campo) const;

    const Utilidad &m_utilidad;
    QDate m_hoy;
    QString m_periodo; // mm/yyyy
};

} // namespace kv
