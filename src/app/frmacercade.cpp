#include "frmacercade.h"

#include "store/ui/accesible.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kv {

frmAcercade::frmAcercade(QWidget *padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("frmAcercade"));
    setWindowTitle(QStringLiteral("Acerca de Qadelia "));

    auto *icono = new QLabel(this);
    icono->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    auto *nombre = new QLabel(QStringLiteral("<b>0517 QDL Zentorio</b><br>"
                                             "Declaración mensual del impuesto por pasajero<br>"
                                             "en vuelos internacionales."),
                              this);
    m_txtVersion = new QLineEdit(QStringLiteral("Versión 1.0"), this);
    m_txtVersion->setObjectName(QStringLiteral("txtVersion"));
    m_txtVersion->setReadOnly(true);
    m_txtVersion->setFrame(false);
    m_txtVersion->setFocusPolicy(Qt::NoFocus);
    QPalette paleta = m_txtVersion->palette();
    paleta.setColor(QPalette::Base, paleta.color(QPalette::Window));
    m_txtVersion->setPalette(paleta);

    auto *cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    connect(cmdAceptar, &QPushButton::clicked, this, &QDialog::accept);
    nombrarControl(cmdAceptar, cmdAceptar->text(), QStringLiteral("cmdAceptar"));
    nombrarControl(m_txtVersion, QStringLiteral("Versión"), QStringLiteral("txtVersion"));

    auto *textos = new QVBoxLayout;
    textos->addWidget(nombre);
    textos->addWidget(m_txtVersion);
    auto *arriba = new QHBoxLayout;
    arriba->addWidget(icono, 0, Qt::AlignTop);
    arriba->addLayout(textos, 1);
    auto *abajo = new QHBoxLayout;
    abajo->addStretch(1);
    abajo->addWidget(cmdAceptar);
    auto *columna = new QVBoxLayout(this);
    columna->addLayout(arriba);
    columna->addLayout(abajo);
}

} // namespace kv
