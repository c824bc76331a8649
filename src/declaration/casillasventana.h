#pragma once

#include "casillas.h"

#include <QMap>
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QLineEdit;

namespace kv {

class FormaDePagoQDL;
class Utilidad;

// The declaration window's boxes driven by their rules: every text a box
// takes (typed, loaded, handed back by another window) goes through
// Casillas, and what that recomputes is written into the boxes, into
// txtImpSoles and into the payment panel's amount. The keys typed in the
// editable boxes are judged here before the box sees them, Backspace, Enter
// and Delete included, and nothing can be pasted into them. Box 403 opens
// the previous payments' list on a key or a click.
class CasillasVentana : public QObject
{
    Q_OBJECT
public:
    CasillasVentana(const AccesoDatos &datos, const Utilidad *utilidad, QObject *padre = nullptr);

    // A box of the window; editable ones get the key and focus rules.
    void agregar(int casilla, QLineEdit *campo);
    void setImpSoles(QLineEdit *campo);
    void setFormaDePago(FormaDePagoQDL *panel);

    const Casillas &casillas() const { return m_casillas; }
    // A sent declaration's boxes keep the form they were loaded in.
    void setHistorico(bool historico) { m_casillas.setHistorico(historico); }

    // Sets a box as if it had been typed, with everything that follows.
    void cambiar(int casilla, const QString &texto);
    // The previous payments' total handed back by their list: box 403
    // takes it and shows it as it reads on every other road, a deduction
    // in parentheses, so that it is stored with one sign only.
    void pagosPrevios(const QString &total);
    // The stored figures of a declaration (plain numbers by box number),
    // shown as stored (Casillas::cargar).
    void cargar(const QMap<QString, QString> &valores);
    // Boxes 390 to 396 from the working copy; false, with `error`, when it
    // could not be read (the boxes keep their figures).
    bool TotalizaVuelos(ErrorBD *error);

Q_SIGNALS:
    // The user changed a box (typed into it, or a key rule emptied it).
    void editada(int casilla);
    // A key, a click or a double click in box 403: the previous payments'
    // list is to be opened.
    void pagosPreviosPedidos();
    // A rule refused what a box held; shown before the box is emptied.
    void aviso(const QString &texto);

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void mostrar(const CambiosCasillas &cambios, int casillaLongitud = 0);
    bool tecla(int casilla, QLineEdit *campo, const QKeyEvent *evento);

    Casillas m_casillas;
    const Utilidad *m_utilidad;
    QMap<int, QLineEdit *> m_campos;
    QPointer<QLineEdit> m_impSoles;
    QPointer<FormaDePagoQDL> m_formaPago;
    bool m_mostrando = false; // the boxes are being written from Casillas
};

} // namespace kv
