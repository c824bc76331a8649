#pragma once

#include <QDialog>

class QLineEdit;

namespace kv {

// About the module: its name and version.
class frmAcercade : public QDialog
{
    Q_OBJECT
public:
    explicit frmAcercade(QWidget *padre = nullptr);

    QLineEdit *txtVersion() const { return m_txtVersion; }

private:
    QLineEdit *m_txtVersion;
};

} // namespace kv
