#pragma once

#include "decimal.h"

#include <QStringView>
#include <optional>

namespace kv {

// Text-to-number rules of the stored data. Counts and amounts are kept as
// text, so every calculation starts from one of these.

// The whole text is a number (IsNumeric): blanks around it, a leading or
// trailing sign, a number in parentheses as a negative, thousands commas,
// a decimal point, an exponent ("1E3"), or "&H"/"&O" hexadecimal and octal.
// An empty or blank text is not a number.
bool esNumerico(QStringView texto);

// The value of a text that esNumerico accepts (CDbl): "(1,234)" is -1234,
// " 3.450 " is 3.45; nullopt when the text is not a number.
std::optional<Decimal> convertirNumero(QStringView texto);

// The leading number of a text (Val): blanks, tabs and line feeds are skipped
// anywhere, then an optional sign, digits, one point and an exponent; reading
// stops at the first other character. "  12abc" is 12, "abc" is 0, "1 2" is 12,
// "1,234" is 1, "&HFF" is 255.
Decimal val(QStringView texto);

// Leading number of a text converted to the nearest integer, halves to even
// (CInt of Val), as the report reader and the page boxes read their numbers.
std::int64_t valEntero(QStringView texto);

// A figure as the declaration's boxes read it back from their text: the
// value of a numeric text ("1,234", "(500)", "3.450") rounded to `decimales`
// places with halves away from zero, as Format with that many places would
// write it; 0 for an empty or non-numeric text. Soles and dollars are read
// with 0 places, the exchange rate with 3, so a product of the two is exact.
Decimal valorRedondeado(QStringView texto, int decimales);

} // namespace kv
