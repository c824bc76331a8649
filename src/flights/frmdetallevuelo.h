#pragma once

#include "detallevuelo.h"
#include "store/accesodatos.h"
#include "store/ui/ventanas.h"

#include <QDialog>
#include <array>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kv {

struct Contexto;

// One flight of the open declaration: its arrival date, code, the people on
// board in nine categories and its tax. "NEW" adds flights one after another
// (each accepted flight is saved and the window is cleared for the next);
// "MOD" changes the counts of the opener's current flight, whose date and
// code stay locked, and closes.
class FrmDetalleVuelo : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kContextoAyuda = 1016;

    FrmDetalleVuelo(Contexto &contexto, const ParametrosVentana &parametros, QWidget *padre = nullptr);
    ~FrmDetalleVuelo() override;

    QString sAccion() const { return m_sAccion; }

    // The help topic; in "MOD" the opener's row and the locked key.
    void cargar();

    // The accept button: checks, saves, then closes ("MOD") or clears the
    // window for the next flight ("NEW"). True when the flight was saved.
    bool aceptar();
    // The exit button: in "MOD" a changed flight is offered for saving first.
    void salir();

    // What the boxes hold now.
    DatosVuelo datos() const;

    QLineEdit *mkeFecArribo() const { return m_mkeFecArribo; }
    QLineEdit *txtCodVuelo() const { return m_txtCodVuelo; }
    QLineEdit *txtDatosDet(int indice) const { return m_txtDatosDet.at(std::size_t(indice)); }
    QLineEdit *txtImpuestoDol() const { return m_txtImpuestoDol; }
    QPushButton *cmdAceptar() const { return m_cmdAceptar; }
    QPushButton *cmdSalir() const { return m_cmdSalir; }

public Q_SLOTS:
    // Escape and the window's close button leave as the exit button does.
    void reject() override;

private:
    void calcularImpuesto();
    void LimpiaDatos();
    void BloqueaClave();
    void mostrar(const QString &texto);
    void enfocar(const HallazgoVuelo &hallazgo);
    QLineEdit *nuevaCantidad(int indice);

    Contexto &m_ctx;
    AccesoDatos m_datos;
    DetalleVuelo m_detalle;
    QString m_sAccion;
    QVariantMap m_fila;
    QString m_periodoMostrado;
    std::function<void()> m_alGrabar;
    bool m_cargando = false;

    QLineEdit *m_mkeFecArribo;
    QLineEdit *m_txtCodVuelo;
    std::array<QLineEdit *, DatosVuelo::kCantidades> m_txtDatosDet {};
    QLineEdit *m_txtImpuestoDol;
    QPushButton *m_cmdAceptar;
    QPushButton *m_cmdSalir;
};

// Makes "Detalle" known to the window opener.
void registrarVentanaDetalle(RegistroVentanas &registro, Contexto &contexto);

} // namespace kv
