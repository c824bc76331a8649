#pragma once

#include <QDate>
#include <QString>

namespace kv {

// The small checks and text operations the windows and reports share: one
// instance per process, created at start-up.
class Utilidad
{
public:
    // Flags of the key filters.
    enum OpcionTecla { SinOpciones = 0, PermitePunto = 1 };

    static constexpr int kTeclaRetroceso = 8;
    static constexpr int kTeclaEnter = 13;

    struct ClasesTexto
    {
        bool todoDigitos = false;     // not empty, only 0-9
        bool soloAlfanumerico = false; // not empty, only letters and digits
    };

    bool existeArchivo(const QString &ruta) const;

    // A taxpayer number: eleven digits, a known prefix (10, 15, 16, 17, 20)
    // and the modulo-11 check digit over the first ten.
    bool validaRuc(const QString &ruc) const;

    // Twenty decimal digits that depend only on the text; the order-number
    // verification code is taken from them and typed into a digits-only box.
    QString digesto(const QString &texto) const;

    // Padded with blanks after (left-justify) or before (right-justify) the
    // text to the width; a longer text comes back whole, never cut.
    QString alinearIzquierda(const QString &texto, int ancho) const;
    QString alinearDerecha(const QString &texto, int ancho) const;

    // A valid date dd/mm/yyyy within both bounds (dd/mm/yyyy), both included.
    bool validaRangoFecha(const QString &fecha, const QString &desde, const QString &hasta) const;

    // Key filters on a character code: the code to use, or 0 to drop it.
    // Digits, Backspace and Enter always pass the numeric filter, "." only with
    // PermitePunto; letters, digits, Backspace and Enter pass the code filter.
    int filtroNumerico(int tecla, int opciones = SinOpciones) const;
    int filtroCodigo(int tecla, int opciones = SinOpciones) const;

    ClasesTexto clasesCaracteres(const QString &texto) const;

    // The upper-case code of a letter (ñ and accented letters included);
    // other keys unchanged.
    int teclaMayuscula(int tecla) const;

    // A period mm/yyyy that is a real month, not before `minimo` (mm/yyyy)
    // and not after the month of `hoy` (the current month passes).
    bool validaPeriodo(const QString &periodo, const QString &minimo, const QDate &hoy) const;
};

} // namespace kv
