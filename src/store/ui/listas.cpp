#include "listas.h"

#include "store/accesodatos.h"
#include "store/twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScreen>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QSqlQueryModel>
#include <QWidget>

namespace kv {

ErrorBD cargarModelo(QSqlQueryModel *modelo, QSqlDatabase db, const ConsultaSql &consulta)
{
    // Not forward-only: a grid walks back and forth over its rows.
    ErrorBD error;
    modelo->setQuery(ejecutarConsulta(db, consulta, &error, false));
    while (modelo->canFetchMore())
        modelo->fetchMore();
    return error;
}

void prepararGrillaLista(QTableView *grilla, QAbstractItemModel *modelo)
{
    grilla->setModel(modelo);
    grilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grilla->setSelectionBehavior(QAbstractItemView::SelectRows);
    grilla->setSelectionMode(QAbstractItemView::SingleSelection);
    grilla->setTabKeyNavigation(false);
    grilla->setWordWrap(false);
    grilla->verticalHeader()->setDefaultSectionSize(grilla->fontMetrics().height() + 6);
    grilla->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grilla->verticalHeader()->hide();
}

void ensancharColumnas(QTableView *grilla, int excepto)
{
    const QAbstractItemView *vista = grilla;
    const int columnas = grilla->model() ? grilla->model()->columnCount() : 0;
    for (int c = 0; c < columnas; ++c) {
        if (c == excepto || grilla->isColumnHidden(c))
            continue;
        const int necesario = qMax(vista->sizeHintForColumn(c), grilla->horizontalHeader()->sectionSizeHint(c));
        if (necesario > grilla->columnWidth(c))
            grilla->setColumnWidth(c, necesario);
    }
}

void LlenarComboParametros(QComboBox *lista, const AccesoDatos &datos, const QString &numero, const QString &patron,
                           int longitud, int inicio, bool conBlanco)
{
    lista->clear();
    lista->addItems(datos.EntradasComboParametros(numero, patron, longitud, inicio, conBlanco));
}

void LlenarComboRuc(QComboBox *lista, const AccesoDatos &datos) { lista->addItems(datos.EntradasComboRuc()); }

void SeleccionarEnCombo(QComboBox *lista, const QString &codigo, int n)
{
    const QString buscado = codigo.trimmed();
    for (int i = 0; i < lista->count(); ++i) {
        lista->setCurrentIndex(i);
        if (lista->itemText(i).left(n).trimmed() == buscado)
            return;
    }
}

int AnchoPromedioCaracter(const QWidget *ventana)
{
    const QFontMetrics medidas(ventana ? ventana->font() : QApplication::font());
    return medidas.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
}

void AjustarAnchoCombo(const QWidget *ventana, QComboBox *lista)
{
    int mayor = 0;
    for (int i = 0; i < lista->count(); ++i)
        mayor = std::max(mayor, int(lista->itemText(i).size()));
    FijarAnchoCombo(ventana, lista, mayor);
}

void FijarAnchoCombo(const QWidget *ventana, QComboBox *lista, int n)
{
    const int ancho = AnchoPromedioCaracter(ventana) * (n - 2);
    if (lista->view() && ancho > 0)
        lista->view()->setMinimumWidth(ancho);
}

int twipsAPixeles(const QWidget *widget, int twips)
{
    const QScreen *pantalla = widget && widget->screen() ? widget->screen() : QApplication::primaryScreen();
    const double dpi = pantalla ? pantalla->logicalDotsPerInch() : 96.0;
    return twipsAPuntos(twips, dpi);
}

void UbicarVentana(QWidget *ventana, int izquierda, int arriba, int alto, int ancho)
{
    ventana->setWindowState(Qt::WindowNoState);
    ventana->move(twipsAPixeles(ventana, izquierda), twipsAPixeles(ventana, arriba));
    DimensionarVentana(ventana, alto, ancho);
}

void DimensionarVentana(QWidget *ventana, int alto, int ancho)
{
    ventana->resize(twipsAPixeles(ventana, ancho), twipsAPixeles(ventana, alto));
}

void EnviarTab(const QString &accion)
{
    if (accion == u"TAB")
        moverFocoSiguiente(QApplication::focusWidget());
}

void moverFocoSiguiente(QWidget *desde)
{
    if (!desde)
        return;
    for (QWidget *w = desde->nextInFocusChain(); w && w != desde; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace kv
