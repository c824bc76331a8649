#pragma once

#include "reports/impresora.h"
#include "reports/reporteformulario.h"
#include "store/accesodatos.h"
#include "store/ui/ventanas.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QSqlQueryModel;
class QTableView;

namespace kv {

struct Contexto;
class BarradeEstadoQDL;

// The print list: the saved (or sent) declarations the user may print. The
// chosen one is written as the taxpayer's copy and printed at once, or
// previewed on a range of its pages; "Con Anexos" adds the previous
// payments. The current row is mirrored in the main window's status bar.
class FrmImprimeForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kContextoGuardadas = 1012;
    static constexpr int kContextoEnviadas = 1013;

    // Columns of the grid, as the list query gives them.
    enum Columna {
        kRuc = 0,
        kNombre = 1,
        kPeriodo = 2,  // yyyymm, hidden
        kPeriodoF = 3, // mmyyyy, shown as mm/yyyy
        kFormulario = 4,
        kNumOrden = 5,
        kFechaEnvio = 6,
        kControl = 7,
        kCorrel = 8,
        kEstado = 9, // hidden
        kColumnas = 10
    };

    // `barra` may be null (no status bar to mirror the row in); the printer
    // comes from `fabrica` (the system's when empty).
    FrmImprimeForm(Contexto &contexto, const ParametrosVentana &parametros, BarradeEstadoQDL *barra,
                   FabricaImpresora fabrica = {}, QWidget *padre = nullptr);
    ~FrmImprimeForm() override;

    bool bHistorico() const { return m_bHistorico; }
    QString sAccion() const { return m_sAccion; }

    // Captions and columns by list, then the list read.
    void cargar();

    QTableView *grdContrib() const { return m_grdContrib; }
    QSqlQueryModel *modelo() const { return m_modelo; }
    QCheckBox *ChkAnexo() const { return m_chkAnexo; }
    QPushButton *CmdImprimir(int indice) const { return m_cmdImprimir[indice]; }
    QGroupBox *marco() const { return m_marco; }

    // The declaration of the current row, as the report is made of it; an
    // empty taxpayer when the list is empty.
    DeclaracionImpresion declaracionActual() const;

    // "&Preliminar": the report, then the page-range dialog; the grid comes
    // back on its row. "&Imprimir": the report, printed whole at once. Both
    // do nothing on an empty list.
    void preliminar();
    void imprimir();

    // The report the last command wrote: its file in the reports folder and
    // its page count.
    QString archivoReporte() const { return m_archivo; }
    int paginasReporte() const { return m_paginas; }

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

public Q_SLOTS:
    void done(int resultado) override;

private:
    bool hayFila() const;
    bool construirReporte();
    void mostrarFila();
    QString valor(int fila, int columna) const;

    Contexto &m_ctx;
    AccesoDatos m_datos;
    FabricaImpresora m_fabrica;
    QPointer<BarradeEstadoQDL> m_barra;
    QString m_sAccion;
    bool m_bHistorico;
    QString m_archivo;
    int m_paginas = 0;

    QSqlQueryModel *m_modelo;
    QGroupBox *m_marco;
    QTableView *m_grdContrib;
    QCheckBox *m_chkAnexo;
    QPushButton *m_cmdImprimir[3];
};

} // namespace kv
