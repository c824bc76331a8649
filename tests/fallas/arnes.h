#pragma once

// The harness of the tests of faults the programs survive: the real
// programs started as processes on a test installation, killed or starved
// of disk, and what is stored read back afterwards.
#include "app/cwindows.h"
#include "support/basedeprueba.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <sys/mount.h>

namespace kv::prueba {

inline const QString kRucFallas = QStringLiteral("20456789120");

inline QString programa(const QString &nombre)
{
    return nombre.startsWith(u"kv_") ? QCoreApplication::applicationDirPath() + u'/' + nombre
                                     : qEnvironmentVariable("KV_BIN_DIR") + u'/' + nombre;
}

struct Salida
{
    int codigo = -1; // -9: killed
    QString errores; // standard error
    bool muerto = false; // killed while the operation was running
};

// One run of a program. `matarTras` >= 0: killed (SIGKILL) that many
// milliseconds after it printed "empieza".
inline Salida correr(const QString &nombre, const QStringList &argumentos, int matarTras = -1,
                     const QProcessEnvironment &entorno = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(entorno);
    p.start(programa(nombre), argumentos);
    Salida s;
    if (!p.waitForStarted(10000))
        return s;
    if (matarTras >= 0) {
        while (p.state() == QProcess::Running && !p.readAllStandardOutput().contains("empieza"))
            p.waitForReadyRead(50);
        QThread::msleep(ulong(matarTras));
        if (p.state() == QProcess::Running) {
            s.muerto = true;
            p.kill();
        }
    }
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    s.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -9;
    s.errores = QString::fromLocal8Bit(p.readAllStandardError());
    return s;
}

// Every stored row of the declaration (header, boxes, flights, payments),
// sorted, so that two moments compare value by value.
inline QStringList declaracionGuardada(QSqlDatabase db, const QString &ruc = kRucFallas)
{
    QStringList r;
    for (const char *tabla : {"CAB", "DET", "F517DETVP", "F517PAGPRE"}) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT * FROM %1 WHERE doc_id_d=?").arg(QLatin1String(tabla)));
        q.addBindValue(ruc);
        QStringList filas;
        if (!q.exec())
            filas << QStringLiteral("error: ") + q.lastError().text();
        while (q.next()) {
            QStringList valores;
            for (int i = 0; i < q.record().count(); ++i)
                valores << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            filas << valores.join(u'|');
        }
        std::sort(filas.begin(), filas.end());
        r << QLatin1String(tabla) + QStringLiteral(": %1 filas").arg(filas.size()) << filas;
    }
    return r;
}

inline QString integridad(QSqlDatabase db)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next() ? q.value(0).toString()
                                                                        : q.lastError().text();
}

// The files of a folder and its subfolders with their sizes, to tell that a
// program created or changed nothing.
inline QStringList contenido(const QString &carpeta)
{
    QStringList r;
    QDir dir(carpeta);
    for (const QFileInfo &f : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        if (f.isDir())
            r << f.fileName() + u'/' << contenido(f.filePath());
        else
            r << f.fileName() + u' ' + QString::number(f.size());
    }
    return r;
}

// kv517 started as the host starts it, beside a visible "Qadelia" window:
// true when its main window showed (and it then closed normally); its
// messages, if any, in `errores`.
inline bool kv517Abre(QString *errores = nullptr)
{
    static const QString kTitulo = QStringLiteral("0517 QDL Zentorio  - v 1.0");
    QWidget integrador;
    integrador.setWindowTitle(QStringLiteral("Qadelia"));
    integrador.show();
    if (!QTest::qWaitForWindowExposed(&integrador))
        return false;
    QTemporaryDir runtime;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("KV517_MENSAJES"), QStringLiteral("stderr"));
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess p;
    p.setProcessEnvironment(entorno);
    p.start(programa(QStringLiteral("kv517")));
    const cWindows ventanas;
    bool abierta = false;
    for (int i = 0; i < 300 && !abierta && p.state() != QProcess::NotRunning; ++i) {
        QTest::qWait(50);
        abierta = ventanas.CorreApp(kTitulo);
    }
    if (abierta)
        ventanas.CloseApp(kTitulo, ventanas.ClassName(kTitulo));
    if (!p.waitForFinished(20000))
        p.kill();
    p.waitForFinished();
    if (errores)
        *errores = QString::fromLocal8Bit(p.readAllStandardError());
    return abierta && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A small filesystem (tmpfs) mounted on a folder for the life of the object,
// to run out of disk for real. Mounting needs the superuser.
class DiscoPequeno
{
public:
    DiscoPequeno(const QString &carpeta, int kilobytes) : m_carpeta(carpeta)
    {
        QDir().mkpath(carpeta);
        const QByteArray opciones = "size=" + QByteArray::number(kilobytes) + "k,mode=0700";
        m_montado = ::mount("tmpfs", QFile::encodeName(carpeta).constData(), "tmpfs", 0, opciones.constData()) == 0;
    }
    ~DiscoPequeno()
    {
        if (m_montado)
            ::umount2(QFile::encodeName(m_carpeta).constData(), MNT_DETACH);
    }
    bool montado() const { return m_montado; }
    QString carpeta() const { return m_carpeta; }

    // Fills the disk up to `libres` bytes left.
    bool llenar(qint64 libres)
    {
        QFile lastre(m_carpeta + QStringLiteral("/.lastre"));
        if (!lastre.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
        const QByteArray bloque(4096, 'x');
        while (lastre.write(bloque) == bloque.size() && lastre.flush()) {
        }
        lastre.close();
        return QFile::resize(lastre.fileName(), qMax<qint64>(0, lastre.size() - libres));
    }
    void vaciar() { QFile::remove(m_carpeta + QStringLiteral("/.lastre")); }

private:
    QString m_carpeta;
    bool m_montado = false;
};

} // namespace kv::prueba
