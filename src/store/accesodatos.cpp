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

// A character of a text as UTF-16, or a byte of UTF-8 (ASCII bytes are the
// same character).
char16_t unidad(QChar c)
{
    return c.unicode();
}
char16_t unidad(char c)
{
    return uchar(c);
}

template<typename Texto> Texto sinBlancosBorde(Texto t)
{
    while (!t.isEmpty() && t.front() == ' ')
        t = t.sliced(1);
    while (!t.isEmpty() && t.back() == ' ')
        t.chop(1);
    return t;
}

// Up to 18 digits and nothing else: a whole number that fits in 64 bits.
template<typename Texto> std::optional<qint64> soloCifras(Texto t)
{
    if (t.isEmpty() || t.size() > 18)
        return std::nullopt;
    qint64 n = 0;
    for (const auto c : t) {
        const char16_t u = unidad(c);
        if (u < u'0' || u > u'9')
            return std::nullopt;
        n = n * 10 + (u - u'0');
    }
    return n;
}

// A text that cannot be a number whatever its blanks and signs: a
// character that no numeric form takes, with no "&H"/"&O" prefix that
// would make letters digits.
template<typename Texto> bool nuncaNumero(Texto t)
{
    static constexpr QLatin1String kPosibles(" \t\n\r+-(),.eEdD0123456789&");
    for (const auto c : t) {
        const char16_t u = unidad(c);
        if (u == u'&')
            return false;
        if (u >= 0x80 || !kPosibles.contains(QLatin1Char(char(u))))
            return true;
    }
    return false;
}

// "yyyy-mm-dd" at the start of a text (a date-time follows it) as the
// number yyyymmdd; nothing when the text is not that or the day does not
// exist, as an ISO date read by QDate.
template<typename Texto> std::optional<int> fechaIso(Texto t)
{
    if (t.size() < 10 || t[4] != '-' || t[7] != '-')
        return std::nullopt;
    int partes[3] = {0, 0, 0};
    const int desde[3] = {0, 5, 8};
    const int largo[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = desde[p]; i < desde[p] + largo[p]; ++i) {
            const char16_t u = unidad(t[i]);
            if (u < u'0' || u > u'9')
                return std::nullopt;
            partes[p] = partes[p] * 10 + (u - u'0');
        }
    }
    if (partes[0] == 0 || !QDate(partes[0], partes[1], partes[2]).isValid())
        return std::nullopt;
    return partes[0] * 10000 + partes[1] * 100 + partes[2];
}

} // namespace

void SumaCodigoControl::agregarGeneral(const ValorColumna &c)
{
    const QString texto = textoParaCodigo(c);
    if (numerica()) {
        if (const auto n = convertirNumero(texto))
            m_numerica += *n;
    } else {
        sumarCaracteres(texto);
    }
    ++m_columna;
}

void SumaCodigoControl::sumarCaracteres(QStringView texto)
{
    for (qsizetype j = 0; j < texto.size(); ++j)
        m_textual += __int128(j + 1) * codigoCp1252(texto[j]);
}

void SumaCodigoControl::agregar(const ValorColumna &c)
{
    if (c.valor.isNull() || !c.valor.isValid() || c.tipo == TipoColumna::Otro)
        return agregarNulo();
    const int tipo = c.valor.typeId();
    if (tipo == QMetaType::QString && c.tipo != TipoColumna::Numero) {
        const QStringView t = *static_cast<const QString *>(c.valor.constData());
        if (c.tipo == TipoColumna::Texto && !numerica()) {
            // Blanks at either end do not count, and every character
            // weighs its Windows-1252 code.
            sumarCaracteres(sinBlancosBorde(t));
            ++m_columna;
            return;
        }
        if (c.tipo == TipoColumna::Texto) {
            if (sumarTextoNumerico(sinBlancosBorde(t)))
                return;
        } else if (numerica()) {
            if (const auto f = fechaIso(t))
                return sumarEntero(*f);
        }
    } else if ((tipo == QMetaType::Int || tipo == QMetaType::LongLong) && numerica()
               && (c.tipo == TipoColumna::Texto || c.tipo == TipoColumna::Numero)) {
        return sumarEntero(c.valor.toLongLong());
    }
    agregarGeneral(c);
}

void SumaCodigoControl::sumarEntero(qint64 n)
{
    m_numerica += Decimal::entero(n);
    ++m_columna;
}

template<typename Texto> bool SumaCodigoControl::sumarTextoNumerico(Texto recortado)
{
    if (const auto n = soloCifras(recortado)) {
        sumarEntero(*n);
        return true;
    }
    if (nuncaNumero(recortado)) {
        agregarNulo();
        return true;
    }
    return false;
}

void SumaCodigoControl::agregarUtf8(QByteArrayView utf8, TipoColumna tipo)
{
    if (tipo == TipoColumna::Otro)
        return agregarNulo();
    if (tipo == TipoColumna::Texto) {
        const QByteArrayView t = sinBlancosBorde(utf8);
        if (numerica()) {
            if (sumarTextoNumerico(t))
                return;
        } else if (std::all_of(t.begin(), t.end(), [](char c) { return uchar(c) < 0x80; })) {
            // ASCII is its own code page.
            for (qsizetype j = 0; j < t.size(); ++j)
                m_textual += __int128(j + 1) * uchar(t[j]);
            ++m_columna;
            return;
        }
    } else if (tipo == TipoColumna::Fecha && numerica()) {
        if (const auto f = fechaIso(utf8))
            return sumarEntero(*f);
    }
    agregarGeneral({QString::fromUtf8(utf8), tipo});
}

void SumaCodigoControl::agregarEntero(qint64 valor, TipoColumna tipo)
{
    if (numerica() && (tipo == TipoColumna::Texto || tipo == TipoColumna::Numero))
        return sumarEntero(valor);
    agregarGeneral({QVariant(valor), tipo});
}

QString SumaCodigoControl::codigo() const
{
    // ultimosTres of each sum, written straight into the six characters.
    __int128 numerica = m_numerica.redondeado(0).unidades() / Decimal::kUnidad;
    __int128 textual = m_textual;
    QString r(6, Qt::Uninitialized);
    QChar *c = r.data();
    for (__int128 suma : {numerica, textual}) {
        const int n = int((suma < 0 ? -suma : suma) % 1000);
        *c++ = QChar(u'0' + n / 100);
        *c++ = QChar(u'0' + n / 10 % 10);
        *c++ = QChar(u'0' + n % 10);
    }
    return r;
}

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
