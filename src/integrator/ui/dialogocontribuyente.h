#pragma once

#include <QDialog>

class QLineEdit;

namespace kv {

class RegistroContribuyentes;

// Adds a taxpayer, or changes the name of one (his RUC stays). The dialog
// closes only when the register took the entry.
class DialogoContribuyente : public QDialog
{
    Q_OBJECT

public:
    // An empty `ruc` adds a new taxpayer.
    DialogoContribuyente(RegistroContribuyentes &registro, const QString &ruc, const QString &nombre,
        QWidget *parent = nullptr);

    QLineEdit *txtRuc() const { return m_ruc; }
    QLineEdit *txtNombre() const { return m_nombre; }
    bool esNuevo() const { return m_nuevo; }

public slots:
    void accept() override;

private:
    RegistroContribuyentes &m_registro;
    bool m_nuevo;
    QLineEdit *m_ruc;
    QLineEdit *m_nombre;
};

} // namespace kv
