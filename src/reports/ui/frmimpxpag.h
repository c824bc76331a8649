#pragma once

#include "reports/impresora.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kv {

struct Contexto;

// "Impresión por páginas": how many pages the report has, and which of them
// to preview, with the warning about long ranges.
class frmImpxPag : public QDialog
{
    Q_OBJECT
public:
    explicit frmImpxPag(Contexto &contexto, FabricaImpresora fabrica = {}, QWidget *padre = nullptr);

    // Set by the window opener before the dialog is shown.
    int nTotPaginas = 0;
    QString sNombreRep;

    void cargar();

    QLineEdit *txtTotPaginas() const { return m_total; }
    QLineEdit *txtPagDesde() const { return m_desde; }
    QLineEdit *txtPagHasta() const { return m_hasta; }
    QPushButton *cmdAccion(int i) const { return m_acciones[i]; }
    QLabel *aviso() const { return m_aviso; }

    // Opens the preview on the range; a test can watch what it is asked.
    std::function<void(const QString &archivo, int paginas, int desde, int hasta)> abrirPrevia;

    // "&Preliminar": the checks, then the preview; the dialog stays open.
    void preliminar();

    static QString textoAviso();

private:
    Contexto &m_ctx;
    QLabel *m_aviso = nullptr;
    QLineEdit *m_total = nullptr;
    QLineEdit *m_desde = nullptr;
    QLineEdit *m_hasta = nullptr;
    QPushButton *m_acciones[2] = {nullptr, nullptr};
};

} // namespace kv
