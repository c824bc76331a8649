#pragma once

#include "store/accesodatos.h"
#include "store/decimal.h"

#include <QString>
#include <QVariantMap>
#include <optional>

namespace kv {

struct Contexto;

// The rows of the open declaration (sRuc, sPeriodo, sFormulario) in the
// payment tables: the condition and its bound values.
ConsultaSql filtroDeclaracion(const Contexto &contexto);

// One previous payment as the entry window holds it: the texts of its boxes.
struct DatosPagoPrevio
{
    QString codBoleta;  // the voucher type, the first four characters of the chosen entry; empty: none chosen
    QString operacion;  // the order or operation number as typed
    QString fecha;      // the payment date as its box shows it: dd/mm/yyyy, "_" where a digit is missing
    QString dolares;    // whole US dollars, with or without group separators
    QString tipoCambio; // the selling exchange rate of the payment's day
};

// The boxes of a payment a finding may be about.
enum class CampoPago { Ninguno, Boleta, Operacion, Fecha, Dolares, TipoCambio };

// What a check found: the message and the box to put the focus on.
struct HallazgoPago
{
    QString texto;  // empty: the check has already shown its own message
    CampoPago campo = CampoPago::Ninguno;
    QString titulo; // empty: the window's caption; a failing query has its own
};

// The rules of one previous payment of the open declaration (sRuc, sPeriodo,
// sFormulario of the context): its amounts and their stored forms, the three
// checks of the exchange rate, the validation of the entry window, and its
// row in the working copy TMPF517PAGPRE. Within a declaration a payment is
// known by its voucher type, operation number and date.
class PagoPrevio
{
public:
    static inline const QString kCodTributo = QStringLiteral("071301"); // every row pays this tax
    static constexpr int kLargoOperacion = 8;

    explicit PagoPrevio(AccesoDatos &datos);

    // The local-currency amount: the dollars taken to the nearest whole number
    // times the rate, exact; nullopt when either text is not a number.
    static std::optional<Decimal> importeSoles(const QString &dolares, const QString &tipoCambio);
    // As its box shows it: "3,456" for 1000 dollars at 3.456, "0" when
    // either text is not a number (and empty for an amount of 0).
    static QString MontoSoles(const QString &dolares, const QString &tipoCambio);

    // The operation number trimmed and, when it is a number, written with
    // eight digits (123 is 00000123).
    static QString operacionRellena(const QString &operacion);

    // Dollar amounts while typed (no separators) and otherwise (separators;
    // 0 shows as an empty box).
    static QString dolaresEditables(const QString &texto);
    static QString dolaresMostrados(const QString &texto);
    // The rate while typed (3.400 is 3.4) and otherwise (3.400).
    static QString tipoCambioEditable(const QString &texto);
    static QString tipoCambioMostrado(const QString &texto);

    // The stored texts: whole numbers without separators, the rate with
    // three decimals.
    static QString importeAlmacenado(const QString &texto);
    static QString tipoCambioAlmacenado(const QString &texto);

    // A rate from 2 up to but not including 10.
    static bool tipoCambioEnRango(const QString &texto);
    // The rate is checked three times. While typing, on the text as it was
    // before the key: 10 or more, or more digits than three before or after
    // the point (that check shows its own message), empties the box.
    std::optional<HallazgoPago> revisaTipoCambioAlTeclear(const QString &anterior) const;
    // On leaving the box, and again on accepting: a rate outside the range.
    static std::optional<HallazgoPago> revisaTipoCambioAlSalir(const QString &texto);

    // The entry window's checks in their order, the first finding only. A
    // new payment is checked in full; a payment being changed has its key
    // locked, so only its amounts and rate are.
    std::optional<HallazgoPago> ValidaDatos(const DatosPagoPrevio &pago, bool nuevo) const;

    // Whether the declaration already has this payment; nullopt, with
    // `error` set, when the working copy could not be read.
    std::optional<bool> ExistePago(const DatosPagoPrevio &pago, ErrorBD *error = nullptr) const;

    // Adds the payment, or changes the amounts and rate of the stored one
    // with the same key. A failure has been reported and nothing is written.
    bool GrabaDatos(const DatosPagoPrevio &pago);

    // Whether the amounts or the rate differ from the list's row (its
    // amounts as the list shows them, its rate as stored), value by value.
    static bool DatosModificados(const DatosPagoPrevio &pago, const QVariantMap &fila);

    // The message of a statement that failed, as the shared routines show it.
    static HallazgoPago errorSentencia(const ErrorBD &error);

private:
    struct Clave
    {
        QString codBoleta;
        QString operacion;
        QString fecha; // ISO, as stored
    };
    static Clave claveDe(const DatosPagoPrevio &pago);

    AccesoDatos &m_datos;
};

} // namespace kv
