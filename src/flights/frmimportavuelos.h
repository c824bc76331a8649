#pragma once

#include "importacionvuelos.h"
#include "store/ui/ventanas.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace kv {

struct Contexto;

// "Importar Detalle de Vuelos": the user picks the folder that holds the
// carrier's file of the open declaration and imports it into the working
// copy. The folder is chosen in a tree that starts in the user's home
// folder, or typed (a folder outside the tree becomes the tree's top); the
// list shows the expected file when the folder has it. While the file is read the counts and a progress bar
// grow; afterwards the rejected lines may be seen in the import error report.
class frmImportaVuelos : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kContextoAyuda = 1021;

    frmImportaVuelos(Contexto &contexto, const ParametrosVentana &parametros, QWidget *padre = nullptr);
    ~frmImportaVuelos() override;

    // Window load: the tree on the user's home folder, the file list on it.
    void cargar();

    // The folder the file is taken from; an existing folder becomes the
    // tree's current one and fills the file list.
    QString carpeta() const;
    void elegirCarpeta(const QString &ruta);

    // "&Aceptar": imports, then says so when no line was refused.
    void cmdTransferir_Click();
    // The import of the file in the chosen folder; true when it ran to the
    // end with no line refused.
    bool ImportarVuelos();

    // Shows a report file of the reports folder on pages 1 to `paginas`; a
    // test can look instead of opening the preview.
    std::function<void(const QString &archivo, int paginas)> abrirReporte;

    bool importando() const { return m_importando; }

    QLineEdit *txtCarpeta() const { return m_txtCarpeta; }
    QTreeView *DirDirectorio() const { return m_dirDirectorio; }
    QListWidget *flArchivos() const { return m_flArchivos; }
    QLineEdit *txtArchivoBuscado() const { return m_txtArchivoBuscado; }
    QLabel *lblSinArchivo() const { return m_lblSinArchivo; }
    QLabel *lblTransferidos() const { return m_lblTransferidos; }
    QLabel *lblRechazados() const { return m_lblRechazados; }
    QProgressBar *prgAvance() const { return m_prgAvance; }
    QPushButton *cmdTransferir() const { return m_cmdTransferir; }
    QPushButton *cmCancelar() const { return m_cmCancelar; }

public Q_SLOTS:
    void reject() override;

protected:
    bool event(QEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;
    void showEvent(QShowEvent *evento) override;

private:
    void actualizarLista();
    void mostrarCarpetaEnArbol();
    void mostrarCuentas(qint64 transferidos, qint64 rechazados);
    void reiniciarCuentas();
    void avanzar(const AvanceImportacion &avance);
    void ofrecerReporte();

    Contexto &m_ctx;
    ImportacionVuelos m_importacion;
    bool m_importando = false;
    bool m_carpetaPorMostrar = false;
    QString m_raiz; // the folder at the top of the tree
    QString m_carpetaListada; // the folder the list and the counts are of
    QElapsedTimer m_ultimoRefresco;

    QFileSystemModel *m_carpetas;
    QGroupBox *m_fraArchivo;
    QLabel *m_lblCarpeta;
    QLineEdit *m_txtCarpeta;
    QTreeView *m_dirDirectorio;
    QListWidget *m_flArchivos;
    QLineEdit *m_txtArchivoBuscado;
    QLabel *m_lblSinArchivo;
    QLabel *m_lblTransferidos;
    QLabel *m_lblRechazados;
    QProgressBar *m_prgAvance;
    QPushButton *m_cmdTransferir;
    QPushButton *m_cmCancelar;
};

// Makes "ImportarVuelos" known to the window opener.
void registrarVentanaImportar(RegistroVentanas &registro, Contexto &contexto);

} // namespace kv
