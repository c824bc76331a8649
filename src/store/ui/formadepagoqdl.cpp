#include "formadepagoqdl.h"

#include "accesible.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace kv {

namespace {
enum { kIdEfectivo = 1, kIdCheque = 2 };
}

ConsultaSql ConsultaBancos()
{
    return {QStringLiteral("SELECT substr(Argumento,1,2) AS codigo, substr(Funcion,1,36) AS descrip FROM PARAM "
                           "WHERE Numero=? AND trim(Argumento)<>? ORDER BY Argumento"),
            {QStringLiteral("004"), QStringLiteral("00")}};
}

FormaDePagoQDL::FormaDePagoQDL(QWidget *padre) : QWidget(padre)
{
    m_optEfectivo = new QRadioButton(QStringLiteral("E&fectivo"), this);
    m_optCheque = new QRadioButton(QStringLiteral("C&heque"), this);
    m_grupo = new QButtonGroup(this);
    m_grupo->addButton(m_optEfectivo, kIdEfectivo);
    m_grupo->addButton(m_optCheque, kIdCheque);

    m_cboBanco = new QComboBox(this);
    m_cboBanco->setEditable(false);
    m_cboBanco->setPlaceholderText(QStringLiteral("(elija el banco)"));
    m_cboBanco->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboBanco->setMinimumContentsLength(20);

    m_txtCheque = new QLineEdit(this);
    m_txtCheque->setMaxLength(kLargoCheque);
    m_txtCheque->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_txtCheque));

    m_txtImporte = new QLineEdit(this);
    m_txtImporte->setReadOnly(true);
    m_txtImporte->setFocusPolicy(Qt::NoFocus);
    m_txtImporte->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette paleta = m_txtImporte->palette();
    paleta.setColor(QPalette::Base, paleta.color(QPalette::Button));
    m_txtImporte->setPalette(paleta);

    auto *lblBanco = new QLabel(QStringLiteral("&Banco:"), this);
    lblBanco->setBuddy(m_cboBanco);
    auto *lblCheque = new QLabel(QStringLiteral("&Nro. Cheque:"), this);
    lblCheque->setBuddy(m_txtCheque);
    auto *lblImporte = new QLabel(QStringLiteral("Importe:"), this);

    nombrarControl(m_optEfectivo, m_optEfectivo->text(), QStringLiteral("formapago(E)"));
    nombrarControl(m_optCheque, m_optCheque->text(), QStringLiteral("formapago(C)"));
    nombrarControl(m_cboBanco, lblBanco->text(), QStringLiteral("banco"));
    nombrarControl(m_txtCheque, lblCheque->text(), QStringLiteral("numcheque"));
    nombrarControl(m_txtImporte, lblImporte->text(), QStringLiteral("importe"));

    auto *rejilla = new QGridLayout(this);
    rejilla->setContentsMargins(4, 4, 4, 4);
    rejilla->addWidget(m_optEfectivo, 0, 0);
    rejilla->addWidget(m_optCheque, 0, 1);
    rejilla->addWidget(lblImporte, 0, 2);
    rejilla->addWidget(m_txtImporte, 0, 3);
    rejilla->addWidget(lblBanco, 1, 0);
    rejilla->addWidget(m_cboBanco, 1, 1, 1, 3);
    rejilla->addWidget(lblCheque, 2, 0);
    rejilla->addWidget(m_txtCheque, 2, 1, 1, 3);

    connect(m_grupo, &QButtonGroup::idClicked, this, &FormaDePagoQDL::eligioForma);
    connect(m_cboBanco, &QComboBox::activated, this, &FormaDePagoQDL::eligioBanco);
    connect(m_txtCheque, &QLineEdit::textEdited, this, &FormaDePagoQDL::editoCheque);
    mostrar();
}

void FormaDePagoQDL::cargarBancos(const AccesoDatos &datos)
{
    m_mostrando = true;
    m_cboBanco->clear();
    QSqlQuery q = datos.consultar(ConsultaBancos());
    while (q.next()) {
        const QString codigo = q.value(0).toString();
        m_cboBanco->addItem(codigo + QStringLiteral(" - ") + q.value(1).toString().trimmed(), codigo);
    }
    m_mostrando = false;
    mostrar();
}

void FormaDePagoQDL::setFormapago(const QString &valor)
{
    m_formapago = valor;
    mostrar();
}

void FormaDePagoQDL::setBanco(const QString &valor)
{
    m_banco = valor;
    mostrar();
}

void FormaDePagoQDL::setNumcheque(const QString &valor)
{
    m_numcheque = valor;
    mostrar();
}

void FormaDePagoQDL::setImporte(const QString &valor)
{
    m_importe = valor;
    mostrar();
}

void FormaDePagoQDL::setHabilitado(const QString &valor)
{
    m_habilitado = valor;
    mostrar();
}

void FormaDePagoQDL::mostrar()
{
    m_mostrando = true;
    const QString forma = m_formapago.trimmed().toUpper();
    if (forma == kEfectivo) {
        m_optEfectivo->setChecked(true);
    } else if (forma == kCheque) {
        m_optCheque->setChecked(true);
    } else {
        // Nothing chosen yet: an exclusive group cannot show two empty
        // buttons, so it lets go for a moment.
        m_grupo->setExclusive(false);
        m_optEfectivo->setChecked(false);
        m_optCheque->setChecked(false);
        m_grupo->setExclusive(true);
    }

    m_cboBanco->setCurrentIndex(m_cboBanco->findData(m_banco.trimmed()));
    if (m_txtCheque->text() != m_numcheque.trimmed())
        m_txtCheque->setText(m_numcheque.trimmed());
    m_txtImporte->setText(m_importe);

    // Stored history is shown, never changed; bank and cheque belong to a
    // cheque only.
    const bool editable = m_habilitado.trimmed() != u"0";
    m_optEfectivo->setEnabled(editable);
    m_optCheque->setEnabled(editable);
    m_cboBanco->setEnabled(editable && forma == kCheque);
    m_txtCheque->setEnabled(editable && forma == kCheque);
    m_mostrando = false;
}

void FormaDePagoQDL::eligioForma(int id)
{
    if (m_mostrando)
        return;
    if (id == kIdEfectivo) {
        // Cash carries no bank and no cheque.
        m_formapago = kEfectivo;
        m_banco = kSinBanco;
        m_numcheque.clear();
    } else {
        m_formapago = kCheque;
    }
    mostrar();
    Q_EMIT cambiado();
}

void FormaDePagoQDL::eligioBanco(int indice)
{
    if (m_mostrando)
        return;
    m_banco = indice >= 0 ? m_cboBanco->itemData(indice).toString() : kSinBanco;
    Q_EMIT cambiado();
}

void FormaDePagoQDL::editoCheque(const QString &texto)
{
    if (m_mostrando)
        return;
    m_numcheque = texto;
    Q_EMIT cambiado();
}

} // namespace kv
