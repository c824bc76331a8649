#pragma once

#include "advertencias.h"
#include "store/ui/ventanas.h"

#include <QColor>
#include <QDialog>
#include <functional>

class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kv {

struct Contexto;

// "Resumen del mes": the declared month at a glance. Bars are the
// passengers subject to the tax of each arrival day (a day with a warned
// flight in the warning colour), the line over them the same days of the
// month before, and a second line, on the right-hand axis, the day's tax in
// US dollars. The same figures are listed below, a row a day, for screen
// readers and for copying. A click on a bar, or Enter or a double click on
// a row, closes the window and hands back the day, whose first flight the
// declaration window then selects.
class FrmResumenMes : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kTitulo = QStringLiteral("Resumen del mes");
    // Days with a warned flight, on the chart and in the list.
    static inline const QColor kColorAdvertencia = QColor(0xd9, 0x5f, 0x0e);

    FrmResumenMes(Contexto &contexto, QWidget *padre = nullptr);

    // Reads the working copy and the earlier declarations and draws them.
    void cargar();

    // Given by the window opener: the chosen day, as yyyy-mm-dd.
    std::function<void(const QString &)> devolver;

    const QList<DiaDelMes> &dias() const { return m_dias; }
    // Hands back the day (from 0) when it has flights, and closes.
    bool elegirDia(int indice);
    // The list as text, a row a line and its cells separated by tabs.
    QString textoTabla() const;

    QChartView *chtResumen() const { return m_grafico; }
    QTableWidget *grdResumen() const { return m_tabla; }
    QPushButton *cmdCopiar() const { return m_copiar; }
    QPushButton *cmdCerrar() const { return m_cerrar; }

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void dibujar();
    void llenarTabla();
    void mostrarDia(bool encima, int indice);

    Contexto &m_ctx;
    QList<DiaDelMes> m_dias;
    QString m_periodoAnterior; // mm/yyyy, empty when it has no declaration
    QLabel *m_titulo = nullptr;
    QChartView *m_grafico = nullptr;
    QTableWidget *m_tabla = nullptr;
    QPushButton *m_copiar = nullptr;
    QPushButton *m_cerrar = nullptr;
};

// Makes "ResumenMes" known to the window opener.
void registrarVentanaResumenMes(RegistroVentanas &registro, Contexto &contexto);

} // namespace kv
