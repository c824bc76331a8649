#pragma once

#include "reports/impresora.h"

#include <QDialog>
#include <QStringList>
#include <functional>

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
    // Shown after the findings, under their own heading, and printed so.
    QStringList advertencias;
    // Given by the window opener: a double click on a finding or a warning,
    // or Enter on it, closes the report and hands back its number (from 0:
    // the file's lines, then the warnings), so that the declaration window
    // can take the user to the field.
    std::function<void(const QString &)> devolver;

    void cargar();
    // "&Imprimir".
    void RepInconsist();

    QPlainTextEdit *TxtPreliminar() const { return m_texto; }
    QPushButton *cmdImprimir() const { return m_imprimir; }
    QPushButton *CmdGrabar() const { return m_aceptar; }

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    // Hands back the finding on that line and closes; false when there is
    // nobody to hand it to or the line holds no finding.
    bool elegirLinea(int linea);
    // The line of the cursor stands out, as the finding Enter would choose.
    void marcarLinea();

    Contexto &m_ctx;
    FabricaImpresora m_fabrica;
    QLabel *m_etiqueta = nullptr;
    QPlainTextEdit *m_texto = nullptr;
    QPushButton *m_imprimir = nullptr;
    QPushButton *m_aceptar = nullptr;
    int m_lineasArchivo = 0; // the findings, one a line from the top
    int m_primeraAdvertencia = -1; // the line of the first warning
};

} // namespace kv
