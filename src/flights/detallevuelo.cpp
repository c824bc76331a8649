#include "detallevuelo.h"

#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/numeros.h"
#include "store/reloj.h"
#include "store/transaccion.h"
#include "store/utilidad.h"

namespace kv {

namespace {

// The tax's first day and the bounds of any date the system takes.
const QString kPrimerDia = QStringLiteral("17/02/2003");
const QString kFechaMinima = QStringLiteral("01/01/1850");
const QString kFechaMaxima = QStringLiteral("01/01/2500");

QString fechaAlmacenada(const QDate &fecha)
{
    return fecha.toString(Qt::ISODate);
}

QDate fechaDeFila(const QVariantMap &fila)
{
    return fechaGuardada(fila.value(QStringLiteral("fec_arribo")));
}

QString textoDeFila(const QVariantMap &fila, const QString &columna)
{
    return fila.value(columna).toString().trimmed();
}

} // namespace

const QString DetalleVuelo::kNoSeGrabo = QStringLiteral("No se pudieron grabar los datos del vuelo.");

QString DatosVuelo::columnaCantidad(int indice)
{
    static const std::array<QString, kCantidades> columnas = {
        QStringLiteral("num_tripulantes"),
        QStringLiteral("num_personal"),
        QStringLiteral("num_transito"),
        QStringLiteral("num_extrad"),
        QStringLiteral("num_arrfor"),
        QStringLiteral("num_deport"),
        QStringLiteral("num_diplo"),
        QStringLiteral("num_adqanterior"),
        QStringLiteral("num_afectos"),
    };
    return columnas.at(std::size_t(indice));
}

DetalleVuelo::DetalleVuelo(const AccesoDatos &datos)
    : m_datos(datos)
{
}

QString DetalleVuelo::calcularImpuesto(const QString &fecha, const QString &afectos) const
{
    if (afectos.trimmed().isEmpty())
        return {};
    QDate dia = leerFecha(fecha);
    if (!dia.isValid()) {
        const Reloj *reloj = m_datos.contexto().reloj;
        dia = reloj ? reloj->hoy() : QDate::currentDate();
    }
    const QString tasa = m_datos.TasaVigente(formato(dia, u"yyyymmdd"));
    return (val(afectos) * val(tasa)).texto();
}

std::optional<HallazgoVuelo> DetalleVuelo::ValidaDatos(
    const DatosVuelo &vuelo, Modo modo, const QString &periodoMostrado) const
{
    const Contexto &ctx = m_datos.contexto();
    const Utilidad &utilidad = *ctx.utilidad;
    const auto enFecha = [](const QString &mensaje) {
        return HallazgoVuelo { mensaje, CampoVuelo::Fecha, 0 };
    };

    if (modo == Modo::Nuevo) {
        if (vuelo.fecha.contains(u'_'))
            return enFecha(QStringLiteral("Ingrese la fecha de arribo correctamente"));
        if (!utilidad.validaRangoFecha(vuelo.fecha, kFechaMinima, kFechaMaxima))
            return enFecha(QStringLiteral("La fecha ingresada es inválida. "));
        if (!utilidad.validaRangoFecha(vuelo.fecha, kPrimerDia, kFechaMaxima))
            return enFecha(QStringLiteral("La fecha de Arribo debe ser mayor o igual al 17/02/2003"));
        const QDate hoy = ctx.reloj ? ctx.reloj->hoy() : QDate::currentDate();
        if (!utilidad.validaRangoFecha(vuelo.fecha, kPrimerDia, fechaCorta(hoy)))
            return enFecha(QStringLiteral("La fecha de Arribo No debe ser mayor a la actual."));
        if (vuelo.fecha.mid(3, 7) != periodoMostrado)
            return enFecha(
                QStringLiteral("El año y mes de la fecha de Arribo deben ser iguales al período declarado"));
        ErrorBD error;
        const bool existe = ExisteVuelo(leerFecha(vuelo.fecha), vuelo.codigo, &error);
        if (error.hay())
            return enFecha(
                QStringLiteral("Error Número : ") + QString::number(error.numero) + u'\n' + error.texto);
        if (existe)
            return enFecha(QStringLiteral("El Vuelo ya se encuentra registrado."));
    }

    const QString codigo = vuelo.codigo.trimmed();
    if (codigo.isEmpty())
        return HallazgoVuelo { QStringLiteral("Debe ingresar el código de vuelo."), CampoVuelo::Codigo, 0 };
    if (utilidad.clasesCaracteres(codigo).todoDigitos && val(codigo).esCero())
        return HallazgoVuelo { QStringLiteral("El código de vuelo debe ser diferente de 0."),
            CampoVuelo::Codigo, 0 };

    for (int i = 0; i < DatosVuelo::kCantidades; ++i) {
        const QString &cantidad = vuelo.cantidades.at(std::size_t(i));
        if (cantidad.trimmed().isEmpty())
            return HallazgoVuelo { QStringLiteral("Debe ingresar todos los datos "), CampoVuelo::Cantidad,
                i };
        if (i == DatosVuelo::kTripulantes && val(cantidad).esCero())
            return HallazgoVuelo { QStringLiteral("El número de Tripulantes debe ser mayor a 0."),
                CampoVuelo::Cantidad, i };
    }
    return std::nullopt;
}

bool DetalleVuelo::ExisteVuelo(const QDate &fecha, const QString &codigo, ErrorBD *error) const
{
    const Contexto &ctx = m_datos.contexto();
    QSqlQuery q
        = m_datos.consultar(QStringLiteral("SELECT 1 FROM TMPF517DETVP WHERE tip_doc_d=6 AND doc_id_d=? "
                                           "AND periodo=? AND formulario=? AND fec_arribo=? AND cod_vuelo=?"),
            { ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, fechaAlmacenada(fecha), codigo.trimmed() }, error);
    return q.isActive() && q.next();
}

bool DetalleVuelo::GrabaDatos(const DatosVuelo &vuelo, ErrorBD *error) const
{
    ErrorBD fallo;
    const auto falla = [&](const ErrorBD &e) {
        if (error)
            *error = e;
        return false;
    };
    const QDate fecha = leerFecha(vuelo.fecha);
    if (!fecha.isValid())
        return falla({ 13, QStringLiteral("Type mismatch: ") + vuelo.fecha });

    const Contexto &ctx = m_datos.contexto();
    const QVariantList clave
        = { ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, fechaAlmacenada(fecha), vuelo.codigo.trimmed() };
    QStringList asignaciones;
    QVariantList valores;
    for (int i = 0; i < DatosVuelo::kCantidades; ++i) {
        asignaciones << DatosVuelo::columnaCantidad(i) + QStringLiteral("=?");
        valores << val(vuelo.cantidades.at(std::size_t(i))).texto();
    }
    asignaciones << QStringLiteral("mto_dolar=?");
    valores << formato(val(vuelo.impuesto), u"############0");

    Transaccion transaccion(ctx.db());
    QSqlQuery q = m_datos.consultar(QStringLiteral("UPDATE TMPF517DETVP SET ") + asignaciones.join(u',')
            + QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? "
                             "AND formulario=? AND fec_arribo=? AND cod_vuelo=?"),
        valores + clave, &fallo);
    if (fallo.hay())
        return falla(fallo);
    if (q.numRowsAffected() == 0) {
        QStringList columnas
            = { QStringLiteral("tip_doc_d"), QStringLiteral("doc_id_d"), QStringLiteral("periodo"),
                  QStringLiteral("formulario"), QStringLiteral("fec_arribo"), QStringLiteral("cod_vuelo") };
        for (const QString &a : std::as_const(asignaciones))
            columnas << a.chopped(2);
        m_datos.consultar(QStringLiteral("INSERT INTO TMPF517DETVP (") + columnas.join(u',')
                + QStringLiteral(") VALUES (6") + QStringLiteral(",?").repeated(columnas.size() - 1) + u')',
            clave + valores, &fallo);
        if (fallo.hay())
            return falla(fallo);
    }
    if (!transaccion.confirmar())
        return falla({ kErrorBaseBloqueada, QStringLiteral("database is locked") });
    if (error)
        *error = {};
    return true;
}

DatosVuelo DetalleVuelo::CargaDatos(const QVariantMap &fila)
{
    DatosVuelo vuelo;
    vuelo.fecha = fechaCorta(fechaDeFila(fila));
    vuelo.codigo = textoDeFila(fila, QStringLiteral("cod_vuelo"));
    for (int i = 0; i < DatosVuelo::kCantidades; ++i)
        vuelo.cantidades.at(std::size_t(i)) = textoDeFila(fila, DatosVuelo::columnaCantidad(i));
    vuelo.impuesto = textoDeFila(fila, QStringLiteral("mto_dolar"));
    return vuelo;
}

bool DetalleVuelo::DatosModificados(const DatosVuelo &vuelo, const QVariantMap &fila)
{
    const DatosVuelo guardado = CargaDatos(fila);
    if (vuelo.fecha != guardado.fecha || vuelo.codigo.trimmed() != guardado.codigo)
        return true;
    for (int i = 0; i < DatosVuelo::kCantidades; ++i) {
        if (vuelo.cantidades.at(std::size_t(i)).trimmed() != guardado.cantidades.at(std::size_t(i)))
            return true;
    }
    return val(vuelo.impuesto).aEntero() != val(guardado.impuesto).aEntero();
}

} // namespace kv
