#pragma once

#include "reports/impresora.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kv {

struct Contexto;

// "Inconsistencias detectadas": the findings of the validation, read from
// the messages file, with their print-out.
class FrmConsist : public QDialog
{
    Q_OBJECT
public:
    explicit FrmConsist(Contexto &contexto, FabricaImpresora fabrica = {}, QWidget *padre = nullptr);

    // Full path of the messages file, set by the window opener.
    QString sFileError;

    void cargar();
    // "&Imprimir".
    void RepInconsist();

    QPlainTextEdit *TxtPreliminar() const { return m_texto; }
    QPushButton *cmdImprimir() const { return m_imprimir; }
    QPushButton *CmdGrabar() const { return m_aceptar; }

private:
    Contexto &m_ctx;
    FabricaImpresora m_fabrica;
    QPlainTextEdit *m_texto = nullptr;
    QPushButton *m_imprimir = nullptr;
    QPushButton *m_aceptar = nullptr;
};

} // namespace kv
