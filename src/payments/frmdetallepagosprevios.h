#pragma once

#include "pagoprevio.h"
#include "store/accesodatos.h"
#include "store/ui/ventanas.h"

#include <QDialog>
#include <QString>
#include <QVariantMap>
#include <functional>

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace kv {

struct Contexto;

// The entry of one previous payment: the voucher type, the order or
// operation number, the payment date, the amount in US dollars and the
// selling rate of that day; the amount in soles is worked out. "NEW" takes
// one payment after another until the user leaves, and the list shows each
// at once; "MOD" changes the amounts and rate of the list's current payment,
// whose key stays locked, and closes once saved.
class FrmDetallePagosPrevios : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kContextoAyuda = 1014;

    FrmDetallePagosPrevios(Contexto &contexto, const ParametrosVentana &parametros, QWidget *padre = nullptr);
    ~FrmDetallePagosPrevios() override;

    QString sAccion() const { return m_sAccion; }
    bool bHistorico() const { return m_bHistorico; }

    // The voucher list, and for "MOD" the payment's values with its key locked.
    void cargar();

    // "&Aceptar": checks and saves; true when the payment was saved.
    bool aceptar();
    // "&Salir": a changed payment is offered for saving first.
    void salir();

    // The payment as the boxes hold it.
    DatosPagoPrevio datosPago() const;

    QComboBox *cboCodFormulario() const { return m_cboCodFormulario; }
    QLineEdit *txtDesFormulario() const { return m_txtDesFormulario; }
    QLineEdit *txtOperacion() const { return m_txtOperacion; }
    QLineEdit *mkeFecPago() const { return m_mkeFecPago; }
    QLineEdit *txtMtoDolares() const { return m_txtMtoDolares; }
    QLineEdit *txtTipCambio() const { return m_txtTipCambio; }
    QLineEdit *txtMontoSoles() const { return m_txtMontoSoles; }
    QPushButton *cmdAceptar() const { return m_cmdAceptar; }
    QPushButton *cmdSalir() const { return m_cmdSalir; }

public Q_SLOTS:
    // Escape and the frame's close button leave as "&Salir" does.
    void reject() override;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    bool nuevo() const { return m_sAccion != u"MOD"; }
    void CargaDatos();
    void BloqueaClave();
    void LimpiaDatos();
    void eligioBoleta(int indice);
    void calcularSoles();
    void alEntrar(QLineEdit *campo);
    void alSalir(QLineEdit *campo);
    bool teclaTipoCambio(const QKeyEvent *tecla);
    bool revisarTipoCambioPendiente();
    void mostrar(const HallazgoPago &hallazgo);
    QWidget *campo(CampoPago campo) const;

    Contexto &m_ctx;
    AccesoDatos m_datos;
    PagoPrevio m_pago;
    QString m_sAccion;
    bool m_bHistorico;
    QVariantMap m_fila;
    std::function<void()> m_alGrabar;
    bool m_tipoCambioPendiente = false; // a rate out of range left its box; checked before anything else
    QLineEdit *m_cajaActiva = nullptr;  // the box entered and not yet left

    QGroupBox *m_fraDetalle;
    QComboBox *m_cboCodFormulario;
    QLineEdit *m_txtDesFormulario;
    QLineEdit *m_txtOperacion;
    QLineEdit *m_mkeFecPago;
    QLineEdit *m_txtMtoDolares;
    QLineEdit *m_txtTipCambio;
    QLineEdit *m_txtMontoSoles;
    QPushButton *m_cmdAceptar;
    QPushButton *m_cmdSalir;
};

} // namespace kv
