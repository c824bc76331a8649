#pragma once

#include "store/accesodatos.h"

#include <QString>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kv {

// The banks of parameter entry 004: two-character code and name (the first
// 36 characters); "00" is not a bank.
ConsultaSql ConsultaBancos();

// The payment-method panel of the declaration window: cash or cheque, the
// bank and the number of a cheque, and the amount paid. The declaration
// reads and writes it only through its five text properties.
class FormaDePagoQDL : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString formapago READ formapago WRITE setFormapago)
    Q_PROPERTY(QString banco READ banco WRITE setBanco)
    Q_PROPERTY(QString numcheque READ numcheque WRITE setNumcheque)
    Q_PROPERTY(QString importe READ importe WRITE setImporte)
    Q_PROPERTY(QString habilitado READ habilitado WRITE setHabilitado)

public:
    static inline const QString kEfectivo = QStringLiteral("E");
    static inline const QString kCheque = QStringLiteral("C");
    static inline const QString kSinElegir = QStringLiteral("X");
    static inline const QString kSinBanco = QStringLiteral("XX");
    static constexpr int kLargoCheque = 15; // nrocheque

    explicit FormaDePagoQDL(QWidget *padre = nullptr);

    // Fills the bank list from the parameter table; the chosen bank stays
    // chosen when it is in the new list.
    void cargarBancos(const AccesoDatos &datos);

    QString formapago() const { return m_formapago; }
    QString banco() const { return m_banco; }
    QString numcheque() const { return m_numcheque; }
    QString importe() const { return m_importe; }
    QString habilitado() const { return m_habilitado; }

    void setFormapago(const QString &valor);
    void setBanco(const QString &valor);
    void setNumcheque(const QString &valor);
    void setImporte(const QString &valor);
    void setHabilitado(const QString &valor);

    // The controls, for the declaration window's tab order and the tests.
    QRadioButton *opcionEfectivo() const { return m_optEfectivo; }
    QRadioButton *opcionCheque() const { return m_optCheque; }
    QComboBox *listaBancos() const { return m_cboBanco; }
    QLineEdit *campoCheque() const { return m_txtCheque; }
    QLineEdit *campoImporte() const { return m_txtImporte; }

Q_SIGNALS:
    // The user changed the method, the bank or the cheque number.
    void cambiado();

private:
    void mostrar();
    void eligioForma(int id);
    void eligioBanco(int indice);
    void editoCheque(const QString &texto);

    QString m_formapago = kSinElegir;
    QString m_banco = kSinBanco;
    QString m_numcheque;
    QString m_importe;
    QString m_habilitado = QStringLiteral("1");
    bool m_mostrando = false;

    QButtonGroup *m_grupo;
    QRadioButton *m_optEfectivo;
    QRadioButton *m_optCheque;
    QComboBox *m_cboBanco;
    QLineEdit *m_txtCheque;
    QLineEdit *m_txtImporte;
};

} // namespace kv
