#include "instalacion.h"

#include "copiasseguridad.h"
#include "lanzador.h"
#include "semilla.h"
#include "store/archivoini.h"
#include "store/esquema.h"
#include "store/mensajes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <functional>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

namespace kv {

namespace {

const QString kTitulo = QStringLiteral("Qadelia");
const QString kOpciones = QStringLiteral("Options");

QString conBarra(QString carpeta)
{
    if (!carpeta.endsWith(u'/'))
        carpeta += u'/';
    return carpeta;
}

// The programs write both "TMP" and "tmp": on this system they must be one
// folder, so "tmp" is a link to "TMP" (relative, so that the system folder
// can be moved as a whole).
bool asegurarTmp(const QString &sistema, QString *error)
{
    const QString tmp = sistema + QStringLiteral("tmp");
    const QFileInfo info(tmp);
    if (info.exists())
        return true;
    if (info.isSymLink()) // a link whose folder is gone
        QFile::remove(tmp);
    if (!QDir(sistema + QStringLiteral("TMP")).exists()) {
        if (QDir().mkpath(tmp))
            return true;
        *error = QStringLiteral("no se pudo crear la carpeta %1").arg(tmp);
        return false;
    }
    if (::symlink("TMP", QFile::encodeName(tmp).constData()) == 0)
        return true;
    *error = QStringLiteral("no se pudo crear el enlace %1: %2")
                 .arg(tmp, QString::fromLocal8Bit(strerror(errno)));
    return false;
}

} // namespace

Instalacion::Opciones Instalacion::predeterminadas(const QString &carpetaProgramas)
{
    Opciones o;
    o.rutaIni = ArchivoIni::rutaPredeterminada();
    o.carpetaSistema = carpetaSistemaPredeterminada();
    o.carpetaProgramas = carpetaProgramas;
    o.usuario = usuarioDelSistema();
    o.nombreUsuario = nombreCompletoUsuario(o.usuario);
    return o;
}

QString Instalacion::carpetaSistemaPredeterminada()
{
    QString datos = qEnvironmentVariable("XDG_DATA_HOME");
    if (datos.isEmpty() || !QDir::isAbsolutePath(datos))
        datos = QDir::homePath() + QStringLiteral("/.local/share");
    return conBarra(QDir::cleanPath(datos)) + QStringLiteral("qadelia/");
}

QString Instalacion::usuarioDelSistema()
{
    for (const char *variable : { "USER", "LOGNAME" }) {
        const QString valor = qEnvironmentVariable(variable).trimmed();
        if (!valor.isEmpty())
            return valor;
    }
    if (const passwd *pw = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return QStringLiteral("USUARIO");
}

QString Instalacion::nombreCompletoUsuario(const QString &usuario)
{
    // The first field of the account's comment is the person's name.
    if (const passwd *pw = ::getpwnam(QFile::encodeName(usuario).constData())) {
        const QString nombre = QString::fromLocal8Bit(pw->pw_gecos).section(u',', 0, 0).trimmed();
        if (!nombre.isEmpty())
            return nombre;
    }
    return usuario;
}

Instalacion::Instalacion(Opciones opciones, ServicioMensajes &mensajes, Lanzador &lanzador)
    : m_opciones(std::move(opciones))
    , m_mensajes(mensajes)
    , m_lanzador(lanzador)
{
    m_opciones.carpetaSistema = conBarra(m_opciones.carpetaSistema);
}

bool Instalacion::reponerCopia(const ErrorBD &error)
{
    // A damaged file is never opened, copied nor written: the newest backup
    // can take its place, the damaged file kept aside.
    CopiasSeguridad copias(m_rutaBase, m_rutaSistema);
    const QStringList nombres = copias.copias();
    const QString danio = QStringLiteral("La base de datos %1 está dañada y no se puede abrir:\n%2")
                              .arg(m_rutaBase, error.texto);
    if (nombres.isEmpty()) {
        avisar(danio + QStringLiteral("\nNo hay copias de seguridad en %1 para restaurarla.").arg(copias.carpeta()));
        return false;
    }
    if (m_mensajes.mostrar(kTitulo,
                           danio
                               + QStringLiteral("\n\n¿Desea restaurar la copia de seguridad más reciente, %1? "
                                                "El archivo dañado se conservará aparte.")
                                     .arg(nombres.first()),
                           Icono::Pregunta, Botones::SiNo, Respuesta::No)
        != Respuesta::Si)
        return false;
    QString apartada;
    QString motivo;
    if (!copias.reponerDaniada(nombres.first(), QDateTime::currentDateTime(), &apartada, &motivo)) {
        avisar(QStringLiteral("No se pudo restaurar la copia de seguridad %1:\n%2").arg(nombres.first(), motivo));
        return false;
    }
    m_mensajes.mostrar(kTitulo,
                       QStringLiteral("Se restauró la copia de seguridad %1. El archivo dañado quedó en %2.")
                           .arg(nombres.first(), apartada),
                       Icono::Informacion);
    return true;
}

void Instalacion::avisar(const QString &texto)
{
    m_mensajes.mostrar(kTitulo, texto, Icono::Critico);
}

QProcessEnvironment Instalacion::entornoProgramas() const
{
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    // The programs look for KV000.INI in the configuration folder.
    entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), QFileInfo(m_opciones.rutaIni).absolutePath());
    return entorno;
}

bool Instalacion::preparar(const QString &conexion)
{
    const ArchivoIni ini(m_opciones.rutaIni);
    // An INI without the system folder or the database (one the module
    // wrote its own key into before any host ran) is not an installation.
    m_primerInicio = ini.leer(kOpciones, QStringLiteral("SysPath")).isEmpty()
        || ini.leer(kOpciones, QStringLiteral("DBName")).isEmpty();
    if (!(m_primerInicio ? crearInstalacion(conexion) : abrirInstalacion(conexion)))
        return false;

    copiarArchivosModulo();
    m_lanzador.fijarEntorno(entornoProgramas());
    // The installer has no windows and speaks only about errors: anything it
    // writes is shown.
    if (m_lanzador.existe(QString::fromLatin1(kInstalador)))
        m_lanzador.ejecutar(QString::fromLatin1(kInstalador), m_rutaSistema, true);
    return true;
}

bool Instalacion::crearInstalacion(const QString &conexion)
{
    m_rutaSistema = m_opciones.carpetaSistema;
    m_rutaBase = m_rutaSistema + QString::fromLatin1(kNombreBase);
    m_ubicacion = UbicacionBase{};
    m_ubicacion.ruta = m_rutaBase;
    const auto fallo = [this](const QString &motivo) {
        avisar(QStringLiteral("No se pudo preparar el sistema en %1:\n%2").arg(m_rutaSistema, motivo));
        return false;
    };

    for (const char *carpeta : { "", "RPT", "TMP", kFormulario }) {
        const QString ruta = m_rutaSistema + QString::fromLatin1(carpeta);
        if (!QDir().mkpath(ruta))
            return fallo(QStringLiteral("no se pudo crear la carpeta %1").arg(ruta));
    }
    QString error;
    if (!asegurarTmp(m_rutaSistema, &error))
        return fallo(error);

    ErrorBD e = QFileInfo::exists(m_rutaBase) ? BaseDatos::abrir(m_rutaBase, conexion)
                                              : BaseDatos::crear(m_rutaBase, conexion);
    if (!e.hay())
        e = crearTablas(BaseDatos::base(conexion), tablasIntegrador());
    if (!e.hay())
        e = semilla::escribir(BaseDatos::base(conexion), m_opciones.usuario, m_opciones.nombreUsuario);
    if (e.hay()) {
        BaseDatos::cerrar(conexion);
        return fallo(QStringLiteral("%1 (%2)").arg(e.texto).arg(e.numero));
    }

    ArchivoIni ini(m_opciones.rutaIni);
    const QList<std::pair<const char *, QString>> claves = {
        { "SysPath", m_rutaSistema },
        { "DBPath", m_rutaSistema },
        { "DBName", QString::fromLatin1(kNombreBase) },
        { "SysUser", m_opciones.usuario },
    };
    for (const auto &[clave, valor] : claves) {
        if (!ini.escribir(kOpciones, QString::fromLatin1(clave), valor)) {
            BaseDatos::cerrar(conexion);
            return fallo(QStringLiteral("no se pudo escribir %1").arg(m_opciones.rutaIni));
        }
    }
    return true;
}

bool Instalacion::abrirInstalacion(const QString &conexion)
{
    const ArchivoIni ini(m_opciones.rutaIni);
    // Joined as the module joins them, so that both open the same file.
    m_rutaSistema = ini.leer(kOpciones, QStringLiteral("SysPath"));
    bool motorValido = true;
    m_ubicacion = UbicacionBase::desdeOpciones(ini.leer(kOpciones, QStringLiteral("DBEngine")),
                                               ini.leer(kOpciones, QStringLiteral("DBPath")),
                                               ini.leer(kOpciones, QStringLiteral("DBName")), &motorValido);
    m_rutaBase = m_ubicacion.descripcion();
    if (!motorValido) {
        avisar(QStringLiteral("%1 indica un motor de base de datos desconocido (DBEngine=%2); "
                              "los valores admitidos son SQLITE y PSQL.")
                   .arg(m_opciones.rutaIni, ini.leer(kOpciones, QStringLiteral("DBEngine"))));
        return false;
    }
    if (m_ubicacion.motor == Motor::SQLite && !QFileInfo(m_rutaBase).isFile()) {
        avisar(QStringLiteral("No se encontró la base de datos %1 que indica %2.")
                   .arg(m_rutaBase, m_opciones.rutaIni));
        return false;
    }
    ErrorBD e = BaseDatos::abrir(m_ubicacion, conexion);
    if (e.numero == kErrorBaseDaniada && m_ubicacion.motor == Motor::SQLite) {
        if (!reponerCopia(e))
            return false;
        e = BaseDatos::abrir(m_ubicacion, conexion);
    }
    // An office's server database starts empty: the host makes its tables
    // and first rows there, as it does in a new file; both steps leave
    // alone what is already there.
    if (!e.hay() && m_ubicacion.motor == Motor::PostgreSQL) {
        e = crearTablas(BaseDatos::base(conexion), tablasIntegrador());
        if (!e.hay())
            e = semilla::escribir(BaseDatos::base(conexion), m_opciones.usuario, m_opciones.nombreUsuario);
    }
    if (e.hay()) {
        BaseDatos::cerrar(conexion);
        avisar(e.numero == kErrorBaseBloqueada
                ? QStringLiteral("La base de datos %1 está bloqueada o no se puede escribir.\n%2")
                      .arg(m_rutaBase, e.texto)
                : QStringLiteral("No se pudo abrir la base de datos %1:\n%2 (%3)")
                      .arg(m_rutaBase, e.texto)
                      .arg(e.numero));
        return false;
    }
    return true;
}

bool Instalacion::copiarSiCambia(const QString &origen, const QString &destino, QString *error) const
{
    QFile entrada(origen);
    if (!entrada.open(QIODevice::ReadOnly)) {
        *error = entrada.errorString();
        return false;
    }
    const QByteArray contenido = entrada.readAll();
    QFile actual(destino);
    if (actual.open(QIODevice::ReadOnly) && actual.readAll() == contenido)
        return false;
    actual.close();
    QSaveFile salida(destino);
    if (!salida.open(QIODevice::WriteOnly) || salida.write(contenido) != contenido.size()
        || !salida.commit()) {
        *error = salida.errorString();
        return false;
    }
    return true;
}

QStringList Instalacion::copiarArchivosModulo()
{
    QStringList escritos;
    const auto instalar = [&](const char *archivo, const QString &carpeta,
                              const std::function<bool(QString *)> &prepararCarpeta) {
        const QString origen = QDir(m_opciones.carpetaProgramas).filePath(QString::fromLatin1(archivo));
        if (!QFileInfo(origen).isFile())
            return;
        const QString destino = carpeta + u'/' + QString::fromLatin1(archivo);
        QString error;
        if (prepararCarpeta(&error) && copiarSiCambia(origen, destino, &error))
            escritos << destino;
        if (!error.isEmpty()) {
            m_mensajes.mostrar(kTitulo,
                QStringLiteral("No se pudo copiar %1 en %2:\n%3").arg(origen, destino, error),
                Icono::Exclamacion);
        }
    };
    // The help file lives in the module's folder under the system folder,
    // the layout file where the installer reads it.
    const QString modulo = m_rutaSistema + QString::fromLatin1(kFormulario);
    instalar(kArchivoAyuda, modulo, [&](QString *error) {
        if (QDir().mkpath(modulo))
            return true;
        *error = QStringLiteral("no se pudo crear la carpeta %1").arg(modulo);
        return false;
    });
    instalar(kArchivoEnvio, m_rutaSistema + QStringLiteral("tmp"),
        [&](QString *error) { return asegurarTmp(m_rutaSistema, error); });
    return escritos;
}

} // namespace kv
