#include "enviodeclaracion.h"

#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/esquema.h"
#include "store/formato.h"
#include "store/numeros.h"
#include "store/reloj.h"
#include "store/transaccion.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

namespace {

// Every row of `consulta` copied into `destino`, column by column by name,
// with the extra values given; the check code is recomputed when asked.
bool copiarFilas(AccesoDatos &datos, QSqlQuery &consulta, const QString &destino, const QVariantMap &extra,
                 const QString &columnaCodigo, int numericos)
{
    const QList<Columna> columnas = columnasDeclaradas(datos.contexto().db(), destino);
    QStringList nombres;
    QStringList marcas;
    for (const Columna &c : columnas) {
        nombres << c.nombre; // plain names, which both engines take unquoted
        marcas << QStringLiteral("?");
    }
    const QString insercion = QStringLiteral("INSERT INTO ") + destino + QStringLiteral(" (") + nombres.join(u',')
        + QStringLiteral(") VALUES (") + marcas.join(u',') + u')';
    while (consulta.next()) {
        const QSqlRecord origen = consulta.record();
        QVariantMap fila;
        for (const Columna &c : columnas) {
            QVariant valor;
            for (auto it = extra.cbegin(); it != extra.cend(); ++it) {
                if (it.key().compare(c.nombre, Qt::CaseInsensitive) == 0)
                    valor = it.value();
            }
            if (!valor.isValid() && origen.contains(c.nombre))
                valor = origen.value(c.nombre);
            fila.insert(c.nombre, valor);
        }
        if (!columnaCodigo.isEmpty())
            fila.insert(columnaCodigo, datos.CodigoControl(destino, fila, numericos));
        QVariantList valores;
        for (const Columna &c : columnas)
            valores << fila.value(c.nombre);
        if (!datos.EjecutarSQL(insercion, valores))
            return false;
    }
    return true;
}

// The saved declaration marked as rectifying, as the form saves one whose
// "Rectificatoria" is "Si": the header's rectifica and boxes 871 and 005
// are "1", each row with its check code worked out again.
bool marcarRectificatoria(AccesoDatos &datos, QSqlRecord &cab, const QString &condicion, const QVariantList &clave)
{
    QVariantMap fila;
    for (int i = 0; i < cab.count(); ++i)
        fila.insert(cab.fieldName(i), cab.value(i));
    fila.insert(QStringLiteral("rectifica"), QStringLiteral("1"));
    const QString codigoCab = datos.CodigoControl(QStringLiteral("CAB"), fila, 5);
    if (!datos.EjecutarSQL(QStringLiteral("UPDATE CAB SET rectifica='1', cNumero=?") + condicion,
                           QVariantList{codigoCab} + clave))
        return false;
    cab.setValue(QStringLiteral("rectifica"), QStringLiteral("1"));
    cab.setValue(QStringLiteral("cNumero"), codigoCab);

    // Read whole before writing: a server connection drops the rest of a
    // result it is still sending when the next statement runs.
    QList<QSqlRecord> casillas;
    {
        QSqlQuery q = datos.consultar(QStringLiteral("SELECT * FROM DET") + condicion
                                          + QStringLiteral(" AND Casilla IN ('871','005')"),
                                      clave);
        while (q.next())
            casillas << q.record();
    }
    for (QSqlRecord det : casillas) {
        det.setValue(QStringLiteral("i_valor"), QStringLiteral("1"));
        const QString codigo = datos.CodigoControl(QStringLiteral("DET"), det, 6);
        if (!datos.EjecutarSQL(QStringLiteral("UPDATE DET SET i_valor='1', cNumero=?") + condicion
                                   + QStringLiteral(" AND Casilla=?"),
                               QVariantList{codigo} + clave + QVariantList{det.value(QStringLiteral("Casilla"))}))
            return false;
    }
    return true;
}

} // namespace

EnvioDeclaracion::EnvioDeclaracion(Contexto &contexto, AccesoDatos &datos) : m_ctx(contexto), m_datos(datos) {}

ConsultaSql EnvioDeclaracion::consultaDeclaraciones() const
{
    const QString enviada = QStringLiteral("FROM HCAB AS H WHERE H.tip_doc_d=6 AND H.doc_id_d=A.doc_id_d "
                                           "AND H.periodo=A.periodo AND H.Formulario=A.Formulario");
    ConsultaSql consulta{QStringLiteral("SELECT A.doc_id_d, B.Nombre, A.periodo, A.estado, (SELECT max(H.fec_env) ")
                             + enviada + QStringLiteral("), (SELECT max(H.correl) ") + enviada
                             + QStringLiteral(") FROM CAB AS A, CONT AS B "
                                              "WHERE A.doc_id_d=B.Doc_id_d AND A.tip_doc_d=6 AND B.Tip_doc_d=6 "
                                              "AND A.Formulario=?"),
                         {m_ctx.sFormulario}};
    if (m_datos.TipoUsuario() != u"0") {
        consulta.sql += QStringLiteral(" AND B.Usuario=?");
        consulta.valores << m_ctx.sUsuario;
    }
    consulta.sql += QStringLiteral(" ORDER BY A.doc_id_d ASC, A.periodo DESC");
    return consulta;
}

EnvioDeclaracion::EnvioPrevio EnvioDeclaracion::ultimoEnvio(const QString &ruc, const QString &periodo) const
{
    QSqlQuery q = m_datos.consultar(QStringLiteral("SELECT correl, fec_env FROM HCAB WHERE tip_doc_d=6 AND doc_id_d=? "
                                                   "AND periodo=? AND Formulario=? ORDER BY correl DESC"),
                                    {ruc, periodo, m_ctx.sFormulario});
    if (!q.next())
        return {};
    return {q.value(0).toString(), fechaGuardada(q.value(1))};
}

QString EnvioDeclaracion::nuevoControl() const
{
    return QString::number(QRandomGenerator::global()->bounded(10000000, 100000000));
}

EnvioDeclaracion::Resultado EnvioDeclaracion::enviar(const QString &ruc, const QString &periodo, bool rectificatoria)
{
    Resultado r;
    const QString formulario = m_ctx.sFormulario;
    const QVariantList clave = {ruc, periodo, formulario};
    const QString condicion = QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? AND Formulario=?");

    Transaccion transaccion(m_ctx.db(), Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada()) {
        r.mensaje = QStringLiteral("La base de datos está ocupada por otro programa. Intente nuevamente.");
        return r;
    }
    QSqlQuery cabecera = m_datos.consultar(QStringLiteral("SELECT * FROM CAB") + condicion, clave);
    if (!cabecera.next()) {
        r.mensaje = QStringLiteral("No existe la declaración grabada de ese contribuyente y periodo.");
        return r;
    }
    QSqlRecord cab = cabecera.record();
    cabecera.finish();
    if (cab.value(QStringLiteral("estado")).toInt() == 9) {
        r.mensaje = QStringLiteral("La declaración fue grabada con inconsistencias y no puede enviarse. "
                                   "Corríjala, valídela y grábela nuevamente.");
        return r;
    }

    if (rectificatoria && !marcarRectificatoria(m_datos, cab, condicion, clave)) {
        r.mensaje = QStringLiteral("No se pudo enviar la declaración; no se copió ningún registro.");
        return r;
    }

    QSqlQuery ultimo = m_datos.consultar(QStringLiteral("SELECT max(correl) FROM HCAB") + condicion, clave);
    const std::int64_t anterior = ultimo.next() ? valEntero(ultimo.value(0).toString()) : 0;
    r.correl = formato(Decimal::entero(anterior + 1), u"000");
    r.control = nuevoControl();
    const QDate hoy = m_ctx.reloj ? m_ctx.reloj->hoy() : QDate::currentDate();

    bool ok = true;
    {
        QSqlQuery origen = m_datos.consultar(QStringLiteral("SELECT * FROM CAB") + condicion, clave);
        ok = copiarFilas(m_datos, origen, QStringLiteral("HCAB"),
                         {{QStringLiteral("correl"), r.correl},
                          {QStringLiteral("fec_env"), hoy.toString(Qt::ISODate)},
                          {QStringLiteral("control"), r.control},
                          {QStringLiteral("estado"), 1}},
                         QStringLiteral("cNumero"), 6);
    }
    if (ok) {
        QSqlQuery origen = m_datos.consultar(QStringLiteral("SELECT * FROM DET") + condicion, clave);
        ok = copiarFilas(m_datos, origen, QStringLiteral("HDET"), {{QStringLiteral("correl"), r.correl}},
                         QStringLiteral("cNumero"), 6);
    }
    // The module's own tables, as the layout rows name them; their check
    // codes travel unchanged with the rows.
    QSqlQuery disposicion = m_datos.consultar(
        QStringLiteral("SELECT tabla_o, tabla_d, c_tip_doc_d, c_doc_id_d, c_Formulario, c_periodo FROM envio_t "
                       "WHERE formulario=? ORDER BY tabla_o"),
        {formulario});
    while (ok && disposicion.next()) {
        const QString tablaOrigen = disposicion.value(0).toString().trimmed();
        const QString tablaDestino = disposicion.value(1).toString().trimmed();
        // Table names cannot be bound: only plain names of existing tables go into the statement.
        static const QRegularExpression nombreSimple(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        if (!nombreSimple.match(tablaOrigen).hasMatch() || !nombreSimple.match(tablaDestino).hasMatch()
            || !existeTabla(m_ctx.db(), tablaOrigen) || !existeTabla(m_ctx.db(), tablaDestino))
            continue;
        QStringList filtros;
        QVariantList valores;
        if (disposicion.value(2).toInt() != 0)
            filtros << QStringLiteral("tip_doc_d=6");
        if (disposicion.value(3).toInt() != 0) {
            filtros << QStringLiteral("doc_id_d=?");
            valores << ruc;
        }
        if (disposicion.value(4).toInt() != 0) {
            filtros << QStringLiteral("formulario=?");
            valores << formulario;
        }
        if (disposicion.value(5).toInt() != 0) {
            filtros << QStringLiteral("periodo=?");
            valores << periodo;
        }
        if (filtros.isEmpty())
            continue; // a table that is not keyed by declaration is never copied whole
        QSqlQuery origen = m_datos.consultar(
            QStringLiteral("SELECT * FROM ") + tablaOrigen + QStringLiteral(" WHERE ") + filtros.join(QStringLiteral(" AND ")),
            valores);
        ok = copiarFilas(m_datos, origen, tablaDestino, {{QStringLiteral("correl"), r.correl}}, QString(), 0);
    }
    if (!ok || !transaccion.confirmar()) {
        r.mensaje = QStringLiteral("No se pudo enviar la declaración; no se copió ningún registro.");
        return r;
    }

    const QString rectifica = cab.value(QStringLiteral("rectifica")).toString().trimmed();
    r.lineaComandos = QStringLiteral("06") + ruc.leftJustified(15, u' ', true) + formulario + periodo.leftJustified(6, u' ', true)
        + (rectifica.isEmpty() ? QStringLiteral("0") : rectifica.left(1)) + r.control;
    r.enviada = true;
    return r;
}

} // namespace kv
