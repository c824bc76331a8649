#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

class QTextBrowser;

namespace kv {

class ServicioMensajes;

// The module's help window: the help file (HTML, one anchor per help
// context number) in a browser with its own contents, back and close
// buttons.
class VentanaAyuda : public QDialog
{
    Q_OBJECT
public:
    explicit VentanaAyuda(QWidget *padre = nullptr);

    // Loads the file when it is not the one shown, then goes to the topic
    // (0: the contents at the top).
    void mostrarTema(const QString &archivo, int contexto);
    QTextBrowser *navegador() const { return m_navegador; }
    int temaMostrado() const { return m_tema; }

private:
    QTextBrowser *m_navegador;
    QString m_archivo;
    int m_tema = 0;
};

// Help for the whole module: the contents from the menu and the toolbar, and
// F1 anywhere (modal dialogs included) at the topic of the window that has
// the focus. Installed as an application-wide event filter.
class AyudaModulo : public QObject
{
    Q_OBJECT
public:
    AyudaModulo(ServicioMensajes *mensajes, QWidget *ventanaPrincipal);
    ~AyudaModulo() override;

    void fijarArchivo(const QString &ruta) { m_archivo = ruta; }
    QString archivo() const { return m_archivo; }

    // Opens the help window at the topic (0: contents). False, after a
    // message, when the help file is missing.
    bool mostrar(int contexto = 0);

    VentanaAyuda *ventana() const { return m_ventana; }

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    ServicioMensajes *m_mensajes;
    QPointer<QWidget> m_principal;
    QPointer<VentanaAyuda> m_ventana;
    QString m_archivo;
};

} // namespace kv
