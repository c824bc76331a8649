#include "casillas.h"

#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/dialecto.h"
#include "store/formato.h"
#include "store/numeros.h"
#include "store/utilidad.h"

#include <QScopedValueRollback>

namespace kv {

namespace {

const QString kMiles = QStringLiteral("###,###,###,##0");
const QString kDeduccion = QStringLiteral("(###,###,###,##0)");

bool esDeduccion(int casilla)
{
    return casilla == 402 || casilla == 403;
}

// The text a box shows for editing: a plain number.
QString numeroParaEditar(int casilla, const QString &texto)
{
    if (esDeduccion(casilla)) {
        const auto n = convertirNumero(texto);
        return n ? formato(n->abs(), u"###########0") : texto;
    }
    if (casilla == 397) {
        const auto n = convertirNumero(formato(texto, u"#########.000"));
        return n ? n->texto() : texto;
    }
    // "############" writes nothing for zero, which reads back as 0.
    const QString sinSeparadores = formato(texto, u"############");
    if (sinSeparadores.isEmpty())
        return QStringLiteral("0");
    const auto n = convertirNumero(sinSeparadores);
    return n ? n->texto() : texto;
}

// The text a box shows once the focus has left it.
QString numeroParaLeer(int casilla, const QString &texto)
{
    if (casilla == 397)
        return texto == u"." ? QString() : formato(texto, u"#.000");
    if (esDeduccion(casilla)) {
        const QString t = texto.trimmed();
        const auto n = convertirNumero(t);
        return t.isEmpty() || t == u"0" || !n ? texto : formato(n->abs(), kDeduccion);
    }
    return formato(texto, u"##,###,###,##0;(##,###,###,##0)");
}

} // namespace

void CambiosCasillas::unir(const CambiosCasillas &otros)
{
    for (int c : otros.casillas)
        agregar(c);
    impSoles = impSoles || otros.impSoles;
    importe = importe || otros.importe;
    if (otros.longitud != 0)
        longitud = otros.longitud;
}

QMap<int, QString> TotalesVuelos::textos() const
{
    QMap<int, QString> t;
    if (vuelos == 0) {
        for (int c = 390; c <= 394; ++c)
            t.insert(c, QString());
        t.insert(395, QStringLiteral("0"));
        t.insert(396, QStringLiteral("0"));
        return t;
    }
    const auto miles = [](std::int64_t n) { return formato(Decimal::entero(n), kMiles); };
    t.insert(390, miles(tripulacion + pasajeros));
    t.insert(391, miles(tripulacion));
    t.insert(392, miles(pasajeros));
    t.insert(393, miles(afectos));
    t.insert(394, miles(pasajeros + afectos));
    t.insert(395, miles(vuelos));
    t.insert(396, formato(dolares, kMiles));
    return t;
}

std::optional<TotalesVuelos> leerTotalesVuelos(const AccesoDatos &datos, ErrorBD *error)
{
    // Counts are whole numbers and sum as integers, column by column (a
    // missing count leaves the row's other counts in their sums). A flight's
    // tax is a whole number of dollars too, except where a rate with cents
    // gave a fraction: the whole parts are summed here and those few rows'
    // fractions added afterwards as exact decimals, never as binary reals.
    static const QString kDe
        = QStringLiteral(" FROM TMPF517DETVP WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? "
                         "AND formulario=?");
    const Contexto &ctx = datos.contexto();
    const Motor motor = motorDe(ctx.db());
    QString sumas = QStringLiteral("SELECT count(*)");
    for (const char *c : { "num_tripulantes", "num_personal", "num_transito", "num_arrfor", "num_diplo",
             "num_extrad", "num_deport", "num_adqanterior", "num_afectos", "mto_dolar" })
        sumas += QStringLiteral(", sum(") + dialecto::entero(motor, QLatin1String(c)) + u')';
    sumas += QStringLiteral(", count(CASE WHEN mto_dolar LIKE '%.%' THEN 1 END)") + kDe;
    const QVariantList clave = { ctx.sRuc, ctx.sPeriodo, ctx.sFormulario };
    ErrorBD fallo;
    QSqlQuery q = datos.consultar(sumas, clave, &fallo);
    if (fallo.hay() || !q.next()) {
        if (error)
            *error = fallo;
        return std::nullopt;
    }
    const auto suma = [&q](int desde, int hasta) {
        std::int64_t n = 0;
        for (int i = desde; i <= hasta; ++i)
            n += q.value(i).toLongLong();
        return n;
    };
    TotalesVuelos t;
    t.vuelos = q.value(0).toLongLong();
    t.tripulacion = suma(1, 2);
    t.pasajeros = suma(3, 8);
    t.afectos = suma(9, 9);
    t.dolares = Decimal::entero(q.value(10).toLongLong());
    if (q.value(11).toLongLong() > 0) {
        QSqlQuery fracciones = datos.consultar(QStringLiteral("SELECT mto_dolar, ") + dialecto::entero(motor, QStringLiteral("mto_dolar"))
                + kDe + QStringLiteral(" AND mto_dolar LIKE '%.%'"),
            clave, &fallo);
        while (!fallo.hay() && fracciones.next()) {
            if (const auto n = convertirNumero(fracciones.value(0).toString()))
                t.dolares += *n - Decimal::entero(fracciones.value(1).toLongLong());
        }
    }
    if (error)
        *error = fallo;
    if (fallo.hay())
        return std::nullopt;
    return t;
}

const QList<int> &Casillas::lista()
{
    static const QList<int> casillas
        = { 390, 391, 392, 393, 394, 395, 396, 397, 401, 402, 403, 404, 405, 406, 410 };
    return casillas;
}

bool Casillas::esCalculada(int casilla)
{
    return (casilla >= 390 && casilla <= 396) || casilla == 401 || casilla == 404 || casilla == 406;
}

QString Casillas::textoMasAncho(int casilla)
{
    if (casilla == 397)
        return numeroParaLeer(casilla, QStringLiteral("9.999"));
    const QString cifra(longitudInicial(casilla), u'9');
    return formato(cifra, esDeduccion(casilla) ? kDeduccion : kMiles);
}

Casillas::Casillas(const AccesoDatos &datos)
    : m_datos(datos)
{
    for (int c : lista())
        m_textos.insert(c, QString());
}

CambiosCasillas Casillas::registrar(const std::function<void()> &accion)
{
    CambiosCasillas cambios;
    CambiosCasillas *anterior = m_cambios;
    m_cambios = &cambios;
    accion();
    m_cambios = anterior;
    if (anterior)
        anterior->unir(cambios);
    return cambios;
}

// Every change of a text runs what depends on it, as a box's change event
// does: only a real change counts.
void Casillas::poner(int casilla, const QString &texto)
{
    const auto it = m_textos.find(casilla);
    if (it == m_textos.end() || *it == texto)
        return;
    *it = texto;
    if (m_cambios)
        m_cambios->agregar(casilla);
    encadenar(casilla);
}

void Casillas::ponerImpSoles(const QString &texto)
{
    if (m_impSoles == texto)
        return;
    m_impSoles = texto;
    if (m_cambios)
        m_cambios->impSoles = true;
    poner(401, texto);
}

void Casillas::encadenar(int casilla)
{
    // A stored figure is shown as it was stored; the panel's amount still
    // follows box 410.
    if (m_cargando && casilla != 410)
        return;
    switch (casilla) {
    case 396:
    case 397:
        calcular401();
        break;
    case 401:
    case 402:
    case 403:
        calcular404();
        break;
    case 404:
    case 405:
        calcular406();
        break;
    case 410:
        if (m_cambios)
            m_cambios->importe = true;
        break;
    default:
        break;
    }
}

CambiosCasillas Casillas::cambiar(int casilla, const QString &texto)
{
    return registrar([&] { poner(casilla, texto); });
}

CambiosCasillas Casillas::cambiarImpSoles(const QString &texto)
{
    return registrar([&] { ponerImpSoles(texto); });
}

bool Casillas::Vacio(int casilla) const
{
    return texto(casilla).trimmed().isEmpty();
}

Decimal Casillas::Vale(int casilla) const
{
    const QString t = texto(casilla);
    if (casilla == 397)
        return valorRedondeado(t, 3).abs();
    if (esDeduccion(casilla))
        return valorRedondeado(t, 0).abs();
    return valorRedondeado(t, 0);
}

void Casillas::forma(int casilla)
{
    const auto n = convertirNumero(texto(casilla));
    if (!n)
        poner(casilla, QString());
    else if (esDeduccion(casilla))
        poner(casilla, formato(n->abs(), kDeduccion));
    else
        poner(casilla, n->signo() < 0 ? QStringLiteral("0") : formato(*n, kMiles));
}

CambiosCasillas Casillas::Forma(int casilla)
{
    return registrar([&] { forma(casilla); });
}

void Casillas::calcular401()
{
    if (Vacio(396) && Vacio(397)) {
        poner(401, QString());
        ponerImpSoles(QString());
        return;
    }
    // 396 is read back rounded, the rate in thousandths: the product is exact.
    const Decimal producto = Vale(396) * Vale(397);
    poner(401, producto.texto());
    ponerImpSoles(producto.texto());
    ponerImpSoles(producto.signo() < 0 ? QStringLiteral("0") : formato(producto, kMiles));
    forma(401);
}

void Casillas::calcular404()
{
    if (Vacio(401) && Vacio(402) && Vacio(403)) {
        poner(404, QString());
        return;
    }
    const Decimal saldo = Vale(401) - Vale(402) - Vale(403);
    if (saldo.signo() >= 0) {
        poner(404, saldo.texto());
        forma(404);
    } else {
        poner(404, QStringLiteral("0"));
    }
}

void Casillas::calcular406()
{
    if (Vacio(404) && Vacio(405)) {
        poner(406, QString());
        return;
    }
    poner(406, (Vale(405) + Vale(404)).texto());
    forma(406);
}

CambiosCasillas Casillas::cargar(const QMap<int, QString> &valores)
{
    const QScopedValueRollback<bool> cargando(m_cargando, true);
    return registrar([&] {
        for (auto it = valores.cbegin(); it != valores.cend(); ++it)
            poner(it.key(), it.value());
        if (valores.contains(401))
            ponerImpSoles(valores.value(401));
        // Each box reads as it does once the focus has left it: the
        // computed ones never take the focus, and a figure must not read
        // one way until it is touched and another way after. 402 and 403
        // are deductions, in parentheses.
        for (int casilla : lista()) {
            if (esCalculada(casilla) || esDeduccion(casilla))
                forma(casilla);
            else
                poner(casilla, numeroParaLeer(casilla, texto(casilla)));
        }
        if (!Vacio(401))
            ponerImpSoles(texto(401));
    });
}

CambiosCasillas Casillas::Calcular401()
{
    return registrar([this] { calcular401(); });
}

CambiosCasillas Casillas::Calcular404()
{
    return registrar([this] { calcular404(); });
}

CambiosCasillas Casillas::Calcular406()
{
    return registrar([this] { calcular406(); });
}

CambiosCasillas Casillas::fijarTotales(const TotalesVuelos &totales)
{
    const QMap<int, QString> textos = totales.textos();
    return registrar([&] {
        poner(395, textos.value(395));
        for (int c : { 390, 391, 392, 393, 394, 396 })
            poner(c, textos.value(c));
    });
}

CambiosCasillas Casillas::TotalizaVuelos(ErrorBD *error)
{
    const auto totales = leerTotalesVuelos(m_datos, error);
    return totales ? fijarTotales(*totales) : CambiosCasillas {};
}

CambiosCasillas Casillas::alEntrar(int casilla)
{
    if (esCalculada(casilla) || !m_textos.contains(casilla))
        return {};
    CambiosCasillas cambios = registrar([&] {
        if (!m_historico && !Vacio(casilla))
            poner(casilla, numeroParaEditar(casilla, texto(casilla)));
    });
    cambios.longitud = casilla == 397 ? 5 : 12;
    return cambios;
}

CambiosCasillas Casillas::alSalir(int casilla)
{
    if (esCalculada(casilla) || !m_textos.contains(casilla))
        return {};
    CambiosCasillas cambios = registrar([&] {
        if (!m_historico)
            poner(casilla, numeroParaLeer(casilla, texto(casilla)));
    });
    cambios.longitud = casilla == 397 ? 5 : 14;
    return cambios;
}

DecisionTecla Casillas::tecla(int casilla, int codigo) const
{
    using A = DecisionTecla::Accion;
    if (esCalculada(casilla) || !m_textos.contains(casilla))
        return { A::Descartar, {} };
    if (casilla == 403)
        return { A::AbrirPagosPrevios, {} };

    const Utilidad &utilidad = *m_datos.contexto().utilidad;
    const QString actual = texto(casilla);
    int tecla = utilidad.filtroNumerico(codigo, Utilidad::PermitePunto);
    if (tecla == '.' && actual.contains(u'.'))
        tecla = 0;
    if (casilla == 397) {
        // The text before the key is checked at every key: a rate of 10 or
        // more, or more digits than 1 whole and 3 decimals, is refused at
        // the next keystroke and the box starts again.
        if (val(actual) >= Decimal(10))
            return { A::Vaciar, QStringLiteral("El tipo de cambio debe ser menor a 10") };
        QString copia = actual;
        if (!m_datos.ValidaDecimales(copia, 3))
            return { A::Vaciar, {} };
    } else if (tecla != 0) {
        tecla = utilidad.filtroNumerico(tecla); // amounts take no point
    }
    if (tecla == 0)
        return { A::Descartar, {} };
    if (tecla == Utilidad::kTeclaEnter)
        return { A::PasarFoco, {} };
    return { A::Aceptar, {} };
}

DecisionTecla Casillas::suprimir(int casilla) const
{
    if (casilla == 403)
        return { DecisionTecla::Accion::AbrirPagosPrevios, {} };
    if (esCalculada(casilla))
        return { DecisionTecla::Accion::Descartar, {} };
    return {};
}

std::optional<QString> Casillas::SaldoaPagar() const
{
    return SaldoaPagar(texto(410), texto(406));
}

std::optional<QString> Casillas::SaldoaPagar(const QString &texto410, const QString &texto406)
{
    const auto pagado = convertirNumero(texto410);
    const auto deuda = convertirNumero(texto406);
    if (!pagado || !deuda || *pagado == *deuda)
        return std::nullopt;
    return *pagado > *deuda ? QStringLiteral("El importe a pagar tiene un exceso\n")
                            : QStringLiteral("KORVAL generará una orden de pago por la diferencia.\n");
}

} // namespace kv
