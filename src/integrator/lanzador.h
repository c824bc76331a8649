#pragma once

#include <QHash>
#include <QObject>
#include <QProcess>
#include <QString>

namespace kv {

class ServicioMensajes;

// Starts the programs that ship beside the host (the form module, its
// installer) from one folder. A program that cannot start, crashes or ends
// with an exit code other than 0 has its output shown through the message
// service, so that the user sees why instead of a window that never came.
class Lanzador : public QObject
{
    Q_OBJECT

public:
    static constexpr int kEsperaPredeterminadaMs = 120000;
    // Only the end of a long output is kept: that is where the reason is.
    static constexpr int kSalidaMaxima = 4000;

    Lanzador(ServicioMensajes &mensajes, QString carpetaProgramas, QObject *parent = nullptr);
    ~Lanzador() override;

    const QString &carpetaProgramas() const { return m_carpeta; }
    QString rutaPrograma(const QString &nombre) const;
    // The file exists and may be executed.
    bool existe(const QString &nombre) const;
    // The environment of the programs started from now on (empty: the
    // host's own).
    void fijarEntorno(const QProcessEnvironment &entorno) { m_entorno = entorno; }

    // Runs a program to its end, with the given arguments (the module and
    // its installer take none; the summary program takes its command line). True when it ended with exit code 0. With
    // `avisarSiEscribe`, output on success is shown too: for a program
    // without windows whose every message is an error it means something
    // went wrong although it ended normally.
    bool ejecutar(const QString &nombre, const QString &carpetaTrabajo, bool avisarSiEscribe = false,
        int esperaMs = kEsperaPredeterminadaMs, const QStringList &argumentos = {});

    // Starts a program and returns at once; its end is reported by
    // `terminado`, its failure also through the message service. False when
    // it did not start (already shown).
    bool iniciar(const QString &nombre, const QString &carpetaTrabajo);
    bool enEjecucion(const QString &nombre) const;
    bool hayEnEjecucion() const;

    // The text shown for a program that failed.
    static QString textoFallo(
        const QString &nombre, const QProcess &proceso, const QByteArray &salida, bool agotado = false);

signals:
    void terminado(const QString &nombre, bool correcto);

private:
    void configurar(QProcess &proceso, const QString &nombre, const QString &carpetaTrabajo,
        const QStringList &argumentos = {}) const;
    void avisar(const QString &texto);
    bool comprobarExiste(const QString &nombre);

    ServicioMensajes &m_mensajes;
    QString m_carpeta;
    QProcessEnvironment m_entorno;
    QHash<QString, QProcess *> m_procesos;
    QHash<QString, QByteArray> m_salidas;
};

} // namespace kv
