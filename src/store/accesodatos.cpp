#include "accesodatos.h"

#include "contexto.h"
#include "esquema.h"
#include "formato.h"
#include "mensajes.h"
#include "numeros.h"
#include "reloj.h"
#include "texto.h"
#include "transaccion.h"
#include "utilidad.h"

#include <QFile>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

namespace kv {

namespace {

// The value of one column as the check code reads it.
QString textoParaCodigo(const ValorColumna &c)
{
    if (c.valor.isNull() || !c.valor.isValid())
        return {};
    switch (c.tipo) {
    case TipoColumna::Numero: {
        const auto n = convertirNumero(c.valor.toString());
        return n ? n->textoCorto() : QString();
    }
    case TipoColumna::Fecha: {
        // Stored as ISO text ("yyyy-mm-dd", perhaps with a time).
        const QString iso = c.valor.toString().left(10);
        const QDate fecha = QDate::fromString(iso, Qt::ISODate);
        return fecha.isValid() ? QString::number(fecha.year() * 10000 + fecha.month() * 100 + fecha.day())
                               : QString();
    }
    case TipoColumna::Texto: {
        // Most stored texts have no blank to trim: they are used as they are.
        const QString texto = c.valor.toString();
        return texto.startsWith(u' ') || texto.endsWith(u' ') ? recortarBlancos(texto) : texto;
    }
    case TipoColumna::Otro:
        break;
    }
    return {};
}

// The last three digits of the sum rounded to a whole number (halves away
// from zero), as they end its twenty-digit form; the sign plays no part.
QString ultimosTres(const Decimal &suma)
{
    __int128 entero = suma.redondeado(0).unidades() / Decimal::kUnidad;
    if (entero < 0)
        entero = -entero;
    return QString::number(int(entero % 1000)).rightJustified(3, u'0');
}

// The old pattern language ("*", "?") of the parameter list boxes in the
// engine's LIKE.
QString patronLike(const QString &patron)
{
    QString r = patron;
    r.replace(u'*', u'%').replace(u'?', u'_').replace(u'#', u'_');
    return r;
}

} // namespace

TipoColumna tipoDeclarado(const QString &tipo)
{
    const QString t = tipo.trimmed().toLower();
    static const QStringList numeros = {QStringLiteral("byte"),    QStringLiteral("integer"), QStringLiteral("int"),
                                        QStringLiteral("long"),    QStringLiteral("single"),  QStringLiteral("double"),
                                        QStringLiteral("currency"), QStringLiteral("real"),    QStringLiteral("numeric"),
                                        QStringLiteral("smallint"), QStringLiteral("counter")};
    if (numeros.contains(t))
        return TipoColumna::Numero;
    if (t == u"date" || t == u"datetime")
        return TipoColumna::Fecha;
    if (t.startsWith(u"text") || t.startsWith(u"char") || t.startsWith(u"varchar") || t == u"memo")
        return TipoColumna::Texto;
    return TipoColumna::Otro;
}

AccesoDatos::AccesoDatos(Contexto &contexto) : m_ctx(contexto) {}

bool AccesoDatos::EjecutarSQL(const QString &sql, const QVariantList &valores)
{
    ErrorBD error;
    consultar(sql, valores, &error);
    if (!error.hay())
        return true;
    if (m_ctx.mensajes) {
        m_ctx.mensajes->mostrar(QStringLiteral("Error al Ejecutar Sentencia SQL"),
                                QStringLiteral("Error Número : ") + QString::number(error.numero) + u'\n'
                                    + error.texto,
                                Icono::Critico);
    }
    return false;
}

QSqlQuery ejecutarConsulta(QSqlDatabase db, const ConsultaSql &consulta, ErrorBD *error, bool soloAdelante)
{
    QSqlQuery q(db);
    // A PostgreSQL connection streams a forward-only result and can then run
    // nothing else until it is read to its end; the programs read a lookup
    // while walking a list (a voucher's description for each payment), so
    // there the whole result is fetched at once.
    q.setForwardOnly(soloAdelante && motorDe(db) == Motor::SQLite);
    bool ok = false;
    if (consulta.valores.isEmpty()) {
        // Nothing to bind: run as it is. A server prepares only queries and
        // plain writes, not a statement that defines tables or triggers.
        ok = q.exec(consulta.sql);
    } else {
        ok = q.prepare(consulta.sql);
        if (ok) {
            for (const QVariant &v : consulta.valores)
                q.addBindValue(v);
            ok = q.exec();
        }
    }
    if (error)
        *error = ok ? ErrorBD{} : traducirError(q.lastError());
    return q;
}

QSqlQuery AccesoDatos::consultar(const QString &sql, const QVariantList &valores, ErrorBD *error) const
{
    return ejecutarConsulta(m_ctx.db(), ConsultaSql{sql, valores}, error);
}

QString AccesoDatos::CodigoControl(const QList<ValorColumna> &fila, int nNumericos)
{
    Decimal numerica;
    Decimal textual;
    for (qsizetype i = 0; i < fila.size(); ++i) {
        const QString texto = textoParaCodigo(fila.at(i));
        if (i < nNumericos) {
            if (const auto n = convertirNumero(texto))
                numerica += *n;
        } else if (i < fila.size() - 1) {
            __int128 suma = 0;
            for (qsizetype j = 0; j < texto.size(); ++j)
                suma += __int128(j + 1) * codigoCp1252(texto.at(j));
            textual += Decimal::desdeUnidades(suma * Decimal::kUnidad);
        }
    }
    return ultimosTres(numerica) + ultimosTres(textual);
}

QString AccesoDatos::CodigoControl(const QString &tabla, const QVariantMap &valores, int nNumericos) const
{
    QList<ValorColumna> fila;
    for (const Columna &c : columnasDeclaradas(m_ctx.db(), tabla)) {
        QVariant valor;
        for (auto it = valores.cbegin(); it != valores.cend(); ++it) {
            if (it.key().compare(c.nombre, Qt::CaseInsensitive) == 0) {
                valor = it.value();
                break;
            }
        }
        fila.append(ValorColumna{valor, tipoDeclarado(c.tipo)});
    }
    return CodigoControl(fila, nNumericos);
}

QString AccesoDatos::CodigoControl(const QString &tabla, const QSqlRecord &registro, int nNumericos) const
{
    QVariantMap valores;
    for (int i = 0; i < registro.count(); ++i)
        valores.insert(registro.fieldName(i), registro.value(i));
    return CodigoControl(tabla, valores, nNumericos);
}

QString AccesoDatos::TipoUsuario() const
{
    QSqlQuery q = consultar(QStringLiteral("SELECT Tipo FROM CLAVES WHERE Usuario=?"), {m_ctx.sUsuario});
    return q.next() ? q.value(0).toString() : QStringLiteral("1");
}

QString AccesoDatos::DescripcionError(int numero) const
{
    QSqlQuery q = consultar(QStringLiteral("SELECT DescError FROM ERROR WHERE CodError=?"),
                            {formato(Decimal(numero), u"0000")});
    return q.next() ? q.value(0).toString() : QString();
}

QString AccesoDatos::AsignarArchivoReporte(const QString &codRep, const QVariant &tipDoc, const QString &docId,
                                           ErrorBD *error)
{
    ErrorBD fallo;
    auto falla = [&](ErrorBD e) {
        if (error)
            *error = e;
        return QString();
    };
    Transaccion transaccion(m_ctx.db(), Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada())
        return falla({kErrorBaseBloqueada, QStringLiteral("database is locked")});

    QSqlQuery q = consultar(QStringLiteral("SELECT max(Secuencia) FROM SPOOL WHERE CodRep=?"), {codRep}, &fallo);
    if (fallo.hay())
        return falla(fallo);
    const std::int64_t secuencia = q.next() && !q.value(0).isNull() ? val(q.value(0).toString()).aEnteroPar() : 0;

    q = consultar(QStringLiteral("SELECT max(substr(Archivo,1,8)) FROM SPOOL"), {}, &fallo);
    if (fallo.hay())
        return falla(fallo);
    std::int64_t archivo = 0;
    if (q.next() && !q.value(0).isNull()) {
        const auto n = convertirNumero(q.value(0).toString());
        if (!n)
            return falla({13, QStringLiteral("Type mismatch: ") + q.value(0).toString()});
        archivo = n->aEnteroPar();
    }

    const QString nombre = formato(Decimal::entero(archivo + 1), u"00000000") + QStringLiteral(".PRN");
    const QDateTime ahora = m_ctx.reloj ? m_ctx.reloj->ahora() : QDateTime::currentDateTime();
    consultar(QStringLiteral("INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, doc_id_d) "
                             "VALUES (?,?,?,?,?,?,?)"),
              {codRep, formato(Decimal::entero(secuencia + 1), u"000000"), nombre,
               ahora.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), m_ctx.sUsuario, tipDoc, docId},
              &fallo);
    if (fallo.hay())
        return falla(fallo);
    if (!transaccion.confirmar())
        return falla({kErrorBaseBloqueada, QStringLiteral("database is locked")});
    if (error)
        *error = {};
    return nombre;
}

void AccesoDatos::RetirarArchivoReporte(const QString &archivo) const
{
    if (archivo.isEmpty())
        return;
    QFile::remove(m_ctx.sRutaReportes + u'/' + archivo);
    consultar(QStringLiteral("DELETE FROM SPOOL WHERE Archivo=?"), {archivo});
}

QString AccesoDatos::ParametroFuncion(const QString &numero, const QString &argumento, int longitud, int inicio) const
{
    QSqlQuery q = consultar(
        QStringLiteral("SELECT Argumento, substr(Funcion,?,?) AS Func FROM PARAM WHERE Numero=? AND Argumento=?"),
        {inicio, longitud, numero, argumento});
    return q.next() ? q.value(1).toString() : QString();
}

QStringList AccesoDatos::EntradasComboParametros(const QString &numero, const QString &patron, int longitud,
                                                 int inicio, bool conBlanco) const
{
    QStringList entradas;
    if (conBlanco)
        entradas << QString(75, u' ');
    QSqlQuery q = consultar(QStringLiteral("SELECT Argumento, substr(Funcion,?,?) AS Func FROM PARAM "
                                           "WHERE Numero=? AND Argumento LIKE ? ORDER BY 2, 1"),
                            {inicio, longitud, numero, patronLike(patron)});
    while (q.next()) {
        const QString funcion = q.value(1).toString();
        QString entrada = m_ctx.utilidad->alinearIzquierda(q.value(0).toString(), 12) + QString(5, u' ');
        if (!funcion.left(15).trimmed().isEmpty())
            entrada += funcion;
        entradas << entrada;
    }
    return entradas;
}

ConsultaSql AccesoDatos::ConsultaContribuyentes(const QString &formulario) const
{
    Q_UNUSED(formulario); // every form shares the host's taxpayer register
    static const QString kRucPredeterminado = QStringLiteral(
        "REG. UNICO DE CONTRIBUYENTES   RUC           11 000110 01 000001000001100111011111"
        "                                           0 5 0");
    QString funcion = kRucPredeterminado;
    QSqlQuery q = consultar(QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero='044' AND Argumento='6'"));
    if (q.next())
        funcion = q.value(0).toString();

    ConsultaSql consulta{QStringLiteral("SELECT * FROM CONT WHERE Tip_doc_d=6"), {}};
    if (valEntero(funcion.mid(45, 2)) == 11 && valEntero(funcion.mid(129, 1)) == 1)
        consulta.sql += QStringLiteral(" AND length(trim(Doc_id_d))=11");
    if (TipoUsuario() == u"0") {
        consulta.sql += QStringLiteral(" ORDER BY Tip_doc_d, Doc_id_d");
    } else {
        consulta.sql += QStringLiteral(" AND Usuario=? ORDER BY Tip_doc_d, Doc_id_d");
        consulta.valores << m_ctx.sUsuario;
    }
    return consulta;
}

QStringList AccesoDatos::EntradasComboRuc() const
{
    QStringList entradas;
    QSqlQuery q = consultar(ConsultaContribuyentes(m_ctx.sFormulario));
    while (q.next()) {
        const QString documento = q.value(1).toString();
        const QString entrada = recortarBlancos(documento).size() == 8
            ? documento.left(8) + QString(5, u' ')
            : documento.left(11).leftJustified(11, u' ') + QString(2, u' ');
        entradas << entrada + q.value(3).toString();
    }
    return entradas;
}

QString AccesoDatos::TasaVigente(const QString &fecha) const
{
    QSqlQuery q = consultar(QStringLiteral("SELECT Argumento, substr(Funcion,1,7) AS NOVARA FROM PARAM "
                                           "WHERE Numero='966' AND trim(Argumento) <= ? ORDER BY Argumento DESC"),
                            {fecha});
    return q.next() ? q.value(1).toString() : QStringLiteral("0");
}

Decimal AccesoDatos::SumaParametros() const
{
    QSqlQuery q = consultar(QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero='981' AND substr(Argumento,1,4)=?"),
                            {m_ctx.sFormulario});
    const QString lista = q.next() ? q.value(0).toString().trimmed() : QString();
    Decimal total;
    const int cuantos = lista.isEmpty() ? 0 : int((lista.size() + 1) / 4);
    for (int i = 0; i < cuantos; ++i) {
        const QString entrada = lista.mid(4 * i, 3);
        Decimal secuencias;
        QSqlQuery filas = consultar(QStringLiteral("SELECT Correl_param FROM PARAM WHERE Numero=?"), {entrada});
        while (filas.next()) {
            if (const auto n = convertirNumero(filas.value(0).toString().trimmed()))
                secuencias += *n;
        }
        total += convertirNumero(entrada).value_or(Decimal()) * secuencias;
    }
    return total;
}

QString AccesoDatos::CalculaVerificador(const QString &clave, const QString &numOrden) const
{
    const QChar c1 = m_ctx.utilidad->digesto(clave).at(8);
    const QString segundo = m_ctx.utilidad->digesto(clave + numOrden + c1);
    return QString(c1) + segundo.right(1);
}

bool AccesoDatos::VerificaNumeroOrden(const QString &clave, const QString &numOrden, const QString &verificador) const
{
    return CalculaVerificador(clave, numOrden) == verificador;
}

bool AccesoDatos::ValidaDecimales(QString &texto, int n) const
{
    if (texto.isEmpty()) {
        texto = QStringLiteral("0.00");
        return true;
    }
    if (texto.count(u'.') > 1) {
        if (m_ctx.mensajes)
            m_ctx.mensajes->mostrar(QStringLiteral("Validación"), QStringLiteral("No registre mas de un punto decimal"));
        return false;
    }
    const qsizetype punto = texto.indexOf(u'.');
    const bool cabe = punto < 0 ? texto.size() <= n : (punto <= n && texto.size() - punto - 1 <= n);
    if (!cabe) {
        if (m_ctx.mensajes)
            m_ctx.mensajes->mostrar(QStringLiteral("Validación"),
                                    QStringLiteral("Registre como máximo 1 entero y 3 decimales"), Icono::Critico);
        return false;
    }
    return true;
}

} // namespace kv
