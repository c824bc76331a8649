#include "pagoprevio.h"

#include "store/contexto.h"
#include "store/formato.h"
#include "store/mensajes.h"
#include "store/numeros.h"
#include "store/reloj.h"
#include "store/utilidad.h"

#include <QSqlQuery>

namespace kv {

namespace {

const QString kPrimerDia = QStringLiteral("17/02/2003"); // the tax's first day
const QString kFechaMinima = QStringLiteral("01/01/1850");
const QString kFechaMaxima = QStringLiteral("01/01/2500");

const Decimal kTipoCambioMinimo = 2;
const Decimal kTipoCambioTope = 10;

HallazgoPago hallazgo(const char *texto, CampoPago campo)
{
    return HallazgoPago{QString::fromUtf8(texto), campo, {}};
}

} // namespace

ConsultaSql filtroDeclaracion(const Contexto &contexto)
{
    return {QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=? AND Periodo=? AND formulario=?"),
            {contexto.sRuc, contexto.sPeriodo, contexto.sFormulario}};
}

PagoPrevio::PagoPrevio(AccesoDatos &datos) : m_datos(datos) {}

std::optional<Decimal> PagoPrevio::importeSoles(const QString &dolares, const QString &tipoCambio)
{
    const auto d = convertirNumero(dolares);
    const auto t = convertirNumero(tipoCambio);
    if (!d || !t)
        return std::nullopt;
    return d->redondeado(0) * *t;
}

QString PagoPrevio::MontoSoles(const QString &dolares, const QString &tipoCambio)
{
    const auto soles = importeSoles(dolares, tipoCambio);
    return soles ? formato(*soles, u"###,###,###,###") : QStringLiteral("0");
}

QString PagoPrevio::operacionRellena(const QString &operacion)
{
    return formato(QStringView(operacion.trimmed()), u"00000000");
}

QString PagoPrevio::dolaresEditables(const QString &texto) { return formato(QStringView(texto), u"############"); }
QString PagoPrevio::dolaresMostrados(const QString &texto) { return formato(QStringView(texto), u"###,###,###,###"); }

QString PagoPrevio::tipoCambioEditable(const QString &texto)
{
    const auto t = convertirNumero(texto);
    return t ? t->texto() : texto;
}

QString PagoPrevio::tipoCambioMostrado(const QString &texto) { return formato(QStringView(texto), u"##0.000"); }
QString PagoPrevio::importeAlmacenado(const QString &texto) { return formato(QStringView(texto), u"###############"); }
QString PagoPrevio::tipoCambioAlmacenado(const QString &texto) { return formato(QStringView(texto), u"####0.000"); }

bool PagoPrevio::tipoCambioEnRango(const QString &texto)
{
    const auto t = convertirNumero(texto);
    return t && *t >= kTipoCambioMinimo && *t < kTipoCambioTope;
}

std::optional<HallazgoPago> PagoPrevio::revisaTipoCambioAlTeclear(const QString &anterior) const
{
    if (anterior.isEmpty())
        return std::nullopt;
    const auto t = convertirNumero(anterior);
    if (t && *t >= kTipoCambioTope)
        return hallazgo("El tipo de cambio debe ser menor a 10", CampoPago::TipoCambio);
    QString texto = anterior;
    if (!m_datos.ValidaDecimales(texto, 3))
        return HallazgoPago{{}, CampoPago::TipoCambio, {}};
    return std::nullopt;
}

std::optional<HallazgoPago> PagoPrevio::revisaTipoCambioAlSalir(const QString &texto)
{
    if (texto.isEmpty() || tipoCambioEnRango(texto))
        return std::nullopt;
    return hallazgo("El Tipo de Cambio debe ser mayor o igual a 2 y menor a 10", CampoPago::TipoCambio);
}

std::optional<HallazgoPago> PagoPrevio::ValidaDatos(const DatosPagoPrevio &pago, bool nuevo) const
{
    const Contexto &ctx = m_datos.contexto();
    if (nuevo) {
        if (pago.codBoleta.trimmed().isEmpty())
            return hallazgo("Debe seleccionar una boleta ", CampoPago::Boleta);
        if (pago.operacion.trimmed().isEmpty())
            return hallazgo("Debe ingresar el número de Operación.", CampoPago::Operacion);
        if (val(pago.operacion).esCero())
            return hallazgo("El número de Orden u Operación no puede ser 0.", CampoPago::Operacion);
        if (pago.fecha.contains(u'_'))
            return hallazgo("Ingrese la fecha de pago correctamente", CampoPago::Fecha);
        const Utilidad &u = *ctx.utilidad;
        if (!u.validaRangoFecha(pago.fecha, kFechaMinima, kFechaMaxima))
            return hallazgo("La fecha de Pago es inválida.", CampoPago::Fecha);
        if (!u.validaRangoFecha(pago.fecha, kPrimerDia, kFechaMaxima))
            return hallazgo("La fecha de Pago debe ser mayor o igual al 17/02/2003", CampoPago::Fecha);
        const QDate hoy = ctx.reloj ? ctx.reloj->hoy() : QDate::currentDate();
        if (!u.validaRangoFecha(pago.fecha, kPrimerDia, fechaCorta(hoy)))
            return hallazgo("La fecha de Pago no debe ser mayor a la actual", CampoPago::Fecha);
        ErrorBD error;
        const auto existe = ExistePago(pago, &error);
        if (!existe)
            return errorSentencia(error);
        if (*existe)
            return hallazgo("El pago previo ya se encuentra registrado.", CampoPago::Fecha);
    }
    // An amount of 0 is shown as an empty box, and asked for like one.
    if (importeAlmacenado(pago.dolares).trimmed().isEmpty())
        return hallazgo("Debe ingresar el monto en dólares.", CampoPago::Dolares);
    if (pago.tipoCambio.trimmed().isEmpty())
        return hallazgo("Debe ingresar el tipo de cambio.", CampoPago::TipoCambio);
    QString tipoCambio = val(pago.tipoCambio).texto();
    if (!m_datos.ValidaDecimales(tipoCambio, 3))
        return HallazgoPago{{}, CampoPago::TipoCambio, {}};
    if (!tipoCambioEnRango(pago.tipoCambio))
        return hallazgo("El Tipo de Cambio debe ser mayor o igual a 2 y menor a 10", CampoPago::TipoCambio);
    return std::nullopt;
}

PagoPrevio::Clave PagoPrevio::claveDe(const DatosPagoPrevio &pago)
{
    // The date is compared as the engine stores it, never as a formatted
    // text, and the operation number as it is stored: "123" and "00000123"
    // are the same payment.
    return {pago.codBoleta.left(4).trimmed(), operacionRellena(pago.operacion),
            leerFecha(pago.fecha).toString(Qt::ISODate)};
}

std::optional<bool> PagoPrevio::ExistePago(const DatosPagoPrevio &pago, ErrorBD *error) const
{
    const Clave clave = claveDe(pago);
    ConsultaSql consulta = filtroDeclaracion(m_datos.contexto());
    consulta.sql = QStringLiteral("SELECT count(*) FROM TMPF517PAGPRE") + consulta.sql
        + QStringLiteral(" AND cod_boleta=? AND num_operacion=? AND fec_pago=?");
    consulta.valores << clave.codBoleta << clave.operacion << clave.fecha;
    ErrorBD fallo;
    QSqlQuery q = m_datos.consultar(consulta, &fallo);
    if (error)
        *error = fallo;
    if (fallo.hay())
        return std::nullopt;
    return q.next() && q.value(0).toInt() > 0;
}

bool PagoPrevio::GrabaDatos(const DatosPagoPrevio &pago)
{
    const Contexto &ctx = m_datos.contexto();
    ErrorBD error;
    const auto existe = ExistePago(pago, &error);
    if (!existe) {
        if (ctx.mensajes) {
            const HallazgoPago h = errorSentencia(error);
            ctx.mensajes->mostrar(h.titulo, h.texto, Icono::Critico);
        }
        return false;
    }
    const Clave clave = claveDe(pago);
    const auto soles = importeSoles(pago.dolares, pago.tipoCambio);
    const QString mtoSoles = soles ? formato(*soles, u"###############") : QString();
    const QString mtoDolar = importeAlmacenado(pago.dolares);
    const QString tipCambio = tipoCambioAlmacenado(pago.tipoCambio);

    // One statement writes the row, so the working copy holds the payment
    // whole or not at all; the key of a stored payment never changes.
    if (*existe) {
        ConsultaSql filtro = filtroDeclaracion(ctx);
        return m_datos.EjecutarSQL(QStringLiteral("UPDATE TMPF517PAGPRE SET mto_soles=?, tip_cambio=?, mto_dolar=?")
                                       + filtro.sql
                                       + QStringLiteral(" AND cod_boleta=? AND num_operacion=? AND fec_pago=?"),
                                   QVariantList{mtoSoles, tipCambio, mtoDolar} + filtro.valores
                                       + QVariantList{clave.codBoleta, clave.operacion, clave.fecha});
    }
    return m_datos.EjecutarSQL(
        QStringLiteral("INSERT INTO TMPF517PAGPRE (tip_doc_d, doc_id_d, Periodo, formulario, cod_boleta, "
                       "num_operacion, cod_tributo, fec_pago, mto_soles, tip_cambio, mto_dolar) "
                       "VALUES (6,?,?,?,?,?,?,?,?,?,?)"),
        {ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, clave.codBoleta, clave.operacion, kCodTributo, clave.fecha,
         mtoSoles, tipCambio, mtoDolar});
}

bool PagoPrevio::DatosModificados(const DatosPagoPrevio &pago, const QVariantMap &fila)
{
    // The list shows its amounts with separators and the box may hold them
    // without, or the rate as 3.4 while it is being typed: values compare,
    // not texts.
    const auto distinto = [](const QString &a, const QString &b) {
        const auto x = convertirNumero(a);
        const auto y = convertirNumero(b);
        if (x && y)
            return *x != *y;
        return a.trimmed() != b.trimmed();
    };
    const auto entero = [](const QString &texto) { return formato(QStringView(texto), u"############"); };
    return distinto(entero(pago.dolares), entero(fila.value(QStringLiteral("mto_dolar")).toString()))
        || distinto(pago.tipoCambio, fila.value(QStringLiteral("tip_cambio")).toString())
        || distinto(entero(MontoSoles(pago.dolares, pago.tipoCambio)),
                    entero(fila.value(QStringLiteral("mto_soles")).toString()));
}

HallazgoPago PagoPrevio::errorSentencia(const ErrorBD &error)
{
    return {QStringLiteral("Error Número : ") + QString::number(error.numero) + u'\n' + error.texto,
            CampoPago::Ninguno, QStringLiteral("Error al Ejecutar Sentencia SQL")};
}

} // namespace kv
