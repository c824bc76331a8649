#include "declaracion.h"

#include "store/contexto.h"
#include "store/dialecto.h"
#include "store/esquema.h"
#include "store/formato.h"
#include "store/numeros.h"
#include "store/reloj.h"
#include "store/texto.h"
#include "store/transaccion.h"
#include "store/utilidad.h"

#include <QSqlRecord>

namespace kv {

namespace {

const QString kColumnasVuelo = QStringLiteral(
    "fec_arribo, cod_vuelo, num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, num_extrad, "
    "num_deport, num_adqanterior, num_afectos, mto_dolar, cnumero");
const QString kColumnasPago = QStringLiteral(
    "semana, cod_boleta, num_operacion, cod_tributo, fec_pago, mto_dolar, tip_cambio, mto_soles, cnumero");


ErrorBD fallaTransaccion()
{
    return {kErrorBaseBloqueada, QStringLiteral("database is locked")};
}

// Runs the statements in one immediate transaction: all of them or none.
ErrorBD ejecutarEnTransaccion(Contexto &ctx, const AccesoDatos &datos, const QList<ConsultaSql> &sentencias)
{
    ErrorBD fallo;
    Transaccion transaccion(ctx.db(), Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada())
        return fallaTransaccion();
    for (const ConsultaSql &s : sentencias) {
        datos.consultar(s, &fallo);
        if (fallo.hay())
            return fallo;
    }
    if (!transaccion.confirmar())
        return fallaTransaccion();
    return {};
}

} // namespace

Declaracion::Declaracion(Contexto &contexto) : m_ctx(contexto), m_datos(contexto) { }

void Declaracion::abrir(const QString &accion, bool historico, const QString &correl, const QString &numOrden,
                        const QString &numControl)
{
    m_historico = historico;
    m_accion = accion;
    m_correl = correl;
    m_numOrden = numOrden;
    m_numControl = numControl;
}

QString Declaracion::textoListaCasillas()
{
    return QStringLiteral("390-391-392-393-394-395-396-397-401-402-403") + QStringLiteral("-404-405-406-410");
}

const QStringList &Declaracion::casillas()
{
    // Three characters every fourth, from the first.
    static const QStringList lista = [] {
        QStringList r;
        const QString texto = textoListaCasillas();
        for (qsizetype i = 0; i < texto.size(); i += 4)
            r << texto.mid(i, 3);
        return r;
    }();
    return lista;
}

QString Declaracion::etiquetaCasilla(const QString &casilla)
{
    static const QMap<QString, QString> etiquetas = {
        {QStringLiteral("390"), QStringLiteral("Sujetos No Comprendidos")},
        {QStringLiteral("391"), QStringLiteral("Personal Línea Aérea")},
        {QStringLiteral("392"), QStringLiteral("Pasajeros")},
        {QStringLiteral("393"), QStringLiteral("Sujetos Comprendidos")},
        {QStringLiteral("394"), QStringLiteral("Total Pasajeros")},
        {QStringLiteral("395"), QStringLiteral("Total Vuelos en el Período")},
        {QStringLiteral("396"), QStringLiteral("Impuesto US Dolares ( $ )")},
        {QStringLiteral("397"), QStringLiteral("Tipo de Cambio Venta")},
        {QStringLiteral("401"), QStringLiteral("Impuesto resultante")},
        {QStringLiteral("402"), QStringLiteral("Compensación - Pagos en exceso o indebidos")},
        {QStringLiteral("403"), QStringLiteral("Pagos Previos")},
        {QStringLiteral("404"), QStringLiteral("Saldo a Pagar")},
        {QStringLiteral("405"), QStringLiteral("Interés Moratorio")},
        {QStringLiteral("406"), QStringLiteral("Total deuda tributaria")},
        {QStringLiteral("410"), QStringLiteral("Importe a Pagar")},
    };
    return etiquetas.value(casilla);
}

const QStringList &Declaracion::casillasCabecera()
{
    static const QStringList lista
        = QStringLiteral("871-005-015-870-002-007-721-722-040-041-056-012-028-872").split(u'-');
    return lista;
}

bool Declaracion::BorroTemporal(ErrorBD *error)
{
    ErrorBD fallo;
    Transaccion transaccion(m_ctx.db(), Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada())
        fallo = fallaTransaccion();
    for (const QString &tabla : {QStringLiteral("TMPF517DETVP"), QStringLiteral("TMPF517PAGPRE")}) {
        if (!fallo.hay())
            m_datos.consultar(QStringLiteral("DELETE FROM ") + tabla, {}, &fallo);
    }
    if (!fallo.hay() && !transaccion.confirmar())
        fallo = fallaTransaccion();
    if (error)
        *error = fallo;
    return !fallo.hay();
}

bool Declaracion::CargaTemporal(ErrorBD *error)
{
    // The copy starts from empty tables inside its own transaction, so a
    // failure rolls back to empty tables rather than half a declaration.
    const QString hist = m_historico ? QStringLiteral("H") : QString();
    QString condicion = QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? AND formulario=?");
    QVariantList valores {m_ctx.sRuc, m_ctx.sPeriodo, m_ctx.sFormulario,
                          m_ctx.sRuc, m_ctx.sPeriodo, m_ctx.sFormulario};
    if (m_historico) {
        condicion += QStringLiteral(" AND correl=?");
        valores << m_correl;
    }
    const QList<ConsultaSql> sentencias = {
        {QStringLiteral("DELETE FROM TMPF517DETVP"), {}},
        {QStringLiteral("DELETE FROM TMPF517PAGPRE"), {}},
        {QStringLiteral("INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, ")
             + kColumnasVuelo + QStringLiteral(") SELECT 6, ?, ?, ?, ") + kColumnasVuelo
             + QStringLiteral(" FROM ") + hist + QStringLiteral("F517DETVP") + condicion,
         valores},
        {QStringLiteral("INSERT INTO TMPF517PAGPRE (tip_doc_d, doc_id_d, periodo, formulario, ")
             + kColumnasPago + QStringLiteral(") SELECT 6, ?, ?, ?, ") + kColumnasPago
             + QStringLiteral(" FROM ") + hist + QStringLiteral("F517PAGPRE") + condicion,
         valores},
    };

    // The fingerprint is taken under the same lock as the copy: what this
    // window holds is exactly what it will find stored, or another user has
    // saved since.
    ErrorBD fallo;
    {
        Transaccion transaccion(m_ctx.db(), Transaccion::Modo::Inmediata);
        if (!transaccion.iniciada())
            fallo = fallaTransaccion();
        for (const ConsultaSql &s : sentencias) {
            if (!fallo.hay())
                m_datos.consultar(s, &fallo);
        }
        QByteArray huella;
        if (!fallo.hay() && !m_historico)
            huella = huellaGuardada(m_ctx.sRuc, m_ctx.sPeriodo, &fallo);
        if (!fallo.hay() && !transaccion.confirmar())
            fallo = fallaTransaccion();
        if (!fallo.hay() && !m_historico)
            m_huella = huella;
    }
    if (error)
        *error = fallo;
    return !fallo.hay();
}

QByteArray Declaracion::huellaGuardada(const QString &ruc, const QString &periodo, ErrorBD *error) const
{
    // The database reads the declaration's rows itself and answers with one
    // fingerprint per table: nothing but four short texts comes back,
    // however many flights there are.
    if (m_consultaHuella.isEmpty())
        m_consultaHuella = consultaHuella(m_ctx.db());
    QVariantList valores;
    for (int i = 0; i < 4; ++i)
        valores << ruc << periodo << m_ctx.sFormulario;
    ErrorBD fallo;
    QSqlQuery q = m_datos.consultar(m_consultaHuella, valores, &fallo);
    if (fallo.hay() || !q.next()) {
        if (error)
            *error = fallo.hay() ? fallo : ErrorBD {1, QStringLiteral("no fingerprint")};
        return {};
    }
    QByteArray huella;
    bool alguna = false;
    for (int i = 0; i < 4; ++i) {
        alguna = alguna || !q.isNull(i);
        huella += q.value(i).toString().toUtf8() + '\x02';
    }
    if (error)
        *error = {};
    return alguna ? huella : QByteArray();
}

QString Declaracion::consultaHuella(QSqlDatabase db)
{
    static const QString kClave = QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? AND formulario=?");
    QStringList partes;
    for (const char *nombre : {"CAB", "DET", "F517DETVP", "F517PAGPRE"}) {
        const QString tabla = QString::fromLatin1(nombre);
        if (motorDe(db) == Motor::PostgreSQL) {
            // Every column of every row as the server writes a row out, in
            // one order whatever order the rows are read in.
            partes << QStringLiteral("(SELECT md5(string_agg(t::text, E'\\n' ORDER BY t::text)) FROM ") + tabla
                    + QStringLiteral(" t") + kClave + u')';
            continue;
        }
        QStringList columnas;
        for (const Columna &c : columnasDeclaradas(db, tabla))
            columnas << u'"' + QString(c.nombre).replace(u'"', QStringLiteral("\"\"")) + u'"';
        partes << QStringLiteral("(SELECT kv_huella(") + columnas.join(u',') + QStringLiteral(") FROM ") + tabla
                + kClave + u')';
    }
    return QStringLiteral("SELECT ") + partes.join(QStringLiteral(", "));
}

CabeceraCargada Declaracion::CargarCab(const QString &numchequeActual, ErrorBD *error) const
{
    CabeceraCargada r;
    ErrorBD fallo;
    const QString hist = m_historico ? QStringLiteral("H") : QString();
    QString condicion = QStringLiteral(" WHERE doc_id_d=? AND periodo=? AND formulario=?");
    QVariantList valores {m_ctx.sRuc, m_ctx.sPeriodo, m_ctx.sFormulario};
    if (m_historico) {
        condicion += QStringLiteral(" AND correl=?");
        valores << m_correl;
    }

    QSqlQuery q = m_datos.consultar(QStringLiteral("SELECT i_valor FROM ") + hist + QStringLiteral("DET")
                                        + condicion + QStringLiteral(" AND casilla='870'"),
                                    valores, &fallo);
    if (!fallo.hay() && q.next())
        r.importe = q.value(0).toString();

    if (!fallo.hay()) {
        q = m_datos.consultar(QStringLiteral("SELECT * FROM ") + hist + QStringLiteral("CAB") + condicion
                                  + QStringLiteral(" AND tip_doc_d=6"),
                              valores, &fallo);
    }
    if (!fallo.hay() && q.next()) {
        const QSqlRecord fila = q.record();
        r.hayCabecera = true;
        const bool sinCheque = recortarBlancos(numchequeActual).isEmpty()
            && recortarBlancos(fila.value(QStringLiteral("cheque")).toString()).isEmpty();
        r.formapago = sinCheque ? QStringLiteral("E") : QStringLiteral("C");
        r.banco = recortarBlancos(fila.value(QStringLiteral("bcolibrad")).toString());
        r.numcheque = recortarBlancos(fila.value(QStringLiteral("nrocheque")).toString());
        if (m_historico) {
            const QVariant orden = fila.value(QStringLiteral("norden"));
            r.norden = orden.isNull() ? QStringLiteral("0") : orden.toString();
        }
    }
    if (error)
        *error = fallo;
    return r;
}

CasillasCargadas Declaracion::CargarCasillas(const QString &periodoMostrado, ErrorBD *error) const
{
    CasillasCargadas r;
    QString sql = QStringLiteral("SELECT casilla, i_valor FROM ")
        + (m_historico ? QStringLiteral("HDET") : QStringLiteral("DET"))
        + QStringLiteral(" WHERE doc_id_d=? AND periodo=? AND formulario=?");
    QVariantList valores {m_ctx.sRuc, periodoAlmacenado(periodoMostrado), m_ctx.sFormulario};
    if (m_historico) {
        sql += QStringLiteral(" AND correl=?");
        valores << m_correl;
    }
    sql += QStringLiteral(" ORDER BY casilla");

    ErrorBD fallo;
    QSqlQuery q = m_datos.consultar(sql, valores, &fallo);
    while (!fallo.hay() && q.next()) {
        const QString casilla = q.value(0).toString();
        const QString valor = q.value(1).toString();
        if (casillasCabecera().contains(casilla)) {
            if (casilla == u"028")
                r.telefono = valor;
            else if (casilla == u"870")
                r.importe = formato(valor, u"##,###,###,##0");
            else if (casilla == u"872")
                r.formapago = valor;
            else if (casilla == u"012")
                r.numcheque = valor;
            else if (casilla == u"871")
                r.rectifica = valor;
            // 040, 041 and 056 have no effect on the window; the rest are
            // written by saving only.
            continue;
        }
        if (!casillas().contains(casilla))
            continue; // a box of no field of this form
        // The figure as a plain number, without separators; a stored text
        // that is no number is shown as it is. The window shows each box
        // in its own form (402 and 403 in parentheses).
        const auto n = convertirNumero(valor);
        r.valores.insert(casilla, n ? n->texto() : valor);
    }
    if (error)
        *error = fallo;
    return r;
}

ConsultaSql Declaracion::consultaVuelos(Motor motor)
{
    // Tie-break by flight code so that flights of one day keep their order
    // after every refresh. A blank count counts as 0, so one missing count
    // does not blank the flight's total.
    QStringList cuentas;
    for (const char *c : {"num_tripulantes", "num_personal", "num_transito", "num_arrfor", "num_diplo",
                          "num_extrad", "num_deport", "num_adqanterior", "num_afectos"})
        cuentas << dialecto::entero(motor, QLatin1String(c));
    const QString sql
        = QStringLiteral("SELECT fec_arribo, cod_vuelo, num_tripulantes, num_personal, num_transito, "
                         "num_arrfor, num_diplo, "
                         "num_extrad, num_deport, num_afectos, mto_dolar, %1 AS num_totpas, num_adqanterior "
                         "FROM TMPF517DETVP ORDER BY fec_arribo DESC, cod_vuelo")
              .arg(cuentas.join(QStringLiteral(" + ")));
    return {sql, {}};
}

const QStringList &Declaracion::columnasVuelos()
{
    static const QStringList columnas = {
        QStringLiteral("fec_arribo"),      QStringLiteral("cod_vuelo"),    QStringLiteral("num_tripulantes"),
        QStringLiteral("num_personal"),    QStringLiteral("num_transito"), QStringLiteral("num_arrfor"),
        QStringLiteral("num_diplo"),       QStringLiteral("num_extrad"),   QStringLiteral("num_deport"),
        QStringLiteral("num_afectos"),     QStringLiteral("mto_dolar"),    QStringLiteral("num_totpas"),
        QStringLiteral("num_adqanterior"),
    };
    return columnas;
}

QList<ConsultaSql> Declaracion::sentenciasMoverCopia(const QString &rucAnterior, const QString &periodoAnterior,
                                                     const QString &ruc, const QString &periodo,
                                                     const QString &formulario)
{
    if (rucAnterior == ruc && periodoAnterior == periodo)
        return {};
    QList<ConsultaSql> r;
    for (const QString &tabla : {QStringLiteral("TMPF517DETVP"), QStringLiteral("TMPF517PAGPRE")}) {
        r << ConsultaSql {QStringLiteral("UPDATE ") + tabla
                              + QStringLiteral(" SET doc_id_d=?, periodo=? WHERE tip_doc_d=6 AND doc_id_d=? "
                                               "AND periodo=? AND formulario=?"),
                          {ruc, periodo, rucAnterior, periodoAnterior, formulario}};
    }
    return r;
}

bool Declaracion::moverCopiaDeTrabajo(const QString &rucAnterior, const QString &periodoAnterior,
                                      const QString &ruc, const QString &periodo, ErrorBD *error)
{
    const QList<ConsultaSql> sentencias
        = sentenciasMoverCopia(rucAnterior, periodoAnterior, ruc, periodo, m_ctx.sFormulario);
    const ErrorBD fallo = sentencias.isEmpty() ? ErrorBD {} : ejecutarEnTransaccion(m_ctx, m_datos, sentencias);
    if (error)
        *error = fallo;
    return !fallo.hay();
}

bool Declaracion::EliminaVuelo(const QDate &fecArribo, const QString &codVuelo)
{
    // Dates are ISO text; a stored date-time matches by its day.
    return m_datos.EjecutarSQL(
        QStringLiteral(
            "DELETE FROM TMPF517DETVP WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? AND formulario=? "
            "AND substr(fec_arribo,1,10)=? AND cod_vuelo=?"),
        {m_ctx.sRuc, m_ctx.sPeriodo, m_ctx.sFormulario, fecArribo.toString(Qt::ISODate), codVuelo});
}

bool Declaracion::existeDeclaracion(const QString &ruc, const QString &periodo) const
{
    QSqlQuery q = m_datos.consultar(
        QStringLiteral("SELECT 1 FROM CAB WHERE doc_id_d=? AND periodo=? AND formulario=? AND tip_doc_d=6"),
        {ruc, periodo, m_ctx.sFormulario});
    return q.next();
}

QList<Hallazgo> Declaracion::ValIdent(const DatosIdentificacion &datos) const
{
    using R = Hallazgo::Regla;
    using C = CampoDeclaracion;
    QList<Hallazgo> r;
    const QString ruc = rucDeEntrada(datos.entradaRuc);
    const QString telefono = recortarBlancos(datos.telefono);
    const qsizetype largoTelefono = telefono.size();
    const QDate hoy = m_ctx.reloj ? m_ctx.reloj->ahora().date() : QDate::currentDate();

    if (esNueva() && existeDeclaracion(ruc, periodoAlmacenado(datos.periodoMostrado))) {
        r << Hallazgo {
            R::DeclaracionExiste,
            QStringLiteral("¡El formulario que desea ingresar ya existe, elija la opción Modificar "
                           "formularios o corrija el período!"),
            C::MkePeriodo,
            {},
            true};
        return r;
    }
    if (!esNueva() && !m_ctx.utilidad->validaRuc(recortarBlancos(datos.numRuc)))
        r << Hallazgo {R::RucInvalido, QStringLiteral("El RUC no es Válido!"), C::TxtNumRuc, {}, false};
    if (esNueva() && ruc.isEmpty())
        r << Hallazgo {R::SinContribuyente,
                       QStringLiteral("Debe seleccionar un Contribuyente..!!"),
                       C::CmbRuc,
                       {},
                       false};
    if (largoTelefono >= 1 && largoTelefono <= 5) {
        r << Hallazgo {R::TelefonoIncompleto,
                       QStringLiteral("Ingrese correctamente el teléfono."),
                       C::TxtTelefono,
                       {},
                       true};
        return r;
    }
    if (m_accion != kModificar && !m_ctx.utilidad->validaPeriodo(datos.periodoMostrado, kPrimerPeriodo, hoy))
        r << Hallazgo {R::PeriodoInvalido,
                       QStringLiteral("El Período tributario no es Válido..!!"),
                       C::MkePeriodo,
                       {},
                       false};
    const bool celular = telefono.startsWith(u'9');
    if (largoTelefono == 8 && !celular) {
        r << Hallazgo {
            R::TelefonoFijo,
            QStringLiteral("Identificación-Datos Generales : El número ingresado debe ser de 7 digitos, "
                           "o un celular de 8 o 7 digitos"),
            C::TxtTelefono,
            {},
            false};
    }
    if (celular && largoTelefono < 7) {
        r << Hallazgo {
            R::TelefonoCelular,
            QStringLiteral("Identificación-Datos Generales : El celular debe ser de 8 o 7 digitos"),
            C::TxtTelefono,
            {},
            false};
    }
    return r;
}

int Declaracion::teclaRazonSocial(int tecla)
{
    if (tecla == Utilidad::kTeclaRetroceso)
        return tecla;
    if (tecla >= 'a' && tecla <= 'z')
        tecla -= 'a' - 'A';
    if ((tecla >= 'A' && tecla <= 'Z') || (tecla >= '0' && tecla <= '9') || tecla == '.' || tecla == ' ')
        return tecla;
    return 0;
}

QString Declaracion::periodoAlmacenado(const QString &mostrado)
{
    return mostrado.right(4) + mostrado.left(2);
}

QString Declaracion::periodoMostrado(const QString &almacenado)
{
    return almacenado.right(2) + u'/' + almacenado.left(4);
}

QString Declaracion::rucDeEntrada(const QString &entrada)
{
    return recortarBlancos(entrada.left(11));
}

QString Declaracion::razonDeEntrada(const QString &entrada)
{
    return entrada.mid(13, 50);
}

Declaracion::EstadoOrden Declaracion::validarOrden(const QString &orden, const QString &verificador) const
{
    if (orden.size() != 8)
        return EstadoOrden::LargoIncorrecto;
    if (!m_datos.VerificaNumeroOrden(m_numControl, orden, verificador))
        return EstadoOrden::VerificadorIncorrecto;
    return EstadoOrden::Valido;
}

QString Declaracion::verificadorInicial() const
{
    if (m_numOrden.trimmed().size() != 8)
        return {};
    return m_datos.CalculaVerificador(m_numControl, m_numOrden);
}

Declaracion::ResultadoOrden Declaracion::GrabarNumeroOrden(const QString &orden, ErrorBD *error)
{
    const QString condicion
        = QStringLiteral(" WHERE doc_id_d=? AND tip_doc_d=6 AND periodo=? AND formulario=? AND correl=?");
    const QVariantList clave {m_ctx.sRuc, m_ctx.sPeriodo, m_ctx.sFormulario, m_correl};
    auto fin = [error](ResultadoOrden r, ErrorBD e = {}) {
        if (error)
            *error = e;
        return r;
    };

    // The row is read and rewritten under the write lock, so the check code
    // is computed over the columns that are stored.
    Transaccion transaccion(m_ctx.db(), Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada())
        return fin(ResultadoOrden::Fallo, fallaTransaccion());
    ErrorBD fallo;
    QSqlQuery q = m_datos.consultar(QStringLiteral("SELECT * FROM HCAB") + condicion, clave, &fallo);
    if (fallo.hay())
        return fin(ResultadoOrden::Fallo, fallo);
    if (!q.next())
        return fin(ResultadoOrden::SinCabecera);
    QVariantMap fila;
    const QSqlRecord registro = q.record();
    for (int i = 0; i < registro.count(); ++i)
        fila.insert(registro.fieldName(i), registro.value(i));
    q.finish();
    fila.insert(QStringLiteral("norden"), orden);
    const QString codigo = m_datos.CodigoControl(QStringLiteral("HCAB"), fila, 6);

    m_datos.consultar(QStringLiteral("UPDATE HCAB SET norden=?, cNumero=?") + condicion,
                      QVariantList {orden, codigo} + clave, &fallo);
    if (fallo.hay())
        return fin(ResultadoOrden::Fallo, fallo);
    if (!transaccion.confirmar())
        return fin(ResultadoOrden::Fallo, fallaTransaccion());
    return fin(ResultadoOrden::Grabado);
}

} // namespace kv
