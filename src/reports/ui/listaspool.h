#pragma once

#include "reports/impresora.h"

#include <QWidget>

class QSqlQueryModel;
class QTableView;
class QPushButton;

namespace kv {

struct Contexto;

// The report register: every report file of SPOOL, newest first, with its
// code and what the report catalogue calls it, the declaration's period
// (read from the report's heading), the taxpayer's document and name, the
// date, user, file and sequence. "Ver" (or a double click, or Enter) opens the chosen one in the
// preview, all its pages.
class ListaSpool : public QWidget
{
    Q_OBJECT
public:
    // The model's columns; the grid shows them in another order.
    enum Columna { CodRep, Secuencia, Archivo, Fecha, Usuario, Documento, Descripcion, Contribuyente, Periodo };

    explicit ListaSpool(Contexto &contexto, FabricaImpresora fabrica = {}, QWidget *padre = nullptr);

    // Reads the register again.
    void actualizar();

    QTableView *grilla() const { return m_grilla; }
    QSqlQueryModel *modelo() const { return m_modelo; }
    int filas() const;
    // The file name of the selected row (empty when none).
    QString archivoSeleccionado() const;

    // Opens a report: by default the preview on all its pages; a test can
    // watch what it is asked.
    std::function<void(const QString &archivo)> abrirReporte;

    void verSeleccionado();

    // Number of pages of a report file: the highest page field plus one.
    static int contarPaginas(const QString &ruta);

Q_SIGNALS:
    void reporteAbierto(const QString &archivo);

private:
    Contexto &m_ctx;
    QSqlQueryModel *m_modelo = nullptr;
    QTableView *m_grilla = nullptr;
    QPushButton *m_ver = nullptr;
    QPushButton *m_actualizar = nullptr;
};

} // namespace kv
