#pragma once

#include "importacionhoja.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace kv {

struct Contexto;

// "Columnas de la hoja de cálculo": which column of the carrier's
// spreadsheet holds each field of a flight. Opens on the mapping remembered
// for the taxpayer, or on the one the sheet's headings give; shows the
// first rows as the import will read them, each refused row in the warning
// colour with the reason. "&Importar" remembers the mapping and closes; the
// import window then imports with it.
class frmColumnasHoja : public QDialog
{
    Q_OBJECT
public:
    // Rows of the preview.
    static constexpr int kFilasVista = 20;
    // The preview's columns: the sheet's row, the eleven fields, the reason.
    static constexpr int kColumnaObservacion = kCamposVuelo + 1;

    frmColumnasHoja(Contexto &contexto, const ImportacionVuelos &importacion, const QString &ruta,
        QWidget *padre = nullptr);

    // Reads the top of the file and offers a mapping. False when the file
    // cannot be read as a spreadsheet: error() says why, and the window is
    // not to be shown.
    bool cargar();
    QString error() const { return m_error; }

    // The mapping on screen.
    MapeoHoja mapeo() const;
    // The rows the preview shows.
    const QList<FilaVistaPrevia> &vista() const { return m_vista; }

    // "&Importar": remembers the mapping for the taxpayer and closes.
    void cmdImportarHoja_Click();

    QComboBox *cboHoja() const { return m_cboHoja; }
    QSpinBox *txtFilaTitulos() const { return m_txtFilaTitulos; }
    QComboBox *cboFormatoFecha() const { return m_cboFormatoFecha; }
    QComboBox *cboColumna(int campo) const { return m_cboColumna.at(campo); }
    QTableWidget *grdVistaPrevia() const { return m_grdVistaPrevia; }
    QLabel *lblResumen() const { return m_lblResumen; }
    QPushButton *cmdImportarHoja() const { return m_cmdImportarHoja; }
    QPushButton *cmdCancelar() const { return m_cmdCancelar; }

    // The background of a refused row.
    static QColor colorRechazo();

private:
    bool leer(const QString &hoja, qint64 filaTitulos);
    void ofrecer(const MapeoHoja &mapeo);
    void releer();
    void mostrarVista();

    Contexto &m_ctx;
    const ReglasImportacion m_reglas;
    QString m_ruta;
    QString m_error;
    MuestraHoja m_muestra;
    QList<FilaVistaPrevia> m_vista;
    bool m_llenando = false;

    QLabel *m_lblHoja;
    QComboBox *m_cboHoja;
    QSpinBox *m_txtFilaTitulos;
    QComboBox *m_cboFormatoFecha;
    std::array<QComboBox *, kCamposVuelo> m_cboColumna;
    QTableWidget *m_grdVistaPrevia;
    QLabel *m_lblResumen;
    QPushButton *m_cmdImportarHoja;
    QPushButton *m_cmdCancelar;
};

} // namespace kv
