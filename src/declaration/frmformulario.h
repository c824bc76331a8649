#pragma once

#include "declaracion.h"
#include "validacion.h"
#include "store/mensajes.h"
#include "store/ui/ventanas.h"

#include <QDialog>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QTimer>

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QComboBox;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace kv {

struct Contexto;
class BarradeEstadoQDL;
class Casillas;
class CasillasVentana;
class FormaDePagoQDL;
class ModeloTasaVuelos;
class ModeloVuelos;

// The declaration window: one declaration of form 0517 for one taxpayer and
// period, new ("NEW"), stored ("MOD") or sent ("REG", history). Three tabs:
// the identification, the flights with their totals, and the debt with the
// payment panel. The window works on the working copy that Declaracion
// keeps in the temporary tables; the flight and payment windows it opens
// edit that copy only.
class frmFormulario : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kTitulo = QStringLiteral("Declaración Formulario 0517");
    enum Pestana { kIdentificacion = 0, kVuelos = 1, kDeuda = 2 };
    static constexpr int kContextoIdentificacion = 1015;
    static constexpr int kContextoVuelos = 1016;
    static constexpr int kContextoDeuda = 1014;

    // `barra` may be null (no status bar to mirror the declaration in).
    frmFormulario(Contexto &contexto, const ParametrosVentana &parametros, BarradeEstadoQDL *barra,
                  QWidget *padre = nullptr);
    ~frmFormulario() override;

    // The opening sequence: working copy, header, identification, stored
    // boxes, flight grid, and in history mode the read-only window with its
    // order number. A step that fails is reported and the opening goes on.
    void cargar();

    Declaracion &declaracion() { return m_decl; }
    bool modificado() const { return m_modificado; }
    bool ordenCambiado() const { return m_ordenCambiado; }

    // Prepares the identification tab for the mode.
    void CargaIdent();
    // Reads the working copy into the flight grid again; the current row
    // stays the same row number where the grid still has it. The first rows
    // show at once, the rest follow while the window is in use.
    void CargaVuelos();
    // The whole window read-only but the order number (sent declarations).
    void DesTodo();
    // Applies a header value stored as a box (only 871, the rectification).
    void ActivaBotonesForm(const QString &casilla, const QString &valor);

    // Checks the identification tab and shows the first failed check; false
    // when one failed (the user is on tab 0, at the field concerned).
    bool ValIdent();
    // What the identification tab holds, for the checks.
    DatosIdentificacion datosIdentificacion() const;
    // Selects the tab that holds the field of a finding and focuses it.
    void irACampo(CampoDeclaracion campo, const QString &casilla = {});
    QWidget *control(CampoDeclaracion campo, const QString &casilla = {}) const;

    // The controls, by their names in the system.
    QTabWidget *SSTab1() const { return m_tabs; }
    QComboBox *CmbRuc() const { return m_cmbRuc; }
    QLineEdit *TxtNumRuc() const { return m_txtNumRuc; }
    QLineEdit *TxtRazon() const { return m_txtRazon; }
    QLineEdit *TxtTelefono() const { return m_txtTelefono; }
    QLineEdit *MkePeriodo() const { return m_mkePeriodo; }
    QRadioButton *OptRectifica(int indice) const { return indice == 1 ? m_optSi : m_optNo; }
    QLineEdit *txtValor(const QString &casilla) const { return m_casillas.value(casilla); }
    QLineEdit *txtImpSoles() const { return m_txtImpSoles; }
    QTableView *grdDetalle() const { return m_grdDetalle; }
    QLineEdit *txtBuscar() const { return m_txtBuscar; }
    ModeloVuelos *modeloVuelos() const { return m_modeloVuelos; }
    QPushButton *cmdAccion(int indice) const { return m_cmdAccion[indice]; }
    QPushButton *cmdResumen() const { return m_cmdResumen; }
    QPushButton *cmdValidar() const { return m_cmdValidar; }
    QPushButton *CmdGrabar() const { return m_cmdGrabar; }
    QPushButton *CmdCancelar() const { return m_cmdCancelar; }
    FormaDePagoQDL *FormaDePagoQDL1() const { return m_formaPago; }
    QGroupBox *frmOrden() const { return m_frmOrden; }
    QLineEdit *txtOrden() const { return m_txtOrden; }
    QLineEdit *txtVerifica() const { return m_txtVerifica; }

    // --- Validation and saving -------------------------------------------
    // What the window holds, as the whole-declaration check and the save
    // read it: identification, the boxes as shown, the payment panel and
    // the rectification.
    DatosDeclaracion datosDeclaracion() const;
    // The findings the last "V&alidar" wrote to the messages file, in the
    // order of its lines; the consistency report hands back a line number.
    const QList<Hallazgo> &hallazgosReporte() const { return m_hallazgosReporte; }
    // The warnings that followed them in the report.
    const QList<Advertencia> &advertenciasReporte() const { return m_advertenciasReporte; }
    // Selects a flight's row on the flights tab (the day's first flight
    // when no code is given) and puts the focus on the grid; false when the
    // working copy has no such flight.
    bool seleccionarVuelo(const QDate &fecha, const QString &codigo = {});

public Q_SLOTS:
    // Closing asks first (save question, order number); a refusal keeps
    // the window open with its edits.
    void reject() override;
    void done(int resultado) override;

protected:
    bool event(QEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void crearIdentificacion(QWidget *pagina);
    void crearVuelos(QWidget *pagina);
    void crearDeuda(QWidget *pagina);
    QLineEdit *crearCasilla(const QString &casilla, const QString &etiqueta, QGridLayout *rejilla, int fila,
                            int columna);
    void anchoCifras();
    void instalarTeclas();

    void informarFallo(const QString &paso, const ErrorBD &error);
    void mostrarCabecera(const CabeceraCargada &cabecera);
    void mostrarCasillas(const CasillasCargadas &casillas);
    void marcarModificado() { m_modificado = true; }
    // A message with the window's caption as title.
    Respuesta mostrar(const QString &texto, Icono icono = Icono::Critico, Botones botones = Botones::Aceptar,
                      Respuesta predeterminada = Respuesta::Aceptar);

    // Identification tab.
    static constexpr int kLargoRazon = 40;
    void mostrarRazon(const QString &razon);
    void rucElegido(int indice);
    void numRucCambiado();
    // `alSalir`: the field is being left, not typed into.
    void periodoCambiado(bool alSalir = false);
    void razonCambiada(const QString &texto);
    void rectificaElegida(int indice);
    void pestanaCambiada(int indice);

    // Flights.
    void accionVuelo(int indice);
    void nuevoVuelo();
    void modificarVuelo();
    void eliminarVuelo();
    void importarVuelos();
    // Ctrl+F: the flights tab, in the search field.
    void irABuscar();
    // The flight the search field names, from the top or (`siguiente`)
    // after the current row; its row becomes current.
    void buscarVuelo(bool siguiente);
    ParametrosVentana parametrosVuelos(const QString &nombre, const QString &accion);
    void refrescarVuelos();
    // A flight is chosen in the grid; otherwise the message says why not.
    bool hayFilaElegida(const QString &sinFilas);
    // Opens a flight window, then shows the working copy as it left it.
    void abrirVentanaVuelos(const ParametrosVentana &parametros);
    // Recomputes boxes 390 to 396 from the working copy; runs after every
    // flight action.
    void TotalizaVuelos();
    // A box the user edited.
    void casillaEditada(const QString &casilla);

    // The buttons at the foot.
    void grabarPulsado();
    bool Grabar();
    void Validar();
    // The order number typed is of eight characters and its verification
    // code matches; otherwise the message says which and the focus goes
    // to the field to correct.
    bool ordenValido(const QString &sinLargo, QWidget *focoLargo, const QString &sinVerificador);
    bool registrarNumeroOrden();
    bool puedeCerrar();

    // --- Validation and saving -------------------------------------------
    // A finding of the identification: tab 0, the period in the status bar
    // when the declaration exists, and the focus on the field concerned.
    void llevarAHallazgo(const Hallazgo &hallazgo);
    // The working copy follows the taxpayer and period of a new declaration.
    void seguirClave(const QString &rucAnterior, const QString &periodoAnterior);
    QList<Hallazgo> m_hallazgosReporte;
    QList<Advertencia> m_advertenciasReporte;
    // "Resumen del mes": the month's picture; a day chosen in it selects
    // that day's first flight.
    void abrirResumenMes();
    // The field chosen in the consistency report: focused again when the
    // window becomes active once the report has gone.
    QPointer<QWidget> m_focoTrasReporte;

    Contexto &m_ctx;
    Declaracion m_decl;
    QPointer<BarradeEstadoQDL> m_barra;

    bool m_modificado = false;
    bool m_cerrando = false; // the user answered the save question on exit
    bool m_cargandoRectifica = false;
    bool m_ordenCambiado = false;
    bool m_abriendo = false;
    bool m_revisandoPeriodo = false;
    bool m_cerrada = false;
    int m_pestanaAnterior = 0;
    QList<int> m_anchosVuelos;
    QTimer m_lecturaVuelos; // reads the rest of a long flight list while the window is in use

    QTabWidget *m_tabs;
    QComboBox *m_cmbRuc;
    QLineEdit *m_txtNumRuc;
    QLineEdit *m_txtRazon;
    QLineEdit *m_txtTelefono;
    QLineEdit *m_mkePeriodo;
    QRadioButton *m_optSi;
    QRadioButton *m_optNo;
    QMap<QString, QLineEdit *> m_casillas;
    QLineEdit *m_txtImpSoles;
    QTableView *m_grdDetalle;
    QLineEdit *m_txtBuscar;
    QLabel *m_lblNoEncontrado;
    ModeloVuelos *m_modeloVuelos;
    QPushButton *m_cmdAccion[4];
    QPushButton *m_cmdResumen;
    QPushButton *m_cmdValidar;
    QPushButton *m_cmdGrabar;
    QPushButton *m_cmdCancelar;
    FormaDePagoQDL *m_formaPago;
    QGroupBox *m_frmOrden;
    QLineEdit *m_txtOrden;
    QLineEdit *m_txtVerifica;

    // --- The boxes and the flight grid's rate column ---
public:
    // The boxes' figures as their rules keep them.
    const Casillas &casillas() const;

private:
    // Gives the boxes their rules: recomputation, focus and key handling.
    void conectarCasillas();
    // Box 403: the previous payments' list, whose total comes back into it.
    void abrirPagosPrevios();
    // The rate column sits after the tax (a new query may have reset it).
    void colocarColumnaTasa();

    CasillasVentana *m_cajas = nullptr;
    ModeloTasaVuelos *m_modeloTasa = nullptr;
};

// Makes "Formulario" known to the window opener, and "ResumenMes", the
// month's picture it opens.
void registrarVentanaFormulario(RegistroVentanas &registro, Contexto &contexto, BarradeEstadoQDL *barra);

} // namespace kv
