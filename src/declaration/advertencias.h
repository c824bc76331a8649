#pragma once

#include "declaracion.h"
#include "store/decimal.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace kv {

// A figure that breaks no rule but is unlike what the same taxpayer
// declared before: most often a typing slip (1,630 for 163). It is told
// after the findings and never stops a save.
struct Advertencia
{
    enum class Regla {
        AfectosFueraDeLoHabitual, // a flight's passengers subject to the tax against its code's median
        MasQueUnAvion, // more people on board than any passenger aircraft carries
        TotalFueraDeLoHabitual, // a flight's people on board against its code's median
        Casilla393, // the month's passengers subject to the tax against the average of earlier months
        Casilla397, // the exchange rate against the latest earlier declaration
        SinHistorial, // the earlier declarations could not be read
    };

    Regla regla;
    QString mensaje;
    CampoDeclaracion campo = CampoDeclaracion::Ninguno; // Vuelo or Casilla
    QString casilla; // campo Casilla
    QDate fecArribo; // campo Vuelo: the flight's row
    QString codVuelo;
};

// One day of the declared month as its picture shows it.
struct DiaDelMes
{
    QDate fecha;
    int vuelos = 0;
    std::int64_t afectos = 0; // passengers subject to the tax
    Decimal dolares; // the flights' tax in US dollars
    // The same day of the month before; nothing when that month has no
    // declaration or no such day (the 31st after a month of 30).
    std::optional<std::int64_t> afectosAnterior;
    bool advertido = false; // a flight of the day is warned about
};

// The taxpayer's own history against the declaration open in the working
// copy (the context's RUC, period and form): its flights and boxes 393 and
// 397 compared with what was declared in the six periods before. For each
// of those periods the sent copy counts when there is one (its latest
// correl, as HCAB lists it), else the saved one; a period that was saved
// and sent counts once.
//
// What is warned about:
// - a flight whose passengers subject to the tax, or whose people on board,
//   are more than three times or less than a third of the median of its
//   code's earlier flights (a code compared only once it has flown three
//   times in those periods);
// - a flight with more people on board than any passenger aircraft carries
//   (853), whatever the history;
// - box 393 more than half above or below the average of the earlier
//   periods with a declaration, when there are at least two;
// - box 397 more than 5% away from the rate of the latest earlier
//   declaration that has one.
// A flight gets one warning, the first of those that applies to it.
//
// `leer` runs three queries (the working copy's flights, the earlier
// flights, the earlier boxes) whatever the number of flights.
class Advertencias
{
public:
    static constexpr int kPeriodosAnteriores = 6;
    static constexpr int kVuelosParaComparar = 3;
    static constexpr int kVecesLaMediana = 3;
    static constexpr std::int64_t kMaximoABordo = 853;

    explicit Advertencias(const AccesoDatos &datos);

    // Reads the working copy and the history; false, with `error`, when the
    // database refused (what was read before stays).
    bool leer(ErrorBD *error = nullptr);

    // The warnings for the flights read and for boxes 393 and 397 as the
    // window shows them ("4,780", "3.450"); flights in arrival order first.
    QList<Advertencia> revisar(const QString &texto393, const QString &texto397) const;
    // The flights' warnings alone.
    QList<Advertencia> revisarVuelos() const;

    // Every day of the declared month, with the flights that arrived on it.
    QList<DiaDelMes> dias(const QList<Advertencia> &advertencias) const;
    QString periodo() const { return m_periodo; }
    QString periodoAnterior() const { return desplazarPeriodo(m_periodo, -1); }
    bool hayPeriodoAnterior() const { return m_casillas.contains(periodoAnterior()); }

    // yyyymm moved by whole months; empty when it is not a period.
    static QString desplazarPeriodo(const QString &periodo, int meses);

private:
    struct Vuelo
    {
        QDate fecha;
        QString codigo;
        std::int64_t afectos = 0;
        std::int64_t aBordo = 0;
        Decimal dolares;
    };
    // A code's earlier flights, each figure sorted.
    struct Historial
    {
        std::vector<std::int64_t> afectos;
        std::vector<std::int64_t> aBordo;
    };
    // What an earlier period declared in boxes 393 and 397.
    struct CasillasPeriodo
    {
        std::int64_t afectos = 0;
        std::optional<Decimal> tipoCambio;
    };

    std::optional<Advertencia> revisarVuelo(const Vuelo &vuelo) const;
    std::optional<Advertencia> revisar393(const QString &texto) const;
    std::optional<Advertencia> revisar397(const QString &texto) const;

    const AccesoDatos &m_datos;
    QString m_periodo;
    QList<Vuelo> m_vuelos; // the working copy, in arrival order
    QHash<QString, Historial> m_historial; // by flight code
    // The month before, people subject to the tax by day of the month.
    QHash<int, std::int64_t> m_anteriorPorDia;
    QMap<QString, CasillasPeriodo> m_casillas; // by period, the earlier ones that have a declaration
    std::optional<ErrorBD> m_error;
};

} // namespace kv
