#pragma once

#include <QObject>

class QWidget;

namespace kv {

class Utilidad;

// What a text box lets the user type, as the old key handlers did: digits
// only (with or without the decimal point), codes of letters and digits
// (optionally turned to upper case), or anything. Enter moves on to the next
// field, and pasting can be blocked on every route a user has: Ctrl+V,
// Shift+Insert, the menu key, the context menu and the middle button's
// selection paste.
class FiltroTeclas : public QObject
{
    Q_OBJECT
public:
    enum class Tipo { Libre, Numerico, NumericoDecimal, Codigo, CodigoMayusculas };

    struct Opciones
    {
        Tipo tipo = Tipo::Libre;
        bool enterPasaFoco = true;
        bool bloqueaPegado = false;
        bool vaciaPortapapeles = false; // empty the clipboard when a paste is tried
        QString caracteresExtra;        // further characters that pass (" " in the page boxes)
    };

    FiltroTeclas(const Utilidad &utilidad, Opciones opciones, QObject *padre = nullptr);

    // Installs a filter on the widget (owned by it) and returns it.
    static FiltroTeclas *instalar(QWidget *campo, const Utilidad &utilidad, Opciones opciones);

Q_SIGNALS:
    // Enter was pressed (before the focus moved on).
    void enterPulsado();

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    int filtrar(int tecla) const;
    void intentoDePegado() const;

    const Utilidad &m_utilidad;
    Opciones m_opciones;
};

} // namespace kv
