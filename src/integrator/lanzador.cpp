#include "lanzador.h"

#include "store/mensajes.h"

#include <QDir>
#include <QFileInfo>

namespace kv {

namespace {

const QString kTitulo = QStringLiteral("Qadelia");

void guardarFinal(QByteArray &salida, const QByteArray &nueva)
{
    salida += nueva;
    // Keep a little more than is shown, so that cutting at a line start
    // below still leaves the whole end.
    if (salida.size() > 4 * Lanzador::kSalidaMaxima)
        salida = salida.right(2 * Lanzador::kSalidaMaxima);
}

QString finDeSalida(const QByteArray &salida)
{
    QString texto = QString::fromLocal8Bit(salida).trimmed();
    if (texto.size() > Lanzador::kSalidaMaxima) {
        texto = texto.right(Lanzador::kSalidaMaxima);
        const qsizetype salto = texto.indexOf(u'\n');
        if (salto >= 0 && salto < texto.size() - 1)
            texto = texto.mid(salto + 1);
        texto.prepend(QStringLiteral("…\n"));
    }
    return texto;
}

} // namespace

Lanzador::Lanzador(ServicioMensajes &mensajes, QString carpetaProgramas, QObject *parent)
    : QObject(parent)
    , m_mensajes(mensajes)
    , m_carpeta(std::move(carpetaProgramas))
{
}

Lanzador::~Lanzador()
{
    // A module still open when the host goes away is waited for rather
    // than killed in the middle of a save.
    for (QProcess *proceso : std::as_const(m_procesos)) {
        proceso->disconnect(this);
        if (proceso->state() != QProcess::NotRunning)
            proceso->waitForFinished(-1);
        delete proceso;
    }
}

QString Lanzador::rutaPrograma(const QString &nombre) const
{
    return QDir(m_carpeta).filePath(nombre);
}

bool Lanzador::existe(const QString &nombre) const
{
    const QFileInfo info(rutaPrograma(nombre));
    return info.isFile() && info.isExecutable();
}

QString Lanzador::textoFallo(
    const QString &nombre, const QProcess &proceso, const QByteArray &salida, bool agotado)
{
    QString texto;
    if (agotado) {
        texto = QStringLiteral("El programa %1 no terminó a tiempo y fue detenido.").arg(nombre);
    } else if (proceso.error() == QProcess::FailedToStart) {
        texto = QStringLiteral("No se pudo iniciar el programa %1: %2")
                    .arg(proceso.program(), proceso.errorString());
    } else if (proceso.exitStatus() == QProcess::CrashExit) {
        texto = QStringLiteral("El programa %1 terminó de forma anormal.").arg(nombre);
    } else if (proceso.exitCode() != 0) {
        texto = QStringLiteral("El programa %1 terminó con el código de salida %2.")
                    .arg(nombre)
                    .arg(proceso.exitCode());
    } else {
        texto = QStringLiteral("El programa %1 informó lo siguiente:").arg(nombre);
    }
    const QString fin = finDeSalida(salida);
    if (!fin.isEmpty())
        texto += QStringLiteral("\n\n") + fin;
    else if (proceso.error() != QProcess::FailedToStart)
        texto += QStringLiteral("\n\nEl programa no dejó ningún mensaje.");
    return texto;
}

void Lanzador::configurar(QProcess &proceso, const QString &nombre, const QString &carpetaTrabajo,
    const QStringList &argumentos) const
{
    proceso.setProgram(rutaPrograma(nombre));
    proceso.setArguments(argumentos);
    proceso.setProcessChannelMode(QProcess::MergedChannels);
    if (!m_entorno.isEmpty())
        proceso.setProcessEnvironment(m_entorno);
    if (!carpetaTrabajo.isEmpty() && QFileInfo(carpetaTrabajo).isDir())
        proceso.setWorkingDirectory(carpetaTrabajo);
}

void Lanzador::avisar(const QString &texto)
{
    m_mensajes.mostrar(kTitulo, texto, Icono::Critico);
}

bool Lanzador::comprobarExiste(const QString &nombre)
{
    if (existe(nombre))
        return true;
    avisar(
        QStringLiteral("No se encontró el programa %1.").arg(QDir::toNativeSeparators(rutaPrograma(nombre))));
    return false;
}

bool Lanzador::ejecutar(const QString &nombre, const QString &carpetaTrabajo, bool avisarSiEscribe,
    int esperaMs, const QStringList &argumentos)
{
    if (!comprobarExiste(nombre))
        return false;
    QProcess proceso;
    configurar(proceso, nombre, carpetaTrabajo, argumentos);
    proceso.start();
    if (!proceso.waitForStarted()) {
        avisar(textoFallo(nombre, proceso, {}));
        return false;
    }
    // A program without windows has nobody to answer it: nothing is ever
    // written to its input.
    proceso.closeWriteChannel();
    bool agotado = false;
    if (!proceso.waitForFinished(esperaMs)) {
        agotado = true;
        proceso.kill();
        proceso.waitForFinished();
    }
    const QByteArray salida = proceso.readAll();
    const bool correcto = !agotado && proceso.exitStatus() == QProcess::NormalExit && proceso.exitCode() == 0;
    if (!correcto || (avisarSiEscribe && !salida.trimmed().isEmpty()))
        avisar(textoFallo(nombre, proceso, salida, agotado));
    return correcto;
}

bool Lanzador::iniciar(const QString &nombre, const QString &carpetaTrabajo)
{
    if (!comprobarExiste(nombre))
        return false;
    if (enEjecucion(nombre))
        return true;
    delete m_procesos.take(nombre);

    auto *proceso = new QProcess(this);
    configurar(*proceso, nombre, carpetaTrabajo);
    m_salidas[nombre].clear();
    connect(proceso, &QProcess::readyRead, this,
        [this, nombre, proceso] { guardarFinal(m_salidas[nombre], proceso->readAll()); });
    connect(proceso, &QProcess::finished, this, [this, nombre, proceso] {
        guardarFinal(m_salidas[nombre], proceso->readAll());
        const bool correcto = proceso->exitStatus() == QProcess::NormalExit && proceso->exitCode() == 0;
        if (!correcto)
            avisar(textoFallo(nombre, *proceso, m_salidas.value(nombre)));
        m_salidas.remove(nombre);
        m_procesos.remove(nombre);
        proceso->deleteLater();
        emit terminado(nombre, correcto);
    });
    m_procesos.insert(nombre, proceso);
    proceso->start();
    if (!proceso->waitForStarted()) {
        proceso->disconnect(this);
        avisar(textoFallo(nombre, *proceso, {}));
        m_procesos.remove(nombre);
        m_salidas.remove(nombre);
        proceso->deleteLater();
        return false;
    }
    proceso->closeWriteChannel();
    return true;
}

bool Lanzador::enEjecucion(const QString &nombre) const
{
    const QProcess *proceso = m_procesos.value(nombre);
    return proceso && proceso->state() != QProcess::NotRunning;
}

bool Lanzador::hayEnEjecucion() const
{
    for (const QString &nombre : m_procesos.keys()) {
        if (enEjecucion(nombre))
            return true;
    }
    return false;
}

} // namespace kv
