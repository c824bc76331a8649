#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A throw-away home for the host: XDG_CONFIG_HOME and XDG_DATA_HOME inside a
// temporary folder, and a programs folder where a test puts the files that
// ship beside the host (help file, layout file, fake programs).
class EntornoPrueba
{
public:
    EntornoPrueba()
    {
        m_anteriorConfig = qgetenv("XDG_CONFIG_HOME");
        m_anteriorDatos = qgetenv("XDG_DATA_HOME");
        QDir raiz(m_dir.path());
        raiz.mkpath(QStringLiteral("config"));
        raiz.mkpath(QStringLiteral("data"));
        raiz.mkpath(QStringLiteral("bin"));
        qputenv("XDG_CONFIG_HOME", config().toLocal8Bit());
        qputenv("XDG_DATA_HOME", datos().toLocal8Bit());
    }
    ~EntornoPrueba()
    {
        qputenv("XDG_CONFIG_HOME", m_anteriorConfig);
        qputenv("XDG_DATA_HOME", m_anteriorDatos);
    }

    QString raiz() const { return m_dir.path(); }
    QString config() const { return m_dir.path() + QStringLiteral("/config"); }
    QString datos() const { return m_dir.path() + QStringLiteral("/data"); }
    QString programas() const { return m_dir.path() + QStringLiteral("/bin"); }
    QString rutaIni() const { return config() + QStringLiteral("/KV000.INI"); }
    QString sistemaPredeterminado() const { return datos() + QStringLiteral("/qadelia/"); }

    static bool escribir(const QString &ruta, const QByteArray &contenido)
    {
        QFile f(ruta);
        return f.open(QIODevice::WriteOnly) && f.write(contenido) == contenido.size();
    }
    static QByteArray leer(const QString &ruta)
    {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A shell script standing in for one of the programs.
    bool programa(const QString &nombre, const QByteArray &cuerpo) const
    {
        const QString ruta = programas() + u'/' + nombre;
        if (!escribir(ruta, "#!/bin/sh\n" + cuerpo + '\n'))
            return false;
        return QFile::setPermissions(ruta, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_anteriorConfig;
    QByteArray m_anteriorDatos;
};
