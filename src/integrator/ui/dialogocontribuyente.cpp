#include "dialogocontribuyente.h"

#include "integrator/registrocontribuyentes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace kv {

DialogoContribuyente::DialogoContribuyente(
    RegistroContribuyentes &registro, const QString &ruc, const QString &nombre, QWidget *parent)
    : QDialog(parent)
    , m_registro(registro)
    , m_nuevo(ruc.isEmpty())
    , m_ruc(new QLineEdit(ruc, this))
    , m_nombre(new QLineEdit(nombre, this))
{
    setWindowTitle(
        m_nuevo ? QStringLiteral("Agregar contribuyente") : QStringLiteral("Modificar contribuyente"));
    m_ruc->setObjectName(QStringLiteral("txtRuc"));
    m_ruc->setMaxLength(11);
    m_ruc->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,11}")), m_ruc));
    m_ruc->setReadOnly(!m_nuevo);
    if (!m_nuevo)
        m_ruc->setBackgroundRole(QPalette::Button);
    m_nombre->setObjectName(QStringLiteral("txtNombre"));
    m_nombre->setMaxLength(RegistroContribuyentes::kLargoNombre);
    m_nombre->setMinimumWidth(m_nombre->fontMetrics().averageCharWidth() * 60);

    auto *formulario = new QFormLayout;
    formulario->addRow(QStringLiteral("Número de &RUC:"), m_ruc);
    formulario->addRow(QStringLiteral("Razón &social:"), m_nombre);

    auto *botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Aceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancelar"));
    connect(botones, &QDialogButtonBox::accepted, this, &DialogoContribuyente::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &DialogoContribuyente::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(formulario);
    layout->addWidget(botones);
    (m_nuevo ? m_ruc : m_nombre)->setFocus();
}

void DialogoContribuyente::accept()
{
    const bool grabado = m_nuevo ? m_registro.agregar(m_ruc->text(), m_nombre->text())
                                 : m_registro.cambiar(m_ruc->text(), m_nombre->text());
    if (grabado)
        QDialog::accept();
}

} // namespace kv
