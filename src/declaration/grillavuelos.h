#pragma once

#include "store/accesodatos.h"

#include <QDate>
#include <QHeaderView>
#include <QList>
#include <QSqlQueryModel>
#include <QString>

class QTableView;

namespace kv {

// The flights of the working copy as the grid shows them: arrival dates as
// dd/mm/yyyy, the tax in dollars with thousands separators, figures to the
// right. The stored values stay available through record().
//
// A declaration may hold thousands of flights: the first rows are read at
// once and the rest a batch at a time (fetchMore), so that the window shows
// without waiting for the last one.
class ModeloVuelos : public QSqlQueryModel
{
    Q_OBJECT
public:
    using QSqlQueryModel::QSqlQueryModel;

    // Runs the query and reads its first batch of rows.
    ErrorBD cargar(QSqlDatabase db, const ConsultaSql &consulta);
    // Reads on until the row is there, or to the end.
    void leerHasta(int fila);
    // The first row of a flight arrived on `fecha` (with that code, when one
    // is given), reading on as far as needed; -1 when there is none.
    int filaDeVuelo(const QDate &fecha, const QString &codigo = {});

    // A flight is found by its code, or part of it, in any letter case, or
    // by its arrival date as shown (dd/mm/yyyy), or its beginning ("15/03").
    static bool coincide(const QString &buscado, const QString &codigo, const QDate &arribo);
    // The first flight from row `desde` on that matches, going round to
    // the top when none below does, reading the rows not read yet; -1 when
    // none matches.
    int buscar(const QString &buscado, int desde);

    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;

    // The headings of the visible columns, in order.
    static const QStringList &titulos();
};

// A grid heading of two rows: above, the caption of each group of columns
// spanning its columns (by their places on screen, so a column moved into
// a group belongs to it); below, each column's own heading, wrapped on up
// to three lines.
class EncabezadoGrupos : public QHeaderView
{
    Q_OBJECT
public:
    struct Grupo
    {
        QString titulo;
        int primera;
        int ultima;
    };

    EncabezadoGrupos(QList<Grupo> grupos, QWidget *padre = nullptr);

    const QList<Grupo> &grupos() const { return m_grupos; }
    int altoGrupo() const;
    int altoTitulos() const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *pintor, const QRect &rect, int seccion) const override;

private:
    const Grupo *grupoDe(int seccion) const;

    QList<Grupo> m_grupos;
};

// The flight grid's columns (the model's, then the rate in force): the
// groups, and widths that fit each heading
// in three lines and the widest value a column usually holds (measured once
// per window: a refresh of 10,000 rows must not measure them).
QList<EncabezadoGrupos::Grupo> gruposVuelos();
QList<int> anchosColumnasVuelos(const QTableView *grilla);

} // namespace kv
