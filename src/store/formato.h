#pragma once

#include "decimal.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

namespace kv {

// Number and date formats as the stored data and the reports write them.
//
// Number patterns are made of up to four sections separated by ";" (positive;
// negative; zero; empty), each with "0" and "#" digit places, "," between
// digit places for groups of three, "." for the decimal point, and any other
// character as a literal. Values are rounded to the pattern's decimals with
// halves away from zero. With one section a negative value gets a leading "-";
// with a negative section its literals replace the sign. "#" places print
// nothing for leading zeros, so 0 with "###" is the empty text and 0.5 with
// "#.000" is ".500". Patterns used: "###,###,###,##0", "(###,###,###,##0)",
// "###,###,###,##0;(###,###,###,##0)", "############0", "###############",
// "####0.000", "##0.000", "#.000", "00000000", "000000", "0000".
QString formato(const Decimal &valor, QStringView patron);

// A text formatted with a number pattern: a numeric text (esNumerico) is
// formatted as its value; any other text comes back unchanged ("" stays "").
QString formato(QStringView texto, QStringView patron);

// Date and time patterns: "dd", "mm" (month; minutes when it follows "hh"),
// "yyyy", "hh", "nn", "ss" and literal separators: "dd/mm/yyyy", "yyyymmdd",
// "hh:mm:ss".
QString formato(const QDate &fecha, QStringView patron);
QString formato(const QTime &hora, QStringView patron);
QString formato(const QDateTime &momento, QStringView patron);

// The system's short date and time forms, used where the old programs
// printed a date value as the system showed it.
QString fechaCorta(const QDate &fecha);   // dd/mm/yyyy
QString horaLarga(const QTime &hora);     // hh:mm:ss

// A date as the database keeps it: ISO text ("YYYY-MM-DD", or a date-time
// whose first ten characters are one), or a date value of an engine that
// has them. Invalid when it is neither.
QDate fechaGuardada(const QVariant &valor);
// That date as users write dates, dd/mm/yyyy; a value that is not a date
// is shown as it is stored.
QString fechaMostrada(const QVariant &valor);

// "dd/mm/yyyy" typed or imported into a date; invalid when the text is not
// such a date or lies outside 01/01/1850 to 01/01/2500.
QDate leerFecha(QStringView texto);

} // namespace kv
