#include "funcionessqlite.h"

#include <QSqlDriver>
#include <QSqlError>
#include <cstring>
#include <sqlite3.h>

namespace kv {

namespace {

TipoColumna tipoDeLetra(char letra)
{
    switch (letra) {
    case 'N':
        return TipoColumna::Numero;
    case 'F':
        return TipoColumna::Fecha;
    case 'T':
        return TipoColumna::Texto;
    default:
        return TipoColumna::Otro;
    }
}

// A value as the Qt driver reads it from the same column, for the values
// the check code's fast ways do not take (real numbers, blobs).
QVariant comoLoLeeQt(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    }
}

void codigo(sqlite3_context *contexto, int argc, sqlite3_value **argv)
{
    if (argc < 2) {
        sqlite3_result_error(contexto, "kv_codigo: nNumericos, tipos, valores", -1);
        return;
    }
    SumaCodigoControl suma(sqlite3_value_int(argv[0]));
    const char *tipos = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const int nTipos = tipos ? sqlite3_value_bytes(argv[1]) : 0;
    for (int i = 2; i < argc; ++i) {
        const TipoColumna tipo = tipoDeLetra(i - 2 < nTipos ? tipos[i - 2] : 'O');
        sqlite3_value *v = argv[i];
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            suma.agregarNulo();
            break;
        case SQLITE_INTEGER:
            suma.agregarEntero(sqlite3_value_int64(v), tipo);
            break;
        case SQLITE_TEXT:
            suma.agregarUtf8(QByteArrayView(reinterpret_cast<const char *>(sqlite3_value_text(v)),
                                            sqlite3_value_bytes(v)),
                             tipo);
            break;
        default:
            suma.agregar({comoLoLeeQt(v), tipo});
            break;
        }
    }
    const QByteArray r = suma.codigo().toLatin1();
    sqlite3_result_text(contexto, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

// The fingerprint's running state, kept by SQLite between rows.
struct Huella
{
    quint64 filas;
    quint64 suma;
    quint64 mezcla;
};

// FNV-1a over the bytes, then a final mix so that close rows land far
// apart.
struct Fnv
{
    quint64 h = 0xcbf29ce484222325ULL;
    void agregar(const void *datos, size_t n)
    {
        const auto *b = static_cast<const unsigned char *>(datos);
        for (size_t i = 0; i < n; ++i) {
            h ^= b[i];
            h *= 0x100000001b3ULL;
        }
    }
    quint64 final() const
    {
        quint64 x = h;
        x ^= x >> 33;
        x *= 0xff51afd7ed558ccdULL;
        x ^= x >> 33;
        x *= 0xc4ceb9fe1a85ec53ULL;
        x ^= x >> 33;
        return x;
    }
};

void huellaPaso(sqlite3_context *contexto, int argc, sqlite3_value **argv)
{
    auto *h = static_cast<Huella *>(sqlite3_aggregate_context(contexto, sizeof(Huella)));
    if (!h) {
        sqlite3_result_error_nomem(contexto);
        return;
    }
    Fnv fila;
    for (int i = 0; i < argc; ++i) {
        sqlite3_value *v = argv[i];
        const unsigned char tipo = uchar(sqlite3_value_type(v));
        fila.agregar(&tipo, 1);
        switch (tipo) {
        case SQLITE_INTEGER: {
            const qint64 n = sqlite3_value_int64(v);
            fila.agregar(&n, sizeof n);
            break;
        }
        case SQLITE_FLOAT: {
            const double d = sqlite3_value_double(v);
            fila.agregar(&d, sizeof d);
            break;
        }
        case SQLITE_NULL:
            break;
        default: {
            const void *datos = tipo == SQLITE_BLOB ? sqlite3_value_blob(v) : sqlite3_value_text(v);
            const quint32 n = quint32(sqlite3_value_bytes(v));
            fila.agregar(&n, sizeof n);
            fila.agregar(datos, n);
            break;
        }
        }
    }
    const quint64 x = fila.final();
    ++h->filas;
    h->suma += x;
    h->mezcla += x * x + (x >> 29);
}

void huellaFinal(sqlite3_context *contexto)
{
    auto *h = static_cast<Huella *>(sqlite3_aggregate_context(contexto, 0));
    if (!h || h->filas == 0) {
        sqlite3_result_null(contexto);
        return;
    }
    const QByteArray r = QByteArray::number(h->filas) + ':' + QByteArray::number(h->suma, 16) + ':'
        + QByteArray::number(h->mezcla, 16);
    sqlite3_result_text(contexto, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

} // namespace

char letraTipo(TipoColumna tipo)
{
    switch (tipo) {
    case TipoColumna::Numero:
        return 'N';
    case TipoColumna::Fecha:
        return 'F';
    case TipoColumna::Texto:
        return 'T';
    case TipoColumna::Otro:
        break;
    }
    return 'O';
}

namespace {

// The SQLite handle under a Qt connection; null for another engine.
sqlite3 *manejadorSqlite(const QSqlDatabase &db)
{
    const QVariant manejador = db.driver() ? db.driver()->handle() : QVariant();
    if (!manejador.isValid() || std::strcmp(manejador.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(manejador.constData());
}

ErrorBD errorSqlite(sqlite3 *h, int codigo)
{
    // As the Qt driver makes its error: SQLite's code and message.
    return traducirError(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(h)), QSqlError::StatementError,
                                   QString::number(codigo)));
}

} // namespace

SentenciaSqlite::SentenciaSqlite(QSqlDatabase db, const QString &sql)
{
    sqlite3 *h = manejadorSqlite(db);
    if (!h) {
        m_error = {1, QStringLiteral("no SQLite connection")};
        return;
    }
    m_base = h;
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *s = nullptr;
    const int rc = sqlite3_prepare_v3(h, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr);
    if (rc != SQLITE_OK) {
        m_error = errorSqlite(h, rc);
        sqlite3_finalize(s);
        return;
    }
    m_sentencia = s;
}

SentenciaSqlite::~SentenciaSqlite()
{
    sqlite3_finalize(static_cast<sqlite3_stmt *>(m_sentencia));
}

void SentenciaSqlite::texto(int posicion, QStringView valor)
{
    auto *s = static_cast<sqlite3_stmt *>(m_sentencia);
    if (!s)
        return;
    if (valor.isNull()) { // as the Qt driver binds a null text
        sqlite3_bind_null(s, posicion + 1);
        return;
    }
    // Most values are short ASCII: narrowed into the run's buffer, which
    // SQLite reads in place until the run ends.
    if (m_textos.isEmpty())
        m_textos.resize(4096);
    if (m_usado + valor.size() <= m_textos.size()) {
        char *destino = m_textos.data() + m_usado;
        bool ascii = true;
        for (qsizetype i = 0; i < valor.size() && ascii; ++i) {
            const char16_t u = valor[i].unicode();
            ascii = u < 0x80;
            destino[i] = char(u);
        }
        if (ascii) {
            sqlite3_bind_text(s, posicion + 1, destino, int(valor.size()), SQLITE_STATIC);
            m_usado += valor.size();
            return;
        }
    }
    const QByteArray utf8 = valor.toUtf8();
    sqlite3_bind_text(s, posicion + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SentenciaSqlite::entero(int posicion, qint64 valor)
{
    if (m_sentencia)
        sqlite3_bind_int64(static_cast<sqlite3_stmt *>(m_sentencia), posicion + 1, valor);
}

bool SentenciaSqlite::ejecutar()
{
    auto *s = static_cast<sqlite3_stmt *>(m_sentencia);
    if (!s)
        return false;
    int rc = sqlite3_step(s);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(s);
    m_error = rc == SQLITE_DONE ? ErrorBD {} : errorSqlite(static_cast<sqlite3 *>(m_base), rc);
    sqlite3_reset(s);
    // The texts were bound for this run only: the next binds them again.
    sqlite3_clear_bindings(s);
    m_usado = 0;
    return rc == SQLITE_DONE;
}

bool SentenciaSqlite::siguiente()
{
    auto *s = static_cast<sqlite3_stmt *>(m_sentencia);
    if (!s)
        return false;
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW)
        return true;
    m_error = rc == SQLITE_DONE ? ErrorBD {} : errorSqlite(static_cast<sqlite3 *>(m_base), rc);
    return false;
}

QVariant SentenciaSqlite::valor(int columna) const
{
    auto *s = static_cast<sqlite3_stmt *>(m_sentencia);
    switch (sqlite3_column_type(s, columna)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(s, columna));
    case SQLITE_FLOAT:
        return sqlite3_column_double(s, columna);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(s, columna)),
                          sqlite3_column_bytes(s, columna));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, columna)),
                                 sqlite3_column_bytes(s, columna));
    }
}

void SentenciaSqlite::textoEn(int columna, QString &destino) const
{
    auto *s = static_cast<sqlite3_stmt *>(m_sentencia);
    const int tipo = sqlite3_column_type(s, columna);
    if (tipo != SQLITE_TEXT) {
        destino = valor(columna).toString();
        return;
    }
    const auto *texto = reinterpret_cast<const char *>(sqlite3_column_text(s, columna));
    const int n = sqlite3_column_bytes(s, columna);
    destino.resize(n);
    QChar *d = destino.data();
    for (int i = 0; i < n; ++i) {
        if (uchar(texto[i]) >= 0x80) { // not ASCII: the UTF-8 read whole
            destino = QString::fromUtf8(texto, n);
            return;
        }
        d[i] = QChar(char16_t(uchar(texto[i])));
    }
}

void SentenciaSqlite::terminar()
{
    if (m_sentencia) {
        sqlite3_reset(static_cast<sqlite3_stmt *>(m_sentencia));
        sqlite3_clear_bindings(static_cast<sqlite3_stmt *>(m_sentencia));
    }
    m_usado = 0;
}

bool SentenciaSqlite::sinTransaccion() const
{
    return m_base && sqlite3_get_autocommit(static_cast<sqlite3 *>(m_base)) != 0;
}

ErrorBD registrarFuncionesSqlite(QSqlDatabase db)
{
    sqlite3 *h = manejadorSqlite(db);
    if (!h)
        return {1, QStringLiteral("no SQLite connection")};
    int rc = sqlite3_create_function_v2(h, "kv_codigo", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                        codigo, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(h, "kv_huella", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr,
                                        huellaPaso, huellaFinal, nullptr);
    if (rc != SQLITE_OK)
        return {rc, QString::fromUtf8(sqlite3_errmsg(h))};
    return {};
}

} // namespace kv
