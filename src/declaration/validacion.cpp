#include "validacion.h"

#include "casillas.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/numeros.h"
#include "store/texto.h"

#include <QFile>

namespace kv {

namespace {

using R = Hallazgo::Regla;
using C = CampoDeclaracion;

Hallazgo hallazgo(R regla, const QString &mensaje, C campo, const QString &casilla = {})
{
    return Hallazgo { regla, mensaje, campo, casilla, false };
}

// The checks after the identification, in their order: the amount to pay,
// the exchange rate and the payment method. `fallo` takes each finding and
// answers whether the checking ends there.
template<typename Fallo>
void revisarCifrasYPago(const DatosDeclaracion &datos, AccesoDatos &datosAcceso, Fallo &&fallo)
{
    const QString c410 = datos.casilla(QStringLiteral("410")).trimmed();
    const QString c397 = datos.casilla(QStringLiteral("397")).trimmed();
    const QString casilla397 = QStringLiteral("397");
    const QString casilla410 = QStringLiteral("410");

    if (c410.isEmpty()
        && fallo(hallazgo(R::SinImporteAPagar,
            QStringLiteral("Determinación de la Deuda : Ingrese Monto a Pagar (Casilla 410)"), C::Casilla,
            casilla410)))
        return;

    if (!c397.isEmpty()) {
        QString texto = c397;
        // The text check shows its own message; the range follows it.
        bool bien = datosAcceso.ValidaDecimales(texto, 3);
        if (bien) {
            const auto tasa = convertirNumero(texto);
            bien = tasa && *tasa >= Decimal(2) && *tasa < Decimal(10);
        }
        if (!bien
            && fallo(hallazgo(R::TipoCambioFueraDeRango,
                QStringLiteral("Vuelos y Cantidad de Pasajeros : El Tipo de Cambio debe ser mayor "
                               "o igual a 2 y menor a 10 (Casilla 397)"),
                C::Casilla, casilla397)))
            return;
    }

    const auto impuesto = convertirNumero(datos.casilla(QStringLiteral("396")));
    if (impuesto && impuesto->signo() > 0 && c397.isEmpty()
        && fallo(hallazgo(R::SinTipoCambio,
            QStringLiteral("Vuelos y Cantidad de Pasajeros : Ingrese Tipo de Cambio (Casilla 397)"),
            C::Casilla, casilla397)))
        return;

    const QString forma = datos.pago.formapago.trimmed();
    if (forma != u"E" && forma != u"C") {
        fallo(hallazgo(R::SinFormaDePago,
            QStringLiteral("Determinación de la Deuda : Ingrese la Forma de pago"), C::FormaPago));
        return;
    }
    if (forma != u"C")
        return;
    // A cheque names its bank; a bank the panel does not know is none.
    const QString banco = datos.pago.banco.trimmed();
    if ((banco == u"XX" || banco.isEmpty())
        && fallo(hallazgo(
            R::ChequeSinBanco, QStringLiteral("Determinación de la Deuda: Ingrese el banco"), C::Banco)))
        return;
    const QString cheque = datos.pago.numcheque.trimmed();
    if (cheque.isEmpty()) {
        if (fallo(hallazgo(R::ChequeSinNumero,
                QStringLiteral("Determinación de la Deuda : Ingrese el Número del cheque"), C::NumCheque)))
            return;
    } else if (const auto numero = convertirNumero(cheque); numero && numero->esCero()) {
        if (fallo(hallazgo(R::ChequeNumeroCero,
                QStringLiteral("Determinación de la Deuda : Número del cheque no puede ser cero"),
                C::NumCheque)))
            return;
    }
    // The panel's amount is box 410's: that is where it is corrected.
    const QString importe = datos.pago.importe.trimmed();
    if (importe.isEmpty() || importe == u"0")
        fallo(hallazgo(R::ChequeSinMonto,
            QStringLiteral("Determinación de la Deuda : No puede girar un cheque con monto cero"), C::Casilla,
            casilla410));
}

} // namespace

QList<Hallazgo> ResultadoValidacion::lineas() const
{
    QList<Hallazgo> r;
    for (const Hallazgo &h : hallazgos) {
        if (!h.detiene)
            r << h;
    }
    return r;
}

QString rutaMensajes(const Contexto &contexto)
{
    return contexto.sRutaSistema + QStringLiteral("Mens.txt");
}

ResultadoValidacion ValidaTodo(
    const Declaracion &declaracion, ModoValidacion modo, const DatosDeclaracion &datos, const QString &titulo)
{
    ResultadoValidacion r;
    Contexto &ctx = declaracion.contexto();
    auto mostrar = [&ctx, &titulo](const QString &texto, Icono icono, const QString &otroTitulo = {}) {
        if (ctx.mensajes)
            ctx.mensajes->mostrar(otroTitulo.isEmpty() ? titulo : otroTitulo, texto, icono);
    };

    if (modo == ModoValidacion::Silencioso) {
        // Nothing is shown, not even the rate's text check.
        Contexto callado = ctx;
        callado.mensajes = nullptr;
        AccesoDatos acceso(callado);
        revisarCifrasYPago(datos, acceso, [&r](const Hallazgo &h) {
            r.valida = false;
            r.hallazgos << h;
            return true;
        });
        return r;
    }

    r.archivo = rutaMensajes(ctx);
    QFile archivo(r.archivo);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        mostrar(QStringLiteral("No se pudo crear el archivo de mensajes %1.\n%2")
                    .arg(r.archivo, archivo.errorString()),
            Icono::Critico);
        r.valida = false;
        return r;
    }
    auto anotar = [&r, &archivo](const Hallazgo &h) {
        r.valida = false;
        r.hallazgos << h;
        if (!h.detiene)
            archivo.write(aCp1252(h.mensaje) + "\r\n");
        return false; // the user reads every finding
    };
    for (const Hallazgo &h : declaracion.ValIdent(datos.identificacion)) {
        anotar(h);
        if (h.detiene)
            mostrar(h.mensaje, Icono::Critico);
    }
    AccesoDatos acceso(ctx);
    revisarCifrasYPago(datos, acceso, anotar);
    // A file cut short by a full disk would show part of the findings as
    // if they were all of them: it is not left behind.
    const bool escrito = archivo.flush() && archivo.error() == QFileDevice::NoError;
    if (!escrito) {
        const QString motivo = archivo.errorString();
        archivo.close();
        archivo.remove();
        mostrar(QStringLiteral("No se pudo escribir el archivo de mensajes %1.\n%2").arg(r.archivo, motivo),
                Icono::Critico);
        r.valida = false;
        return r;
    }
    if (const auto aviso
        = Casillas::SaldoaPagar(datos.casilla(QStringLiteral("410")), datos.casilla(QStringLiteral("406"))))
        mostrar(*aviso, Icono::Informacion);
    archivo.close();

    Advertencias advertencias(acceso);
    advertencias.leer();
    r.advertencias = advertencias.revisar(datos.casilla(QStringLiteral("393")), datos.casilla(QStringLiteral("397")));
    r.abrirReporte = !r.lineas().isEmpty() || !r.advertencias.isEmpty();
    // A finding shown in a message box has been told already: no closing
    // message then, and no empty report.
    if (r.valida)
        mostrar(QStringLiteral("La información de la declaración no presenta inconsistencias."),
            Icono::Exclamacion, QStringLiteral("Mensaje"));
    return r;
}

} // namespace kv
