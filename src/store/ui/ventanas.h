#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <memory>

class QWidget;

namespace kv {

// What the opener hands to a window before showing it: the window name, the
// action ("NEW", "MOD", "DEL", "IMP", "REG"), whether it works on sent
// declarations, a text (a correlative, a file name) and a page count. When
// an order number is registered ("REG") the declaration window also gets
// the chosen row's order and control numbers.
struct ParametrosVentana
{
    QString nombre;
    QString accion;
    bool historico = false;
    QString texto;
    int paginas = 0;
    QString numOrden;   // sNumOrden
    QString numControl; // sNumControl

    // What a detail window reads of the window that opened it: the current
    // row of the opener's grid, by column name as stored ("fec_arribo",
    // "cod_vuelo", "mto_dolar"...), for "MOD"; and the period as the
    // opener's period field shows it (mm/yyyy).
    QVariantMap fila;
    QString periodoMostrado;
    // The consistency report: the warnings shown after the findings.
    QStringList advertencias;

    // Called by a detail window each time it has saved a row while it stays
    // open ("NEW" loop), so that the opener's grid shows the row at once.
    std::function<void()> alGrabar;
    // Called with the value a window hands back when it closes through its
    // exit button (the previous payments' total for box 403).
    std::function<void(const QString &)> devolver;
};

// The window opener: factories keyed by window name. Every child window is
// created anew, shown modal and destroyed when it closes; a name nobody
// registered opens nothing. Each window folder registers its own windows.
class RegistroVentanas
{
public:
    using Fabrica = std::function<std::unique_ptr<QDialog>(const ParametrosVentana &, QWidget *padre)>;

    void registrar(const QString &nombre, Fabrica fabrica) { m_fabricas.insert(nombre, std::move(fabrica)); }
    bool contiene(const QString &nombre) const { return m_fabricas.contains(nombre); }

    // False when the name is not registered (nothing is opened).
    bool AbrirVentana(const QString &nombre, const QString &accion, bool historico, const QString &texto = {},
                      int paginas = 0, QWidget *padre = nullptr) const
    {
        ParametrosVentana p;
        p.nombre = nombre;
        p.accion = accion;
        p.historico = historico;
        p.texto = texto;
        p.paginas = paginas;
        return AbrirVentana(p, padre);
    }

    bool AbrirVentana(const ParametrosVentana &parametros, QWidget *padre = nullptr) const
    {
        const auto it = m_fabricas.constFind(parametros.nombre);
        if (it == m_fabricas.cend())
            return false;
        std::unique_ptr<QDialog> ventana = (*it)(parametros, padre);
        if (!ventana)
            return false;
        ventana->setWindowModality(Qt::ApplicationModal);
        ventana->exec();
        return true;
    }

private:
    QHash<QString, Fabrica> m_fabricas;
};

// Help topics: each window names the topic of the module's help file that
// F1 opens; a widget without one takes the topic of its nearest parent.
inline void fijarContextoAyuda(QWidget *widget, int contexto) { widget->setProperty("contextoAyuda", contexto); }
inline int contextoAyuda(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property("contextoAyuda");
        if (v.isValid() && v.toInt() > 0)
            return v.toInt();
    }
    return 0;
}

} // namespace kv
