#include "basedeprueba.h"

#include "store/archivoini.h"
#include "store/esquema.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace kv::prueba {

namespace {
int s_contador = 0;

const QString kMantenimiento = QStringLiteral("kvprueba_mantenimiento");

// Runs one statement on the server's maintenance database.
bool ejecutarEnServidor(const QString &sql)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::contains(kMantenimiento)
            ? QSqlDatabase::database(kMantenimiento, false)
            : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kMantenimiento);
        db.setDatabaseName(QStringLiteral("postgres"));
        db.setConnectOptions(BaseDePrueba::servidorPostgres());
        if (db.isOpen() || db.open()) {
            QSqlQuery q(db);
            ok = q.exec(sql);
            if (!ok)
                qWarning("test server: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        } else {
            qWarning("test server: %s", qPrintable(db.lastError().text()));
        }
    }
    return ok;
}

} // namespace

Motor motorDePrueba()
{
    return qEnvironmentVariable("KV_PRUEBA_MOTOR").compare(u"PSQL", Qt::CaseInsensitive) == 0 ? Motor::PostgreSQL
                                                                                               : Motor::SQLite;
}

QString nombreMotorDePrueba()
{
    return motorDePrueba() == Motor::PostgreSQL ? QStringLiteral("postgres") : QStringLiteral("sqlite");
}

QString BaseDePrueba::servidorPostgres() { return qEnvironmentVariable("KV_PG_PRUEBA"); }

bool BaseDePrueba::crearBasePostgres()
{
    if (servidorPostgres().isEmpty()) {
        qWarning("test database: KV_PRUEBA_MOTOR=PSQL without a server in KV_PG_PRUEBA");
        return false;
    }
    m_basePg = QStringLiteral("kvprueba_%1_%2").arg(QCoreApplication::applicationPid()).arg(s_contador);
    ejecutarEnServidor(QStringLiteral("DROP DATABASE IF EXISTS ") + m_basePg + QStringLiteral(" WITH (FORCE)"));
    if (!ejecutarEnServidor(QStringLiteral("CREATE DATABASE ") + m_basePg + QStringLiteral(" TEMPLATE template0"))) {
        m_basePg.clear();
        return false;
    }
    return true;
}

void BaseDePrueba::borrarBasePostgres()
{
    if (m_basePg.isEmpty())
        return;
    ejecutarEnServidor(QStringLiteral("DROP DATABASE IF EXISTS ") + m_basePg + QStringLiteral(" WITH (FORCE)"));
    m_basePg.clear();
}

BaseDePrueba::BaseDePrueba() : BaseDePrueba(Opciones{}) {}

BaseDePrueba::BaseDePrueba(const Opciones &opciones) : m_motor(opciones.motor)
{
    m_xdgAnterior = qgetenv("XDG_CONFIG_HOME");
    if (!m_dir.isValid())
        return;
    QDir raiz(m_dir.path());
    raiz.mkpath(QStringLiteral("RPT"));
    raiz.mkpath(QStringLiteral("TMP"));
    QFile::link(m_dir.path() + QStringLiteral("/TMP"), m_dir.path() + QStringLiteral("/tmp"));
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());

    ++s_contador;
    ArchivoIni ini(rutaIni());
    ini.escribir(QStringLiteral("Options"), QStringLiteral("SysPath"), carpeta());
    if (m_motor == Motor::PostgreSQL) {
        if (!crearBasePostgres())
            return;
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBEngine"), QStringLiteral("PSQL"));
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBPath"), servidorPostgres());
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBName"), m_basePg);
    } else {
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBPath"), carpeta());
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBName"), QStringLiteral("qadelia.db"));
    }
    ini.escribir(QStringLiteral("Options"), QStringLiteral("SysUser"), opciones.usuario);

    m_ctx.conexion = QStringLiteral("prueba%1").arg(s_contador);
    m_ctx.mensajes = &m_mensajes;
    m_ctx.reloj = &m_reloj;
    m_ctx.utilidad = &m_utilidad;
    m_ctx.leerConfiguracion(ini);

    ErrorBD error = m_motor == Motor::PostgreSQL ? BaseDatos::abrir(m_ctx.ubicacion, m_ctx.conexion)
                                                 : BaseDatos::crear(rutaBase(), m_ctx.conexion);
    if (!error.hay() && opciones.tablasIntegrador)
        error = crearTablas(db(), tablasIntegrador());
    if (!error.hay() && opciones.tablasIntegrador && opciones.tablasModulo)
        error = crearTablas(db(), tablasModulo());
    if (error.hay()) {
        qWarning("test database: %s", qPrintable(error.texto));
        return;
    }
    if (opciones.tablasIntegrador && opciones.parametrosInstalados)
        escribirParametrosInstalados(db());
    if (opciones.tablasIntegrador && !opciones.tipoUsuario.isEmpty())
        agregarUsuario(opciones.usuario, opciones.tipoUsuario);
    m_datos = std::make_unique<AccesoDatos>(m_ctx);
    m_valida = true;
}

BaseDePrueba::~BaseDePrueba()
{
    m_datos.reset();
    BaseDatos::cerrar(m_ctx.conexion);
    borrarBasePostgres();
    qputenv("XDG_CONFIG_HOME", m_xdgAnterior);
}

QString BaseDePrueba::carpeta() const { return m_dir.path() + u'/'; }
QString BaseDePrueba::rutaBase() const { return carpeta() + QStringLiteral("qadelia.db"); }
QString BaseDePrueba::rutaIni() const { return carpeta() + QStringLiteral("KV000.INI"); }

void BaseDePrueba::ejecutar(const QString &sql, const QVariantList &valores)
{
    QSqlQuery q(db());
    if (valores.isEmpty()) {
        // Statements that define tables or triggers cannot be prepared on
        // a server.
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text() + u' ' + sql));
        return;
    }
    QVERIFY2(q.prepare(sql), qPrintable(q.lastError().text() + u' ' + sql));
    for (const QVariant &v : valores)
        q.addBindValue(v);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text() + u' ' + sql));
}

QVariant BaseDePrueba::valor(const QString &sql, const QVariantList &valores) const
{
    QSqlQuery q(db());
    q.prepare(sql);
    for (const QVariant &v : valores)
        q.addBindValue(v);
    if (!q.exec() || !q.next())
        return {};
    return q.value(0);
}

QStringList BaseDePrueba::filas(const QString &sql, const QVariantList &valores) const
{
    QSqlQuery q(db());
    bool ok = q.prepare(sql);
    for (const QVariant &v : valores)
        q.addBindValue(v);
    if (!ok || !q.exec())
        return {QStringLiteral("error: ") + q.lastError().text()};
    QStringList r;
    while (q.next()) {
        QStringList columnas;
        for (int i = 0; i < q.record().count(); ++i)
            columnas << q.value(i).toString();
        r << columnas.join(u'|');
    }
    return r;
}

int BaseDePrueba::contar(const QString &tabla, const QString &condicion, const QVariantList &valores) const
{
    QString sql = QStringLiteral("SELECT count(*) FROM ") + tabla;
    if (!condicion.isEmpty())
        sql += QStringLiteral(" WHERE ") + condicion;
    return valor(sql, valores).toInt();
}

void BaseDePrueba::agregarFalla(const QString &nombre, const QString &evento, const QString &tabla,
                                const QString &mensaje, const QString &condicion)
{
    if (m_motor == Motor::SQLite) {
        ejecutar(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT, '%5'); END")
                     .arg(nombre, evento, tabla,
                          condicion.isEmpty() ? QString() : QStringLiteral("WHEN ") + condicion, mensaje));
        return;
    }
    ejecutar(QStringLiteral("CREATE FUNCTION %1_falla() RETURNS trigger LANGUAGE plpgsql AS "
                            "$$ BEGIN RAISE EXCEPTION '%2'; END $$")
                 .arg(nombre, mensaje));
    ejecutar(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 EXECUTE FUNCTION %1_falla()")
                 .arg(nombre, evento, tabla,
                      condicion.isEmpty() ? QString() : QStringLiteral("WHEN (") + condicion + u')'));
}

void BaseDePrueba::quitarFalla(const QString &nombre, const QString &tabla)
{
    if (m_motor == Motor::SQLite)
        ejecutar(QStringLiteral("DROP TRIGGER ") + nombre);
    else
        ejecutar(QStringLiteral("DROP TRIGGER %1 ON %2").arg(nombre, tabla));
}

void BaseDePrueba::agregarContribuyente(const QString &ruc, const QString &nombre, const QString &usuario)
{
    ejecutar(QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Fec_reg, Nombre, Usuario) VALUES (6,?,?,?,?)"),
             {ruc, QStringLiteral("2026-01-01"), nombre, usuario});
}

void BaseDePrueba::agregarUsuario(const QString &usuario, const QString &tipo)
{
    ejecutar(QStringLiteral("INSERT INTO CLAVES (Usuario, Nombre, Tipo) VALUES (?,?,?)"), {usuario, usuario, tipo});
}

void BaseDePrueba::escribirParametrosInstalados(QSqlDatabase db)
{
    // The rows the installer writes, as a host that ran it holds them.
    static const char *const filas[][4] = {
        {"996", "226", "F517DETVP      R 1000   6", ""},
        {"996", "227", "HF517DETVP     R 1000   7", ""},
        {"996", "228", "F517PAGPRE     R 1000   8", ""},
        {"996", "229", "HF517PAGPRE    R 1000   9", ""},
        {"981", "0517", "966", "001"},
        {"992", "0517", "1", ""},
        {"965", "5841", "BOLETA DE PAGO CON DOCUMENTOS VALORADOS", "001"},
        {"965", "5842", "BOLETA DE PAGO", "002"},
        {"965", "5843", "BOLETA DE PAGO", "003"},
        {"965", "5851", "BOLETA DE PAGO CON DOC. VALORADOS(PRICO)", "004"},
        {"965", "5852", "BOLETA DE PAGO", "005"},
        {"965", "5853", "BOLETA DE PAGO", "006"},
        {"965", "5871", "BOLETA DE PAGO - VIRTUAL", "007"},
        {"965", "0517", "QDL 0517 ZENTOR", "008"},
        {"966", "20030217", "0015.00", "001"},
    };
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) VALUES (?,?,?,?)"));
    for (const auto &f : filas) {
        for (const char *v : f)
            q.addBindValue(QString::fromUtf8(v));
        q.exec();
    }
}

} // namespace kv::prueba
