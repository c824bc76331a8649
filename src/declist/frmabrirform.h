#pragma once

#include "listadeclaraciones.h"
#include "store/accesodatos.h"
#include "store/ui/ventanas.h"

#include <QDialog>
#include <QPointer>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;

namespace kv {

struct Contexto;
class BarradeEstadoQDL;
class ModeloDeclaraciones;

// The declarations list: the user picks a saved or a sent declaration to
// modify, to delete, or to register its order number. The current row is
// mirrored in the main window's status bar.
class FrmAbrirForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kContextoGuardadas = 1012;
    static constexpr int kContextoEnviadas = 1013;

    // `barra` may be null (no status bar to mirror the row in).
    FrmAbrirForm(Contexto &contexto, const ParametrosVentana &parametros, BarradeEstadoQDL *barra,
                 QWidget *padre = nullptr);
    ~FrmAbrirForm() override;

    QString sAccion() const { return m_sAccion; }
    bool bHistorico() const { return m_bHistorico; }

    // Captions, size and columns by action and list, then the first reading.
    void cargar();

    // Reads the list again and keeps the current declaration current (or
    // the row that took its place).
    void recargar();

    // The accept button: delete, or open the declaration window.
    void aceptar();

    QTableView *grdContrib() const { return m_grdContrib; }
    ModeloDeclaraciones *modelo() const { return m_modelo; }
    QPushButton *cmdOpciones(int indice) const { return indice == 0 ? m_cmdAceptar : m_cmdSalir; }
    QLabel *Label1() const { return m_label1; }
    QGroupBox *fradecreg() const { return m_fradecreg; }

    // The row the buttons act on; empty when the list is empty.
    DeclaracionElegida filaActual() const;

protected:
    bool event(QEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

public Q_SLOTS:
    void done(int resultado) override;

private:
    void mostrarFila();
    void leerFila();
    void salir();
    void eliminar(const DeclaracionElegida &fila);
    void seleccionar(int fila);

    Contexto &m_ctx;
    AccesoDatos m_datos;
    ListaDeclaraciones m_lista;
    QPointer<BarradeEstadoQDL> m_barra;
    QString m_sAccion;
    bool m_bHistorico;
    QString m_correl;

    ModeloDeclaraciones *m_modelo;
    QGroupBox *m_fradecreg;
    QLabel *m_label1;
    QTableView *m_grdContrib;
    QPushButton *m_cmdAceptar;
    QPushButton *m_cmdSalir;
};

// Makes "ListaFormularios" known to the window opener.
void registrarVentanasListaFormularios(RegistroVentanas &registro, Contexto &contexto, BarradeEstadoQDL *barra);

} // namespace kv
