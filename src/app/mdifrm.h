#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QToolBar;

namespace kv {

struct Contexto;
class Arranque;
class AyudaModulo;
class BarradeEstadoQDL;

// The module's main window: menus and toolbar that open the child windows
// through the window opener, the status bar of the declaration being worked
// on, and the help. Fixed size, never maximized; closing it ends the run.
class MDIFrm : public QMainWindow
{
    Q_OBJECT
public:
    static inline const QString kTitulo = QStringLiteral("0517 QDL Zentorio  - v 1.0");
    static constexpr int kContextoAyuda = 1003;

    explicit MDIFrm(Contexto &contexto, QWidget *padre = nullptr);
    ~MDIFrm() override;

    // The loading of the window: placed and shown, then KV000.INI is read,
    // the database opened, the help file named and the status bar set.
    // False when the database could not be opened (the message was shown).
    bool cargar(Arranque &arranque);

    BarradeEstadoQDL *barraEstado() const { return m_barra; }
    AyudaModulo *ayuda() const { return m_ayuda; }
    QToolBar *Toolbar1() const { return m_toolbar; }

    void LimpiarBarraEstado();
    // The status bar as start-up leaves it.
    void iniciarBarraEstado();
    // The help window at a topic; 0 opens the contents.
    void MostrarHelp(int contexto = 0);
    // Closes the child windows that are open.
    void CerrarVentanas();

Q_SIGNALS:
    // The run is over: the database is closed, the process may end.
    void terminar();

protected:
    void closeEvent(QCloseEvent *evento) override;
    void changeEvent(QEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void crearMenus();
    void crearToolbar();
    QAction *accion(const QString &nombre, const QString &texto);
    void comando(const QString &ventana, const QString &accion, bool historico);
    void consultarBancos();
    void acercaDe();
    void salirMenu();
    void salirToolbar();

    Contexto &m_ctx;
    BarradeEstadoQDL *m_barra;
    AyudaModulo *m_ayuda;
    QToolBar *m_toolbar = nullptr;
    QWidget *m_picture1 = nullptr;
    bool m_terminado = false;
};

} // namespace kv
