#pragma once

#include "store/basedatos.h"

#include <QDate>
#include <QString>
#include <QVariantMap>
#include <array>
#include <optional>

namespace kv {

class AccesoDatos;

// What the flight window holds: the texts of its boxes as the user sees
// them. The nine counts are in the window's box order (txtDatosDet 0 to 8),
// which is not the table's column order.
struct DatosVuelo
{
    static constexpr int kCantidades = 9;
    static constexpr int kTripulantes = 0;
    static constexpr int kAfectos = 8;

    QString fecha; // dd/mm/yyyy as the masked box shows it, "_" where nothing was typed
    QString codigo;
    std::array<QString, kCantidades> cantidades;
    QString impuesto; // tax in dollars, plain decimal text

    // The stored column of each count box ("num_tripulantes", "num_extrad"...).
    static QString columnaCantidad(int indice);
};

// The box a finding concerns, so that the window can put the focus on it.
enum class CampoVuelo { Fecha, Codigo, Cantidad };

struct HallazgoVuelo
{
    QString mensaje;
    CampoVuelo campo = CampoVuelo::Fecha;
    int indice = 0; // the count box, for CampoVuelo::Cantidad
};

// The rules of one flight of the working copy (TMPF517DETVP): its tax, its
// checks, the duplicate look-up and its row. The key of a new row is the
// open declaration (the context's RUC, period yyyymm and form); a flight is
// told apart inside it by its arrival date and code.
class DetalleVuelo
{
public:
    enum class Modo { Nuevo, Modificar };

    static const QString kNoSeGrabo; // "No se pudieron grabar los datos del vuelo."

    explicit DetalleVuelo(const AccesoDatos &datos);

    static Modo modo(const QString &accion) { return accion == u"MOD" ? Modo::Modificar : Modo::Nuevo; }

    // The tax of the flight: passengers subject to the tax × the rate in
    // force on the arrival date, as plain decimal text ("1500", "45.75");
    // empty when the passengers box is. While the date is not yet a date the
    // rate in force today stands in, until the date is typed.
    QString calcularImpuesto(const QString &fecha, const QString &afectos) const;

    // The checks of the accept button in their order; the first one that
    // fails, or nothing. In "MOD" the key (date and code) is not checked:
    // it is the stored flight's. `periodoMostrado` is the declaration's
    // period field (mm/yyyy). A database failure of the duplicate look-up
    // comes back as a finding with its number and text.
    std::optional<HallazgoVuelo> ValidaDatos(
        const DatosVuelo &vuelo, Modo modo, const QString &periodoMostrado) const;

    // The flight is already in the working copy of the open declaration:
    // the date and the code are compared as stored, through the table's key.
    bool ExisteVuelo(const QDate &fecha, const QString &codigo, ErrorBD *error = nullptr) const;

    // Adds the flight, or changes the counts and tax of the stored one with
    // the same date and code (its key stays). False, with `error`, when the
    // database refused: the working copy is left as it was.
    bool GrabaDatos(const DatosVuelo &vuelo, ErrorBD *error = nullptr) const;

    // The window loaded from the opener's grid row (fec_arribo as a date,
    // the other columns as stored).
    static DatosVuelo CargaDatos(const QVariantMap &fila);

    // The window differs from the grid row it was loaded from: date, code,
    // each count, or the tax as a whole number of dollars.
    static bool DatosModificados(const DatosVuelo &vuelo, const QVariantMap &fila);

private:
    const AccesoDatos &m_datos;
};

} // namespace kv
