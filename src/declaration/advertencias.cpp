#include "advertencias.h"

#include "store/contexto.h"
#include "store/dialecto.h"
#include "store/formato.h"
#include "store/numeros.h"

#include <QSqlQuery>
#include <algorithm>

namespace kv {

namespace {

const QString kMiles = QStringLiteral("###,###,###,##0");
const QString kPestanaVuelos = QStringLiteral("Vuelos y Cantidad de Pasajeros : ");

QString miles(std::int64_t n)
{
    return formato(Decimal::entero(n), kMiles);
}

// A flight's passengers subject to the tax, then the other people on
// board (the other eight counts).
QString cuentas(Motor motor)
{
    QStringList otros;
    for (const char *c : {"num_tripulantes", "num_personal", "num_transito", "num_arrfor", "num_diplo",
                          "num_extrad", "num_deport", "num_adqanterior"})
        otros << dialecto::entero(motor, QLatin1String(c));
    return dialecto::entero(motor, QStringLiteral("num_afectos")) + QStringLiteral(", ")
        + otros.join(QStringLiteral(" + "));
}

// The same columns of the sent copies of the periods (their latest correl)
// and of the saved declarations of the periods never sent. `columnas` are
// read from both tables as they are written, `condicion` narrows them.
ConsultaSql historia(const QString &tablaEnviada, const QString &tablaGuardada, const QString &columnas,
                     const QString &condicion, const QVariantList &clave, const QVariantList &deColumnas = {})
{
    const QString enRango = QStringLiteral(
        "tip_doc_d=6 AND doc_id_d=? AND formulario=? AND periodo>=? AND periodo<?");
    ConsultaSql c;
    c.sql = QStringLiteral("SELECT %1 FROM %2 h JOIN (SELECT periodo AS p, max(correl) AS ultimo FROM HCAB WHERE %4 "
                           "GROUP BY periodo) u ON h.periodo=u.p AND h.correl=u.ultimo "
                           "WHERE h.tip_doc_d=6 AND h.doc_id_d=? AND h.formulario=?%5 "
                           "UNION ALL SELECT %1 FROM %3 WHERE %4%5 AND periodo NOT IN "
                           "(SELECT periodo FROM HCAB WHERE %4)")
                .arg(columnas, tablaEnviada, tablaGuardada, enRango, condicion);
    c.valores << deColumnas << clave << clave.at(0) << clave.at(1) << deColumnas << clave << clave;
    return c;
}

// The median of sorted figures, doubled, so that it stays a whole number.
std::int64_t medianaDoble(const std::vector<std::int64_t> &v)
{
    const size_t n = v.size();
    return n % 2 ? 2 * v[n / 2] : v[n / 2 - 1] + v[n / 2];
}

// More than three times, or less than a third of, the median.
bool fueraDeLoHabitual(std::int64_t valor, const std::vector<std::int64_t> &anteriores)
{
    const std::int64_t m2 = medianaDoble(anteriores);
    return 2 * valor > Advertencias::kVecesLaMediana * m2 || 2 * Advertencias::kVecesLaMediana * valor < m2;
}

QString textoVuelo(const QDate &fecha, const QString &codigo)
{
    return QStringLiteral("Vuelo %1 del %2: ").arg(codigo, formato(fecha, u"dd/mm/yyyy"));
}

QString rango(const std::vector<std::int64_t> &v)
{
    return QStringLiteral("en los %1 meses anteriores llevó entre %2 y %3.")
        .arg(Advertencias::kPeriodosAnteriores)
        .arg(miles(v.front()), miles(v.back()));
}

void fallo(ErrorBD *destino, const ErrorBD &error)
{
    if (destino)
        *destino = error;
}

} // namespace

Advertencias::Advertencias(const AccesoDatos &datos) : m_datos(datos) {}

QString Advertencias::desplazarPeriodo(const QString &periodo, int meses)
{
    bool ok = periodo.size() == 6;
    const int anio = ok ? periodo.left(4).toInt(&ok) : 0;
    const int mes = ok ? periodo.mid(4).toInt(&ok) : 0;
    if (!ok || mes < 1 || mes > 12)
        return {};
    const QDate fecha = QDate(anio, mes, 1).addMonths(meses);
    return formato(fecha, u"yyyymm");
}

bool Advertencias::leer(ErrorBD *error)
{
    const Contexto &ctx = m_datos.contexto();
    const Motor motor = motorDe(ctx.db());
    m_periodo = ctx.sPeriodo;
    m_vuelos.clear();
    m_historial.clear();
    m_anteriorPorDia.clear();
    m_casillas.clear();
    m_error.reset();
    const QString columnasVuelo = QStringLiteral("cod_vuelo, ") + cuentas(motor);

    ErrorBD e;
    QSqlQuery q = m_datos.consultar(
        QStringLiteral("SELECT %1, fec_arribo, mto_dolar FROM TMPF517DETVP WHERE tip_doc_d=6 AND doc_id_d=? "
                       "AND periodo=? AND formulario=? ORDER BY fec_arribo, cod_vuelo")
            .arg(columnasVuelo),
        {ctx.sRuc, ctx.sPeriodo, ctx.sFormulario}, &e);
    while (!e.hay() && q.next()) {
        const std::int64_t afectos = q.value(1).toLongLong();
        Vuelo v{fechaGuardada(q.value(3)), q.value(0).toString().trimmed(), afectos, afectos + q.value(2).toLongLong(),
                {}};
        if (const auto d = Decimal::leer(q.value(4).toString().trimmed()))
            v.dolares = *d;
        m_vuelos << v;
    }
    if (e.hay()) {
        m_error = e;
        fallo(error, e);
        return false;
    }

    const QString desde = desplazarPeriodo(m_periodo, -kPeriodosAnteriores);
    if (desde.isEmpty())
        return true; // no period chosen yet: nothing to compare with
    const QVariantList clave{ctx.sRuc, ctx.sFormulario, desde, m_periodo};
    const QString anterior = periodoAnterior();

    // The day of the month before, or 0 for the other periods: the
    // picture's line, without reading every date.
    q = m_datos.consultar(
        historia(QStringLiteral("HF517DETVP"), QStringLiteral("F517DETVP"),
                 columnasVuelo + QStringLiteral(", CASE WHEN periodo=? THEN %1 ELSE 0 END")
                                     .arg(dialecto::entero(motor, QStringLiteral("substr(fec_arribo,9,2)"))),
                 {}, clave, {anterior}),
        &e);
    while (!e.hay() && q.next()) {
        Historial &h = m_historial[q.value(0).toString().trimmed()];
        const std::int64_t afectos = q.value(1).toLongLong();
        h.afectos.push_back(afectos);
        h.aBordo.push_back(afectos + q.value(2).toLongLong());
        if (const int dia = q.value(3).toInt(); dia > 0)
            m_anteriorPorDia[dia] += afectos;
    }
    for (Historial &h : m_historial) {
        std::sort(h.afectos.begin(), h.afectos.end());
        std::sort(h.aBordo.begin(), h.aBordo.end());
    }
    if (!e.hay()) {
        // Box 395 is written by every save (0 without flights): a period
        // with any of the three has a declaration, and no 393 means none
        // subject to the tax.
        q = m_datos.consultar(historia(QStringLiteral("HDET"), QStringLiteral("DET"),
                                       QStringLiteral("periodo, casilla, i_valor"),
                                       QStringLiteral(" AND casilla IN ('393','395','397')"), clave),
                              &e);
    }
    while (!e.hay() && q.next()) {
        CasillasPeriodo &c = m_casillas[q.value(0).toString()];
        const QString casilla = q.value(1).toString().trimmed();
        const auto valor = convertirNumero(q.value(2).toString());
        if (casilla == u"393" && valor)
            c.afectos = valor->aEntero();
        else if (casilla == u"397" && valor && valor->signo() > 0)
            c.tipoCambio = *valor;
    }
    if (e.hay()) {
        m_error = e;
        fallo(error, e);
        return false;
    }
    return true;
}

std::optional<Advertencia> Advertencias::revisarVuelo(const Vuelo &vuelo) const
{
    Advertencia a{Advertencia::Regla::AfectosFueraDeLoHabitual, {}, CampoDeclaracion::Vuelo, {}, vuelo.fecha,
                  vuelo.codigo};
    const QString inicio = textoVuelo(vuelo.fecha, vuelo.codigo);
    const auto h = m_historial.constFind(vuelo.codigo);
    const bool comparable = h != m_historial.cend() && h->afectos.size() >= size_t(kVuelosParaComparar);
    if (comparable && fueraDeLoHabitual(vuelo.afectos, h->afectos)) {
        a.mensaje = inicio + miles(vuelo.afectos) + QStringLiteral(" pasajeros comprendidos; ") + rango(h->afectos);
        return a;
    }
    if (vuelo.aBordo > kMaximoABordo) {
        a.regla = Advertencia::Regla::MasQueUnAvion;
        a.mensaje = inicio + miles(vuelo.aBordo)
            + QStringLiteral(" personas a bordo; ningún avión de pasajeros lleva más de %1.").arg(kMaximoABordo);
        return a;
    }
    if (comparable && fueraDeLoHabitual(vuelo.aBordo, h->aBordo)) {
        a.regla = Advertencia::Regla::TotalFueraDeLoHabitual;
        a.mensaje = inicio + miles(vuelo.aBordo) + QStringLiteral(" personas a bordo; ") + rango(h->aBordo);
        return a;
    }
    return std::nullopt;
}

std::optional<Advertencia> Advertencias::revisar393(const QString &texto) const
{
    const auto actual = convertirNumero(texto);
    const auto n = std::int64_t(m_casillas.size());
    if (!actual || n < 2)
        return std::nullopt;
    std::int64_t suma = 0;
    for (const CasillasPeriodo &c : m_casillas)
        suma += c.afectos;
    // |actual − promedio| > promedio / 2, in whole numbers.
    const Decimal diferencia = (*actual * Decimal::entero(n) - Decimal::entero(suma)).abs();
    if (!(diferencia * Decimal(2) > Decimal::entero(suma)))
        return std::nullopt;
    const Decimal promedio = Decimal::entero(suma) / Decimal::entero(n);
    return Advertencia{Advertencia::Regla::Casilla393,
                       kPestanaVuelos
                           + QStringLiteral("%1 (Casilla 393) %2; el promedio de los %3 meses anteriores "
                                            "declarados es %4.")
                                 .arg(Declaracion::etiquetaCasilla(QStringLiteral("393")),
                                      formato(*actual, kMiles))
                                 .arg(n)
                                 .arg(formato(promedio, kMiles)),
                       CampoDeclaracion::Casilla,
                       QStringLiteral("393"),
                       {},
                       {}};
}

std::optional<Advertencia> Advertencias::revisar397(const QString &texto) const
{
    const auto actual = convertirNumero(texto);
    if (!actual || actual->signo() <= 0)
        return std::nullopt;
    for (auto it = m_casillas.cend(); it != m_casillas.cbegin();) {
        --it;
        if (!it->tipoCambio)
            continue;
        const Decimal anterior = *it->tipoCambio;
        if (!((*actual - anterior).abs() * Decimal(100) > anterior * Decimal(5)))
            return std::nullopt;
        return Advertencia{Advertencia::Regla::Casilla397,
                           kPestanaVuelos
                               + QStringLiteral("%1 (Casilla 397) %2; en la declaración de %3 fue %4.")
                                     .arg(Declaracion::etiquetaCasilla(QStringLiteral("397")),
                                          formato(*actual, u"##0.000"), Declaracion::periodoMostrado(it.key()),
                                          formato(anterior, u"##0.000")),
                           CampoDeclaracion::Casilla,
                           QStringLiteral("397"),
                           {},
                           {}};
    }
    return std::nullopt;
}

QList<Advertencia> Advertencias::revisarVuelos() const
{
    QList<Advertencia> r;
    if (m_error) {
        r << Advertencia{Advertencia::Regla::SinHistorial,
                         QStringLiteral("No se pudieron leer las declaraciones anteriores para compararlas: ")
                             + m_error->texto,
                         CampoDeclaracion::Ninguno,
                         {},
                         {},
                         {}};
        return r;
    }
    for (const Vuelo &v : m_vuelos) {
        if (auto a = revisarVuelo(v))
            r << *a;
    }
    return r;
}

QList<Advertencia> Advertencias::revisar(const QString &texto393, const QString &texto397) const
{
    QList<Advertencia> r = revisarVuelos();
    if (m_error)
        return r;
    if (auto a = revisar393(texto393))
        r << *a;
    if (auto a = revisar397(texto397))
        r << *a;
    return r;
}

QList<DiaDelMes> Advertencias::dias(const QList<Advertencia> &advertencias) const
{
    QList<DiaDelMes> r;
    bool ok = m_periodo.size() == 6;
    const int anio = ok ? m_periodo.left(4).toInt(&ok) : 0;
    const int mes = ok ? m_periodo.mid(4).toInt(&ok) : 0;
    const QDate primero(anio, mes, 1);
    if (!ok || !primero.isValid())
        return r;
    const QDate inicioAnterior = primero.addMonths(-1);
    const bool hayAnterior = hayPeriodoAnterior();
    for (int d = 1; d <= primero.daysInMonth(); ++d) {
        DiaDelMes dia;
        dia.fecha = QDate(anio, mes, d);
        if (hayAnterior && d <= inicioAnterior.daysInMonth())
            dia.afectosAnterior = m_anteriorPorDia.value(d);
        r << dia;
    }
    for (const Vuelo &v : m_vuelos) {
        if (v.fecha.year() != anio || v.fecha.month() != mes)
            continue;
        DiaDelMes &dia = r[v.fecha.day() - 1];
        ++dia.vuelos;
        dia.afectos += v.afectos;
        dia.dolares += v.dolares;
    }
    for (const Advertencia &a : advertencias) {
        if (a.campo == CampoDeclaracion::Vuelo && a.fecArribo.year() == anio && a.fecArribo.month() == mes)
            r[a.fecArribo.day() - 1].advertido = true;
    }
    return r;
}

} // namespace kv
