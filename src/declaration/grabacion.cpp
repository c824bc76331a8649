#include "grabacion.h"

#include "store/contexto.h"
#include "store/esquema.h"
#include "store/formato.h"
#include "store/reloj.h"
#include "store/texto.h"
#include "store/transaccion.h"

#include <QSqlError>
#include <QSqlRecord>
#include <functional>

namespace kv {

namespace {

const QString kFormatoEntero = QStringLiteral("###########0");

// The key columns every row of the module's tables starts with.
const QStringList kClave = { QStringLiteral("tip_doc_d"), QStringLiteral("doc_id_d"),
    QStringLiteral("periodo"), QStringLiteral("formulario") };
const QString kCondicionClave
    = QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? AND formulario=?");

const QStringList kColumnasVuelo
    = { QStringLiteral("fec_arribo"), QStringLiteral("cod_vuelo"), QStringLiteral("num_tripulantes"),
          QStringLiteral("num_personal"), QStringLiteral("num_transito"), QStringLiteral("num_extrad"),
          QStringLiteral("num_arrfor"), QStringLiteral("num_deport"), QStringLiteral("num_diplo"),
          QStringLiteral("num_adqanterior"), QStringLiteral("num_afectos"), QStringLiteral("mto_dolar") };
// The week is not copied: the permanent row keeps the column's default.
const QStringList kColumnasPago = { QStringLiteral("cod_boleta"), QStringLiteral("num_operacion"),
    QStringLiteral("cod_tributo"), QStringLiteral("fec_pago"), QStringLiteral("mto_soles"),
    QStringLiteral("tip_cambio"), QStringLiteral("mto_dolar") };
const QStringList kColumnasCasilla = { QStringLiteral("doc_id_d"), QStringLiteral("tip_doc_d"),
    QStringLiteral("periodo"), QStringLiteral("Formulario"), QStringLiteral("Casilla"),
    QStringLiteral("i_valor"), QStringLiteral("idcasilla"), QStringLiteral("estado") };

// Rows written into one table with their record check code in the last
// column. The code is worked out over the table's columns in their stored
// order, so the declared columns are read once and each row is laid out
// by position; a column the writer leaves out counts as empty (its
// default is a number, which adds nothing).
class EscrituraConCodigo
{
public:
    EscrituraConCodigo(QSqlDatabase db, const QString &tabla, const QStringList &columnas, int nNumericos)
        : m_numericos(nNumericos)
        , m_insercion(db)
    {
        for (const Columna &c : columnasDeclaradas(db, tabla)) {
            m_tipos << tipoDeclarado(c.tipo);
            qsizetype origen = -1;
            for (qsizetype i = 0; i < columnas.size() && origen < 0; ++i) {
                if (columnas.at(i).compare(c.nombre, Qt::CaseInsensitive) == 0)
                    origen = i;
            }
            m_origen << origen;
        }
        m_sql = QStringLiteral("INSERT INTO ") + tabla + QStringLiteral(" (")
            + columnas.join(QStringLiteral(", ")) + QStringLiteral(", cNumero) VALUES (")
            + QString(QStringLiteral("?,")).repeated(columnas.size()) + QStringLiteral("?)");
    }

    // `valores` in the order of the columns given.
    QString codigo(const QVariantList &valores) const
    {
        QList<ValorColumna> fila;
        fila.reserve(m_tipos.size());
        for (qsizetype i = 0; i < m_tipos.size(); ++i) {
            const qsizetype origen = m_origen.at(i);
            fila.append(ValorColumna { origen >= 0 ? valores.at(origen) : QVariant(), m_tipos.at(i) });
        }
        return AccesoDatos::CodigoControl(fila, m_numericos);
    }

    void insertar(const QVariantList &valores, const QString &codigo, ErrorBD *error)
    {
        if (!m_preparada) {
            m_preparada = m_insercion.prepare(m_sql);
            if (!m_preparada) {
                *error = traducirError(m_insercion.lastError());
                return;
            }
        }
        int i = 0;
        for (const QVariant &v : valores)
            m_insercion.bindValue(i++, v);
        m_insercion.bindValue(i, codigo);
        *error = m_insercion.exec() ? ErrorBD {} : traducirError(m_insercion.lastError());
    }

private:
    QList<TipoColumna> m_tipos;
    QList<qsizetype> m_origen;
    int m_numericos;
    QString m_sql;
    QSqlQuery m_insercion;
    bool m_preparada = false;
};

// Empty text written as empty, not as a null.
QString texto(const QString &t)
{
    return t.isNull() ? QStringLiteral("") : t;
}

// One save in progress: every statement goes through `ejecutar`, which
// keeps the first failure and the statement it came from.
class Guardado
{
public:
    Guardado(Contexto &ctx, AccesoDatos &datos, ResultadoGrabacion &r)
        : m_ctx(ctx)
        , m_datos(datos)
        , m_r(r)
    {
    }

    bool fallido() const { return m_r.error.hay(); }

    QSqlQuery ejecutar(const QString &sql, const QVariantList &valores, const QString &paso)
    {
        ErrorBD error;
        QSqlQuery q = m_datos.consultar(sql, valores, &error);
        fallar(error, paso);
        return q;
    }

    void fallar(const ErrorBD &error, const QString &paso)
    {
        if (error.hay() && !fallido()) {
            m_r.error = error;
            m_r.paso = paso;
        }
    }

    QVariantList clave() const { return { m_r.ruc, m_r.periodo, m_ctx.sFormulario }; }

    // Writes columns of the header and its check code, worked out over
    // the whole row as it is stored; adds the row first when there is none.
    void escribirCabecera(const QList<std::pair<QString, QVariant>> &columnas, const QString &paso)
    {
        const QString condicion
            = QStringLiteral(" WHERE doc_id_d=? AND periodo=? AND formulario=? AND tip_doc_d=6");
        const QString leer = QStringLiteral("SELECT * FROM CAB") + condicion;
        QSqlQuery q = ejecutar(leer, clave(), paso);
        if (fallido())
            return;
        if (!q.next()) {
            q.finish();
            ejecutar(
                QStringLiteral("INSERT INTO CAB (doc_id_d, periodo, Formulario, tip_doc_d) VALUES (?,?,?,6)"),
                clave(), paso);
            q = ejecutar(leer, clave(), paso);
            if (fallido() || !q.next())
                return fallar({ 3021, QStringLiteral("No se encontró la fila de la cabecera.") }, paso);
        }
        QVariantMap fila;
        const QSqlRecord registro = q.record();
        for (int i = 0; i < registro.count(); ++i)
            fila.insert(registro.fieldName(i).toLower(), registro.value(i));
        q.finish();

        QStringList asignaciones;
        QVariantList valores;
        for (const auto &[columna, valor] : columnas) {
            fila.insert(columna.toLower(), valor);
            asignaciones << columna + QStringLiteral("=?");
            valores << valor;
        }
        valores << m_datos.CodigoControl(QStringLiteral("CAB"), fila, 5);
        ejecutar(QStringLiteral("UPDATE CAB SET ") + asignaciones.join(QStringLiteral(", "))
                + QStringLiteral(", cNumero=?") + condicion,
            valores + clave(), paso);
    }

    // GrabaCasilla: the box's row, edited when it is there, added when not.
    void grabarCasilla(EscrituraConCodigo &det, const QString &casilla, const QString &valor)
    {
        if (fallido() || Grabacion::casillaVacia(valor))
            return;
        const QString paso = QStringLiteral("la casilla %1 (DET)").arg(casilla);
        const QString guardado = Grabacion::valorCasilla(casilla, valor);
        const QString idcasilla = casilla == u"410" ? QStringLiteral("05") : QStringLiteral("01");
        const QVariantList fila { m_r.ruc, 6, m_r.periodo, m_ctx.sFormulario, casilla, guardado, idcasilla,
            0 };
        const QString codigo = det.codigo(fila);
        QSqlQuery q
            = ejecutar(QStringLiteral("UPDATE DET SET i_valor=?, idcasilla=?, estado=0, cNumero=? "
                                      "WHERE doc_id_d=? AND tip_doc_d=6 AND periodo=? AND formulario=? "
                                      "AND casilla=?"),
                { guardado, idcasilla, codigo, m_r.ruc, m_r.periodo, m_ctx.sFormulario, casilla }, paso);
        if (fallido() || q.numRowsAffected() > 0)
            return;
        ErrorBD error;
        det.insertar(fila, codigo, &error);
        fallar(error, paso);
    }

    // GrabaVuelos and GrabaPagosPrevios: the declaration's rows of the
    // permanent table replaced by the working copy's.
    void copiarCopiaDeTrabajo(const QString &tabla, const QStringList &columnas, int nNumericos,
        const std::function<QString(const QVariantList &)> &describir)
    {
        if (fallido())
            return;
        ejecutar(QStringLiteral("DELETE FROM ") + tabla + kCondicionClave, clave(),
            QStringLiteral("el borrado de las filas de %1").arg(tabla));
        QSqlQuery q = ejecutar(QStringLiteral("SELECT ") + columnas.join(QStringLiteral(", "))
                + QStringLiteral(" FROM TMP") + tabla + kCondicionClave,
            clave(), QStringLiteral("la lectura de la copia de trabajo (TMP%1)").arg(tabla));
        if (fallido())
            return;
        // Read whole before the first row is written: a server connection
        // drops the rest of a result it is still sending when the next
        // statement runs.
        QList<QVariantList> filas;
        const QVariantList inicio { 6, m_r.ruc, m_r.periodo, m_ctx.sFormulario };
        while (q.next()) {
            QVariantList valores = inicio;
            for (qsizetype i = 0; i < columnas.size(); ++i)
                valores << q.value(int(i));
            filas << valores;
        }
        q.finish();
        EscrituraConCodigo escritura(m_ctx.db(), tabla, kClave + columnas, nNumericos);
        ErrorBD error;
        for (const QVariantList &valores : filas) {
            escritura.insertar(valores, escritura.codigo(valores), &error);
            if (error.hay())
                return fallar(
                    error, describir(valores.mid(inicio.size())) + QStringLiteral(" (") + tabla + u')');
        }
    }

private:
    Contexto &m_ctx;
    AccesoDatos &m_datos;
    ResultadoGrabacion &m_r;
};


} // namespace

QString ResultadoGrabacion::textoFallo() const
{
    return QStringLiteral("La declaración no fue grabada: falló la sentencia que escribe %1.\n"
                          "Error Número : %2\n%3\n"
                          "No se grabó ningún cambio; la declaración guardada sigue como estaba.")
        .arg(paso, QString::number(error.numero), error.texto);
}

Grabacion::Grabacion(Declaracion &declaracion)
    : m_decl(declaracion)
{
}

bool Grabacion::casillaVacia(const QString &valor)
{
    return valor.isNull() || valor.trimmed().isEmpty() || valor == u"________";
}

QString Grabacion::valorCasilla(const QString &casilla, const QString &valor)
{
    // The telephone (028) and the RUC (002) keep their leading zeros: they
    // are codes, not figures.
    static const QStringList talCual = { QStringLiteral("397"), QStringLiteral("005"), QStringLiteral("871"),
        QStringLiteral("721"), QStringLiteral("012"), QStringLiteral("002"), QStringLiteral("028") };
    return talCual.contains(casilla) ? valor : formato(QStringView(valor), kFormatoEntero);
}

QList<std::pair<QString, QString>> Grabacion::casillasAGrabar(
    const DatosDeclaracion &datos, const QString &ruc, const QString &periodo, const QString &sumaParametros)
{
    QList<std::pair<QString, QString>> r;
    for (const QString &casilla : Declaracion::casillas())
        r.append({ casilla, datos.casilla(casilla) });
    const DatosPago &pago = datos.pago;
    if (pago.formapago.trimmed() == u"C")
        r.append({ QStringLiteral("015"), pago.banco.right(2) });
    const QString rectifica = datos.rectifica ? QStringLiteral("1") : QStringLiteral("0");
    r.append({ QStringLiteral("871"), rectifica });
    r.append({ QStringLiteral("005"), rectifica });
    r.append({ QStringLiteral("870"), pago.importe });
    r.append({ QStringLiteral("872"), pago.formapago });
    r.append({ QStringLiteral("012"), pago.numcheque });
    r.append({ QStringLiteral("002"), ruc });
    r.append({ QStringLiteral("007"), periodo });
    r.append({ QStringLiteral("028"), datos.identificacion.telefono });
    r.append({ QStringLiteral("721"), QStringLiteral("1.0") });
    r.append({ QStringLiteral("722"), sumaParametros });
    return r;
}

ResultadoGrabacion Grabacion::Grabar(const DatosDeclaracion &datos, bool reemplazarAjena)
{
    Contexto &ctx = m_decl.contexto();
    AccesoDatos &acceso = m_decl.datos();
    ResultadoGrabacion r;
    const DatosIdentificacion &ident = datos.identificacion;
    r.ruc = m_decl.esNueva() ? Declaracion::rucDeEntrada(ident.entradaRuc) : recortarBlancos(ident.numRuc);
    r.periodo = Declaracion::periodoAlmacenado(ident.periodoMostrado);
    if (m_decl.bHistorico()) {
        // A sent declaration is only looked at; its order number is recorded
        // apart.
        r.paso = QStringLiteral("una declaración enviada");
        r.error = { 3027, QStringLiteral("Una declaración enviada es de solo lectura.") };
        return r;
    }

    Guardado g(ctx, acceso, r);
    Transaccion transaccion(ctx.db(), Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada())
        g.fallar({ kErrorBaseBloqueada, QStringLiteral("database is locked") },
            QStringLiteral("el inicio de la grabación"));

    // Under the write lock, what is stored is what this window last read or
    // wrote; otherwise another user saved the declaration meanwhile.
    if (!g.fallido() && !reemplazarAjena) {
        ErrorBD fallo;
        const QByteArray guardada = m_decl.huellaGuardada(r.ruc, r.periodo, &fallo);
        if (fallo.hay()) {
            g.fallar(fallo, QStringLiteral("la lectura de la declaración guardada"));
        } else if (guardada != m_decl.huella()) {
            r.ajena = true;
            return r; // nothing written; the transaction rolls back
        }
    }

    // Flights and payments added before the taxpayer or the period was
    // last changed belong to this declaration too.
    for (const ConsultaSql &s :
        Declaracion::sentenciasMoverCopia(ctx.sRuc, ctx.sPeriodo, r.ruc, r.periodo, ctx.sFormulario)) {
        if (!g.fallido())
            g.ejecutar(
                s.sql, s.valores, QStringLiteral("la copia de trabajo bajo el RUC y período declarados"));
    }

    const DatosPago &pago = datos.pago;
    const QString forma = pago.formapago.trimmed();
    const bool cheque = forma == u"C";
    const QString importe = formato(QStringView(pago.importe.trimmed()), kFormatoEntero);
    const QDate hoy = ctx.reloj ? ctx.reloj->ahora().date() : QDate::currentDate();
    const QString blanco = QStringLiteral(" ");
    if (!g.fallido()) {
        g.escribirCabecera({ { QStringLiteral("fec_pro"), hoy.toString(Qt::ISODate) },
                               { QStringLiteral("bcolibrad"), cheque ? texto(pago.banco) : blanco },
                               { QStringLiteral("nrocheque"), cheque ? texto(pago.numcheque) : blanco },
                               { QStringLiteral("cheque"), cheque ? texto(importe) : blanco },
                               { QStringLiteral("efectivo"),
                                   forma == u"E" ? texto(importe) : (cheque ? QStringLiteral("") : blanco) },
                               { QStringLiteral("rectifica"),
                                   datos.rectifica ? QStringLiteral("1") : QStringLiteral("0") } },
            QStringLiteral("la cabecera (CAB)"));
    }

    if (!g.fallido()) {
        g.ejecutar(
            QStringLiteral("DELETE FROM DET WHERE doc_id_d=? AND periodo=? AND formulario=? AND tip_doc_d=6"),
            g.clave(), QStringLiteral("el borrado de las casillas (DET)"));
    }
    if (!g.fallido()) {
        EscrituraConCodigo det(ctx.db(), QStringLiteral("DET"), kColumnasCasilla, 6);
        const QString suma = acceso.SumaParametros().texto();
        for (const auto &[casilla, valor] : casillasAGrabar(datos, r.ruc, r.periodo, suma))
            g.grabarCasilla(det, casilla, valor);
    }

    g.copiarCopiaDeTrabajo(QStringLiteral("F517DETVP"), kColumnasVuelo, 6, [](const QVariantList &fila) {
        return QStringLiteral("el vuelo %1 del %2").arg(fila.at(1).toString(), fechaMostrada(fila.at(0)));
    });
    g.copiarCopiaDeTrabajo(QStringLiteral("F517PAGPRE"), kColumnasPago, 9, [](const QVariantList &fila) {
        return QStringLiteral("el pago %1 del %2").arg(fila.at(1).toString(), fechaMostrada(fila.at(3)));
    });

    // A declaration that does not pass every check is saved all the same,
    // marked 9 until it does.
    r.consistente = ValidaTodo(m_decl, ModoValidacion::Silencioso, datos).valida;
    if (!g.fallido())
        g.escribirCabecera({ { QStringLiteral("estado"), r.consistente ? 0 : 9 } },
            QStringLiteral("el estado de la cabecera (CAB)"));

    QByteArray nueva;
    if (!g.fallido()) {
        ErrorBD fallo;
        nueva = m_decl.huellaGuardada(r.ruc, r.periodo, &fallo);
        if (fallo.hay())
            g.fallar(fallo, QStringLiteral("la lectura de la declaración grabada"));
    }
    if (!g.fallido() && !transaccion.confirmar())
        g.fallar({ kErrorBaseBloqueada, QStringLiteral("database is locked") },
            QStringLiteral("la confirmación de la grabación"));
    if (g.fallido())
        return r; // the transaction rolls back as it goes out of scope

    r.grabada = true;
    m_decl.fijarHuella(nueva);
    ctx.sRuc = r.ruc;
    ctx.sPeriodo = r.periodo;
    const int codigo = r.consistente ? 151 : 152;
    r.mensaje = acceso.DescripcionError(codigo);
    if (r.mensaje.isEmpty()) {
        // The host's error texts are missing: the two outcomes still read
        // differently.
        r.mensaje = r.consistente ? QStringLiteral("La declaración fue grabada sin inconsistencias.")
                                  : QStringLiteral("La declaración fue grabada con inconsistencias.");
    }
    return r;
}

} // namespace kv
