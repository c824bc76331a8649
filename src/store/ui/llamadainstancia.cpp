#include "llamadainstancia.h"

#include "store/instanciaunica.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QWidget>

namespace kv {

namespace {
const QByteArray kPedido = QByteArrayLiteral("mostrar\n");
}

LlamadaInstancia::LlamadaInstancia(const QString &nombre, QObject *padre) : QObject(padre), m_nombre(nombre) {}

LlamadaInstancia::~LlamadaInstancia()
{
    if (m_servidor)
        m_servidor->close();
}

QString LlamadaInstancia::ruta(const QString &nombre)
{
    return InstanciaUnica::carpetaPredeterminada() + u'/' + nombre + QStringLiteral(".sock");
}

bool LlamadaInstancia::escuchar()
{
    if (m_servidor)
        return m_servidor->isListening();
    m_servidor = new QLocalServer(this);
    m_servidor->setSocketOptions(QLocalServer::UserAccessOption);
    const QString camino = ruta(m_nombre);
    QLocalServer::removeServer(camino);
    if (!m_servidor->listen(camino))
        return false;
    connect(m_servidor, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *cliente = m_servidor->nextPendingConnection()) {
            connect(cliente, &QLocalSocket::disconnected, cliente, &QObject::deleteLater);
            connect(cliente, &QLocalSocket::readyRead, this, [this, cliente] {
                // Anything else on the socket is not a request of this system.
                if (cliente->canReadLine() && cliente->readLine() == kPedido)
                    Q_EMIT llamada();
                cliente->disconnectFromServer();
            });
        }
    });
    return true;
}

void LlamadaInstancia::atender(QWidget *ventana)
{
    QPointer<QWidget> destino(ventana);
    connect(this, &LlamadaInstancia::llamada, ventana, [destino] {
        if (destino)
            traerAlFrente(destino);
    });
}

bool LlamadaInstancia::llamar(const QString &nombre, int esperaMs)
{
    QLocalSocket socket;
    socket.connectToServer(ruta(nombre));
    if (!socket.waitForConnected(esperaMs))
        return false;
    socket.write(kPedido);
    const bool enviado = socket.waitForBytesWritten(esperaMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(esperaMs);
    return enviado;
}

void LlamadaInstancia::traerAlFrente(QWidget *ventana)
{
    if (ventana->isMinimized())
        ventana->setWindowState(ventana->windowState() & ~Qt::WindowMinimized);
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
    // A modal window open over it stays over it, the one in use last.
    QWidget *activa = QApplication::activeModalWidget();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != ventana && w != activa && w->isVisible() && w->isModal())
            w->raise();
    }
    if (activa) {
        activa->raise();
        activa->activateWindow();
    }
}

} // namespace kv
