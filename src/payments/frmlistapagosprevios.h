#pragma once

#include "listapagosprevios.h"
#include "store/accesodatos.h"
#include "store/ui/ventanas.h"

#include <QDialog>
#include <QString>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kv {

struct Contexto;
class ModeloPagosPrevios;

// The previous payments of the open declaration: the list, newest first,
// with their total in soles; payments are added, changed and deleted
// through the payment entry window. Leaving hands the total back to the
// declaration (box 403). A sent declaration's payments are only shown.
class FrmListaPagosPrevios : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kContextoAyuda = 1014;
    // The tax the payments were made to, as the window shows it.
    static inline const QString kTributo = QStringLiteral("071301 - ZENTORIO");

    enum Accion { kNuevo = 0, kModificar = 1, kEliminar = 2, kSalir = 3 };

    FrmListaPagosPrevios(Contexto &contexto, const ParametrosVentana &parametros, QWidget *padre = nullptr);
    ~FrmListaPagosPrevios() override;

    QString sAccion() const { return m_sAccion; }
    bool bHistorico() const { return m_bHistorico; }

    // The payments, the period, the total; the buttons by mode.
    void cargar();

    void nuevo();
    void modificar();
    void eliminar();
    // Hands the total back and closes.
    void salir();

    QLineEdit *MkePeriodo() const { return m_mkePeriodo; }
    QLineEdit *txtTributo() const { return m_txtTributo; }
    QTableView *grdPagosPrevios() const { return m_grdPagosPrevios; }
    ModeloPagosPrevios *modelo() const { return m_modelo; }
    QLineEdit *txtTotPagosPrevios() const { return m_txtTotPagosPrevios; }
    QPushButton *cmdAccion(int indice) const { return m_cmdAccion[indice]; }

public Q_SLOTS:
    // Escape and the frame's close button leave as "&Salir" does, so the
    // declaration's box always matches the payments it holds.
    void reject() override;

private:
    void CargaPagos(int filaPreferida = 0);
    void TotalPagos();
    int filaActual() const;
    // A row to act on; otherwise the message for an empty list, or for no
    // row chosen, has been shown.
    bool hayFilaElegida(const QString &listaVacia);
    void seleccionar(int fila);
    void abrirDetalle(const QString &accion, const QVariantMap &fila = {});
    void avisar(const QString &texto);

    Contexto &m_ctx;
    AccesoDatos m_datos;
    ListaPagosPrevios m_lista;
    QString m_sAccion;
    bool m_bHistorico;
    QString m_periodoMostrado;
    std::function<void(const QString &)> m_devolver;

    QLineEdit *m_mkePeriodo;
    QLineEdit *m_txtTributo;
    QGroupBox *m_fraPagos;
    ModeloPagosPrevios *m_modelo;
    QTableView *m_grdPagosPrevios;
    QLineEdit *m_txtTotPagosPrevios;
    QPushButton *m_cmdAccion[4];
};

} // namespace kv
