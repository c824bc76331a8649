#include "grabacion.h"

#include "store/contexto.h"
#include "store/dialecto.h"
#include "store/esquema.h"
#include "store/formato.h"
#include "store/funcionessqlite.h"
#include "store/reloj.h"
#include "store/texto.h"
#include "store/transaccion.h"

#include <QSqlError>
#include <QSqlRecord>

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
    static constexpr int kFilasPorBloque = 1000;

    EscrituraConCodigo(QSqlDatabase db, const QString &tabla, const QStringList &columnas, int nNumericos)
        : m_db(db)
        , m_tabla(tabla)
        , m_columnas(columnas)
        , m_numericos(nNumericos)
        , m_insercion(db)
        , m_bloque(db)
    {
        m_tiposServidor = QStringList(columnas.size(), QStringLiteral("text"));
        for (const Columna &c : columnasDeclaradas(db, tabla)) {
            m_tipos << tipoDeclarado(c.tipo);
            qsizetype origen = -1;
            for (qsizetype i = 0; i < columnas.size() && origen < 0; ++i) {
                if (columnas.at(i).compare(c.nombre, Qt::CaseInsensitive) == 0)
                    origen = i;
            }
            m_origen << origen;
            if (origen >= 0)
                m_tiposServidor[origen] = tipoSegunMotor(c.tipo, Motor::PostgreSQL);
        }
    }

    // `valores` in the order of the columns given.
    QString codigo(const QVariantList &valores) const
    {
        SumaCodigoControl suma(m_numericos);
        for (qsizetype i = 0; i < m_tipos.size(); ++i) {
            // The code's own column, the table's last, does not count.
            if (i + 1 == m_tipos.size() && i >= m_numericos)
                break;
            const qsizetype origen = m_origen.at(i);
            suma.agregar(ValorColumna { origen >= 0 ? valores.at(origen) : QVariant(), m_tipos.at(i) });
        }
        return suma.codigo();
    }

    void insertar(const QVariantList &valores, const QString &codigo, ErrorBD *error)
    {
        if (!m_preparada) {
            m_preparada = m_insercion.prepare(sentencia(1));
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

    // The rows of a block in one statement on a server: one array per
    // column, made rows again by unnest(), each element cast to its column's
    // type.
    void insertarBloque(const QList<QVariantList> &filas, ErrorBD *error)
    {
        if (filas.isEmpty())
            return;
        if (!m_bloquePreparado) {
            QStringList arreglos;
            for (const QString &tipo : m_tiposServidor)
                arreglos << QStringLiteral("?::") + tipo + QStringLiteral("[]");
            arreglos << QStringLiteral("?::text[]");
            m_bloquePreparado = m_bloque.prepare(QStringLiteral("INSERT INTO ") + m_tabla + QStringLiteral(" (")
                                                 + m_columnas.join(QStringLiteral(", "))
                                                 + QStringLiteral(", cNumero) SELECT * FROM unnest(")
                                                 + arreglos.join(u',') + u')');
            if (!m_bloquePreparado) {
                *error = traducirError(m_bloque.lastError());
                return;
            }
        }
        QList<QStringList> columnas(m_columnas.size() + 1);
        for (const QVariantList &valores : filas) {
            for (qsizetype i = 0; i < valores.size(); ++i)
                columnas[i] << (valores.at(i).isNull() ? QString() : valores.at(i).toString());
            columnas.last() << codigo(valores);
        }
        for (qsizetype i = 0; i < columnas.size(); ++i)
            m_bloque.bindValue(int(i), dialecto::arregloPostgres(columnas.at(i)));
        *error = m_bloque.exec() ? ErrorBD {} : traducirError(m_bloque.lastError());
    }

    // On SQLite the whole working copy goes in one INSERT ... SELECT, the
    // database working out each row's code (kv_codigo) as it copies it:
    // no row comes to the program. The source's key is bound last.
    ConsultaSql copiaEnLaBase(const QString &origen, const QVariantList &clave) const
    {
        const QStringList todas = m_columnas;
        QStringList argumentos;
        QString tipos;
        QVariantList valores;
        for (qsizetype i = 0; i < m_tipos.size(); ++i) {
            if (i + 1 == m_tipos.size() && i >= m_numericos)
                break;
            tipos += QLatin1Char(letraTipo(m_tipos.at(i)));
            const qsizetype o = m_origen.at(i);
            if (o < 0) {
                argumentos << QStringLiteral("NULL");
            } else if (o < clave.size()) {
                argumentos << QStringLiteral("?");
                valores << clave.at(o);
            } else {
                argumentos << todas.at(o);
            }
        }
        QStringList seleccion;
        QVariantList valoresSeleccion;
        for (qsizetype i = 0; i < todas.size(); ++i) {
            if (i < clave.size()) {
                seleccion << QStringLiteral("?");
                valoresSeleccion << clave.at(i);
            } else {
                seleccion << todas.at(i);
            }
        }
        const QString sql = QStringLiteral("INSERT INTO ") + m_tabla + QStringLiteral(" (")
            + todas.join(QStringLiteral(", ")) + QStringLiteral(", cNumero) SELECT ")
            + seleccion.join(QStringLiteral(", ")) + QStringLiteral(", kv_codigo(%1, '%2', ").arg(m_numericos).arg(tipos)
            + argumentos.join(QStringLiteral(", ")) + QStringLiteral(") FROM ") + origen
            + QStringLiteral(" WHERE tip_doc_d=? AND doc_id_d=? AND periodo=? AND formulario=?");
        return { sql, valoresSeleccion + valores + clave };
    }

private:
    QString sentencia(qsizetype filas) const
    {
        const QString fila = u'(' + QString(QStringLiteral("?,")).repeated(m_columnas.size()) + QStringLiteral("?)");
        QStringList todas;
        for (qsizetype i = 0; i < filas; ++i)
            todas << fila;
        return QStringLiteral("INSERT INTO ") + m_tabla + QStringLiteral(" (") + m_columnas.join(QStringLiteral(", "))
            + QStringLiteral(", cNumero) VALUES ") + todas.join(u',');
    }

    QSqlDatabase m_db;
    QString m_tabla;
    QStringList m_columnas;
    QList<TipoColumna> m_tipos;
    QList<qsizetype> m_origen;
    QStringList m_tiposServidor; // by the columns given
    int m_numericos;
    QSqlQuery m_insercion;
    QSqlQuery m_bloque;
    bool m_preparada = false;
    bool m_bloquePreparado = false;
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
    // permanent table replaced by the working copy's. A failure names the
    // rows being copied (`que`).
    void copiarCopiaDeTrabajo(const QString &tabla, const QStringList &columnas, int nNumericos, const QString &que)
    {
        if (fallido())
            return;
        ejecutar(QStringLiteral("DELETE FROM ") + tabla + kCondicionClave, clave(),
            QStringLiteral("el borrado de las filas de %1").arg(tabla));
        if (fallido())
            return;
        const QString paso = que + QStringLiteral(" (") + tabla + u')';
        const QVariantList inicio { 6, m_r.ruc, m_r.periodo, m_ctx.sFormulario };
        EscrituraConCodigo escritura(m_ctx.db(), tabla, kClave + columnas, nNumericos);
        if (motorDe(m_ctx.db()) == Motor::SQLite) {
            ejecutar(escritura.copiaEnLaBase(QStringLiteral("TMP") + tabla, inicio), paso);
            return;
        }
        // A server is read a block at a time through a cursor of this
        // transaction, and each block written in one statement. The key
        // reaches the cursor's query as settings of the transaction, since
        // a cursor's query takes no bound values.
        ejecutar(QStringLiteral("SELECT set_config('kv.ruc', ?, true), set_config('kv.periodo', ?, true), "
                                "set_config('kv.formulario', ?, true)"),
            clave(), paso);
        ejecutar(QStringLiteral("DECLARE kv_copia NO SCROLL CURSOR FOR SELECT ") + columnas.join(QStringLiteral(", "))
                + QStringLiteral(" FROM TMP") + tabla
                + QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=current_setting('kv.ruc') "
                                 "AND periodo=current_setting('kv.periodo') "
                                 "AND formulario=current_setting('kv.formulario')"),
            {}, paso);
        const QString leer = QStringLiteral("FETCH %1 FROM kv_copia").arg(EscrituraConCodigo::kFilasPorBloque);
        QList<QVariantList> bloque;
        bloque.reserve(EscrituraConCodigo::kFilasPorBloque);
        while (!fallido()) {
            QSqlQuery q = ejecutar(leer, {}, paso);
            bloque.clear();
            while (!fallido() && q.next()) {
                QVariantList valores = inicio;
                for (qsizetype i = 0; i < columnas.size(); ++i)
                    valores << q.value(int(i));
                bloque << valores;
            }
            q.finish();
            if (bloque.isEmpty())
                break;
            ErrorBD error;
            escritura.insertarBloque(bloque, &error);
            fallar(error, paso);
        }
        if (!fallido())
            ejecutar(QStringLiteral("CLOSE kv_copia"), {}, paso);
    }

    QSqlQuery ejecutar(const ConsultaSql &consulta, const QString &paso)
    {
        return ejecutar(consulta.sql, consulta.valores, paso);
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

    g.copiarCopiaDeTrabajo(QStringLiteral("F517DETVP"), kColumnasVuelo, 6, QStringLiteral("los vuelos"));
    g.copiarCopiaDeTrabajo(QStringLiteral("F517PAGPRE"), kColumnasPago, 9, QStringLiteral("los pagos previos"));

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
