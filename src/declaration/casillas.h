#pragma once

#include "store/basedatos.h"
#include "store/decimal.h"

#include <QList>
#include <QMap>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace kv {

class AccesoDatos;

// What one event did to the boxes, for the window to show: it writes
// `Casillas::texto` into each box listed (and into txtImpSoles, and box
// 410's text into the payment panel's importe, when flagged), and then
// applies the length limit when one is given. A window that sets a box
// itself passes that text back through `Casillas::cambiar`.
struct CambiosCasillas
{
    QList<int> casillas; // boxes whose text changed, each once, first change first
    bool impSoles = false; // txtImpSoles changed
    bool importe = false; // the payment panel's importe follows box 410
    int longitud = 0; // the box's new length limit for typing; 0: unchanged

    void agregar(int casilla)
    {
        if (!casillas.contains(casilla))
            casillas.append(casilla);
    }
    void unir(const CambiosCasillas &otros);
    bool vacio() const { return casillas.isEmpty() && !impSoles && !importe && longitud == 0; }
};

// What to do with a key typed in a box.
struct DecisionTecla
{
    enum class Accion {
        Aceptar, // the key goes into the box
        Descartar, // the key is dropped
        PasarFoco, // Enter: the focus moves to the next field
        Vaciar, // the key is dropped and the box emptied (after `mensaje`, if any)
        AbrirPagosPrevios // the key is dropped and "ListaPagosPrevios" opens; the declaration is modified
    };
    Accion accion = Accion::Aceptar;
    QString mensaje; // shown first with the window's caption and the critical icon; empty: none
};

// The flights of the working copy summed for boxes 390 to 396.
struct TotalesVuelos
{
    std::int64_t tripulacion = 0; // crew and airline staff (391)
    std::int64_t pasajeros
        = 0; // transit, forced arrival, diplomats, extradited, deported, bought before (392)
    std::int64_t afectos = 0; // passengers subject to the tax (393)
    std::int64_t vuelos = 0; // rows (395)
    Decimal dolares; // the flights' tax, exact (396)

    // Boxes 390 to 396 as they are shown: whole numbers with thousands
    // separators (396 rounded, halves away from zero); with no flights
    // 390 to 394 empty and 395 and 396 "0".
    QMap<int, QString> textos() const;
};

// The flights of the open declaration (the context's RUC, period and form)
// in one aggregate query over the working copy; nothing, with `error`, when
// the database refused.
std::optional<TotalesVuelos> leerTotalesVuelos(const AccesoDatos &datos, ErrorBD *error = nullptr);

// The declaration's figures: the texts of boxes 390 to 397, 401 to 406 and
// 410 and of txtImpSoles (box 401 shown again on the flights tab), and the
// rules that tie them: what each change recomputes, how a box is shown
// while it is edited and after, which keys it takes, and the warning about
// the amount paid. Whole soles and dollars, the rate in thousandths; every
// figure is read back from the rounded text a box shows.
class Casillas
{
public:
    static const QList<int> &lista(); // 390 ... 397, 401 ... 406, 410
    // Computed boxes: locked, grey, never edited (390 to 396, 401, 404, 406).
    static bool esCalculada(int casilla);
    // Longest text typed into a box, before it is first edited.
    static int longitudInicial(int casilla) { return casilla == 397 ? 5 : 14; }
    // The widest text a box shows: a figure of as many digits as that
    // length, in the box's own form (separators; parentheses for 402 and
    // 403); for the rate, one whole and three decimals.
    static QString textoMasAncho(int casilla);

    explicit Casillas(const AccesoDatos &datos);

    // Sent declarations are only looked at: boxes keep their shown form
    // when the focus comes and goes.
    void setHistorico(bool historico) { m_historico = historico; }

    QString texto(int casilla) const { return m_textos.value(casilla); }
    QString textoImpSoles() const { return m_impSoles; }

    // A box's text changed (typed, pasted, set by the window): the boxes
    // that depend on it are recomputed.
    CambiosCasillas cambiar(int casilla, const QString &texto);
    CambiosCasillas cambiarImpSoles(const QString &texto);

    bool Vacio(int casilla) const;
    // The figure of a box: 397 in thousandths, positive; 402 and 403 whole,
    // positive (they are deductions); the others whole; 0 when empty.
    Decimal Vale(int casilla) const;
    // Shows a box in its display form ("1,234", "(1,234)" for 402 and 403).
    CambiosCasillas Forma(int casilla);

    CambiosCasillas Calcular401(); // 396 × 397
    CambiosCasillas Calcular404(); // 401 − 402 − 403, never below 0
    CambiosCasillas Calcular406(); // 404 + 405

    // A stored declaration's figures (plain numbers by box number), each
    // then shown as it reads when not being edited, and box 401 again as
    // txtImpSoles. Nothing is recomputed: 401, 404 and 406 keep what was
    // stored until the user changes a box they follow.
    CambiosCasillas cargar(const QMap<int, QString> &valores);

    // Boxes 390 to 396 from the working copy, and what follows from them.
    CambiosCasillas TotalizaVuelos(ErrorBD *error = nullptr);
    CambiosCasillas fijarTotales(const TotalesVuelos &totales);

    // The focus comes into / leaves an editable box: its text for editing
    // (a plain number) or for reading (separators, parentheses, three
    // decimals for the rate) and its length limit. Nothing for a computed box.
    CambiosCasillas alEntrar(int casilla);
    CambiosCasillas alSalir(int casilla);

    // A key typed in a box, by character code (8 Backspace, 13 Enter),
    // judged on the box's text before the key. The rate's check of its text
    // shows ValidaDecimales's own message through the message service.
    DecisionTecla tecla(int casilla, int codigo) const;
    // The Delete key: in box 403 it opens the previous payments too.
    DecisionTecla suprimir(int casilla) const;

    // The amount paid (410) against the total debt (406), when both are
    // numbers: the warning to show (information icon, line feed included),
    // or nothing when they are equal. It does not make the declaration
    // inconsistent.
    std::optional<QString> SaldoaPagar() const;
    // The same warning for the texts of boxes 410 and 406 as they are shown.
    static std::optional<QString> SaldoaPagar(const QString &texto410, const QString &texto406);

private:
    CambiosCasillas registrar(const std::function<void()> &accion);
    void poner(int casilla, const QString &texto);
    void ponerImpSoles(const QString &texto);
    void encadenar(int casilla);
    void forma(int casilla);
    void calcular401();
    void calcular404();
    void calcular406();

    const AccesoDatos &m_datos;
    QMap<int, QString> m_textos;
    QString m_impSoles;
    bool m_historico = false;
    bool m_cargando = false; // the stored figures are being shown: no recomputation
    CambiosCasillas *m_cambios = nullptr;
};

} // namespace kv
