#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSqlQueryModel;
class QTabWidget;
class QTableView;

namespace kv {

struct Contexto;
class AyudaQadelia;
class Lanzador;
class ListaSpool;
class RegistroContribuyentes;

// The host's window. Its title is what the module looks for before it
// starts, so it stays exactly "Qadelia" and the window stays visible while
// the module runs. It holds the taxpayer register and the command that
// starts the form module; the reports area is added beside the register.
class VentanaPrincipal : public QMainWindow
{
    Q_OBJECT

public:
    static QString titulo() { return QStringLiteral("Qadelia"); }

    VentanaPrincipal(Contexto &contexto, Lanzador &lanzador, QWidget *parent = nullptr);
    ~VentanaPrincipal() override;

    QTableView *grdContribuyentes() const { return m_grilla; }
    QAction *accionAgregar() const { return m_agregar; }
    QAction *accionModificar() const { return m_modificar; }
    QAction *accionEliminar() const { return m_eliminar; }
    QAction *accionModulo() const { return m_modulo; }
    QPushButton *cmdModulo() const { return m_cmdModulo; }
    QAction *accionEnviar() const { return m_enviar; }
    QAction *accionRestaurar() const { return m_restaurar; }
    QAction *accionAyuda() const { return m_ayuda; }
    // The help page once it has been opened.
    AyudaQadelia *ventanaAyuda() const;
    ListaSpool *listaReportes() const { return m_reportes; }

    // Room for the reports: the menu stays hidden until it has commands,
    // and an area is a tab beside the taxpayer register.
    QMenu *menuReportes() const { return m_menuReportes; }
    QTabWidget *areas() const { return m_areas; }
    int agregarArea(QWidget *area, const QString &titulo);

    // The RUC of the current row, empty when there is none.
    QString rucSeleccionado() const;
    int filasContribuyentes() const;

public slots:
    void recargar();
    void agregarContribuyente();
    void modificarContribuyente();
    void eliminarContribuyente();
    void iniciarModulo();
    // The host's help page, in a window of its own beside this one.
    void mostrarAyuda();
    // Sends a saved declaration: history copy, submission summary, preview.
    void enviarDeclaracion();
    // Lets the user choose one of the database file's backups and restores
    // it (restaurarCopia) after a confirmation.
    void elegirCopia();
    // Restores the backup `nombre` (a file of backups/) after asking; the
    // current database is kept as one more backup first. False when the
    // user declined or it could not be done (the reason was shown).
    bool restaurarCopia(const QString &nombre);

protected:
    void closeEvent(QCloseEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void crearMenus();
    void seleccionar(const QString &ruc);
    void actualizarEstado();

    Contexto &m_ctx;
    Lanzador &m_lanzador;
    std::unique_ptr<RegistroContribuyentes> m_registro;
    QSqlQueryModel *m_modelo;
    QTableView *m_grilla;
    QTabWidget *m_areas;
    QMenu *m_menuReportes = nullptr;
    QAction *m_agregar = nullptr;
    QAction *m_modificar = nullptr;
    QAction *m_eliminar = nullptr;
    QAction *m_modulo = nullptr;
    QAction *m_restaurar = nullptr;
    QAction *m_enviar = nullptr;
    QAction *m_ayuda = nullptr;
    QPointer<AyudaQadelia> m_ventanaAyuda;
    ListaSpool *m_reportes = nullptr;
    QPushButton *m_cmdModulo = nullptr;
    QLabel *m_estadoModulo = nullptr;
};

} // namespace kv
