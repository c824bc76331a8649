#pragma once

#include <QString>

#include "store/basedatos.h"

class QAbstractItemModel;
class QComboBox;
class QSqlQueryModel;
class QTableView;
class QWidget;

namespace kv {

class AccesoDatos;
struct ConsultaSql;

// Runs the query (values bound) into a grid's model and fetches every row,
// so that the row count is exact from the start.
ErrorBD cargarModelo(QSqlQueryModel *modelo, QSqlDatabase db, const ConsultaSql &consulta);

// A list grid on `modelo`: read-only, whole rows chosen one at a time, rows
// as high as a line of text and unnumbered, Tab leaving the grid.
void prepararGrillaLista(QTableView *grilla, QAbstractItemModel *modelo);
// No value is cut: every shown column but `excepto` becomes at least as wide
// as its heading and its texts.
void ensancharColumnas(QTableView *grilla, int excepto);

// The list-box routines of the shared services, on Qt's non-editable combo
// boxes.
void LlenarComboParametros(QComboBox *lista, const AccesoDatos &datos, const QString &numero, const QString &patron,
                           int longitud, int inicio, bool conBlanco);
void LlenarComboRuc(QComboBox *lista, const AccesoDatos &datos);

// Selects each entry in turn from the first and stops at the first whose
// first n characters, trimmed, equal the code trimmed; when none does, the
// last entry stays selected.
void SeleccionarEnCombo(QComboBox *lista, const QString &codigo, int n);

// Average width in pixels of a character of the dialog font: the width of
// the 52 letters A-Z a-z divided by 52.
int AnchoPromedioCaracter(const QWidget *ventana);
// Width of the drop-down part: the average character × (longest entry − 2),
// or × (n − 2).
void AjustarAnchoCombo(const QWidget *ventana, QComboBox *lista);
void FijarAnchoCombo(const QWidget *ventana, QComboBox *lista, int n);

// Normal state, then left, top, height and width in twips.
void UbicarVentana(QWidget *ventana, int izquierda, int arriba, int alto, int ancho);
// The size alone, in twips (height, width), for windows placed by their opener.
void DimensionarVentana(QWidget *ventana, int alto, int ancho);

// Moves the focus on to the next control when the action is "TAB".
void EnviarTab(const QString &accion);
// The focus to the next enabled, visible control that takes Tab, as Tab would.
void moverFocoSiguiente(QWidget *desde);

// Twips to screen pixels at the logical resolution of the widget's screen.
int twipsAPixeles(const QWidget *widget, int twips);

} // namespace kv
