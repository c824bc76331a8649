#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

namespace kv {

// How a program's running copy hears of a later start: the later copy,
// having said that one runs already, asks it to bring its window to the
// front. The request goes over a local socket beside the single-copy lock,
// in the user's own runtime folder.
class LlamadaInstancia : public QObject
{
    Q_OBJECT
public:
    explicit LlamadaInstancia(const QString &nombre = QStringLiteral("kv517"), QObject *padre = nullptr);
    ~LlamadaInstancia() override;

    // Listens for requests; only the copy that holds the single-copy lock
    // does, so a socket left by a copy that died is taken over.
    bool escuchar();
    // Brings `ventana` to the front at each request.
    void atender(QWidget *ventana);

    // Asks the running copy of `nombre` to come to the front. False when
    // none answers.
    static bool llamar(const QString &nombre = QStringLiteral("kv517"), int esperaMs = 2000);
    static QString ruta(const QString &nombre);

    // The window shown, raised and active, with the modal windows open over
    // it on top of it again.
    static void traerAlFrente(QWidget *ventana);

Q_SIGNALS:
    void llamada();

private:
    QString m_nombre;
    QLocalServer *m_servidor = nullptr;
};

} // namespace kv
