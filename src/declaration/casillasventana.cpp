#include "casillasventana.h"

#include "store/ui/filtroteclas.h"
#include "store/ui/formadepagoqdl.h"
#include "store/ui/listas.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace kv {

namespace {

// A message box or a menu takes the focus for a moment: that is not the
// user entering or leaving the box.
bool esFocoDelUsuario(const QEvent *evento)
{
    const auto razon = static_cast<const QFocusEvent *>(evento)->reason();
    return razon != Qt::ActiveWindowFocusReason && razon != Qt::PopupFocusReason;
}

} // namespace

CasillasVentana::CasillasVentana(const AccesoDatos &datos, const Utilidad *utilidad, QObject *padre)
    : QObject(padre)
    , m_casillas(datos)
    , m_utilidad(utilidad)
{
}

void CasillasVentana::agregar(int casilla, QLineEdit *campo)
{
    m_campos.insert(casilla, campo);
    // Whoever sets the text, the boxes that depend on it follow.
    connect(campo, &QLineEdit::textChanged, this, [this, casilla](const QString &texto) {
        if (!m_mostrando)
            mostrar(m_casillas.cambiar(casilla, texto));
    });
    if (Casillas::esCalculada(casilla))
        return;
    connect(campo, &QLineEdit::textEdited, this, [this, casilla] { Q_EMIT editada(casilla); });
    if (m_utilidad) {
        // Only the blocking of every paste route; the keys are judged below.
        FiltroTeclas::instalar(campo, *m_utilidad, {FiltroTeclas::Tipo::Libre, false, true, true, {}});
    }
    // Installed last, so it sees each key before the paste blocker.
    campo->installEventFilter(this);
}

void CasillasVentana::setImpSoles(QLineEdit *campo)
{
    m_impSoles = campo;
    connect(campo, &QLineEdit::textChanged, this, [this](const QString &texto) {
        if (!m_mostrando)
            mostrar(m_casillas.cambiarImpSoles(texto));
    });
}

void CasillasVentana::setFormaDePago(FormaDePagoQDL *panel)
{
    m_formaPago = panel;
}

void CasillasVentana::mostrar(const CambiosCasillas &cambios, int casillaLongitud)
{
    const QScopedValueRollback<bool> mostrando(m_mostrando, true);
    for (int casilla : cambios.casillas) {
        QLineEdit *campo = m_campos.value(casilla);
        if (!campo)
            continue;
        const QString texto = m_casillas.texto(casilla);
        // A line edit cuts what it is given to its length limit: a figure
        // shown is never cut.
        if (texto.size() > campo->maxLength())
            campo->setMaxLength(int(texto.size()));
        if (campo->text() != texto)
            campo->setText(texto);
    }
    if (cambios.impSoles && m_impSoles)
        m_impSoles->setText(m_casillas.textoImpSoles());
    if (cambios.importe && m_formaPago)
        m_formaPago->setImporte(m_casillas.texto(410));
    if (cambios.longitud != 0) {
        if (QLineEdit *campo = m_campos.value(casillaLongitud))
            campo->setMaxLength(std::max(cambios.longitud, int(campo->text().size())));
    }
}

void CasillasVentana::cambiar(int casilla, const QString &texto)
{
    mostrar(m_casillas.cambiar(casilla, texto));
}

void CasillasVentana::pagosPrevios(const QString &total)
{
    mostrar(m_casillas.cambiar(403, total));
    mostrar(m_casillas.Forma(403));
}

void CasillasVentana::cargar(const QMap<QString, QString> &valores)
{
    QMap<int, QString> porCasilla;
    for (auto it = valores.cbegin(); it != valores.cend(); ++it)
        porCasilla.insert(it.key().toInt(), it.value());
    mostrar(m_casillas.cargar(porCasilla));
}

bool CasillasVentana::TotalizaVuelos(ErrorBD *error)
{
    ErrorBD fallo;
    mostrar(m_casillas.TotalizaVuelos(&fallo));
    if (error)
        *error = fallo;
    return !fallo.hay();
}

bool CasillasVentana::eventFilter(QObject *objeto, QEvent *evento)
{
    auto *campo = qobject_cast<QLineEdit *>(objeto);
    const int casilla = campo ? m_campos.key(campo, 0) : 0;
    if (casilla == 0)
        return false;
    switch (evento->type()) {
    case QEvent::FocusIn:
        if (esFocoDelUsuario(evento))
            mostrar(m_casillas.alEntrar(casilla), casilla);
        return false;
    case QEvent::FocusOut:
        if (esFocoDelUsuario(evento))
            mostrar(m_casillas.alSalir(casilla), casilla);
        return false;
    case QEvent::KeyPress:
        return tecla(casilla, campo, static_cast<QKeyEvent *>(evento));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Entering the box with the mouse opens the list as a key does.
        if (casilla != 403 || static_cast<QMouseEvent *>(evento)->button() != Qt::LeftButton)
            return false;
        Q_EMIT editada(casilla);
        Q_EMIT pagosPreviosPedidos();
        return true;
    default:
        return false;
    }
}

// True when the key is not to reach the box.
bool CasillasVentana::tecla(int casilla, QLineEdit *campo, const QKeyEvent *evento)
{
    DecisionTecla decision;
    switch (evento->key()) {
    case Qt::Key_Delete:
        decision = m_casillas.suprimir(casilla);
        break;
    case Qt::Key_Backspace:
        decision = m_casillas.tecla(casilla, 8);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        decision = m_casillas.tecla(casilla, 13);
        break;
    default: {
        // Shortcuts and keys that type nothing (arrows, Home, Tab) keep
        // working; the paste blocker sees Ctrl+V and Shift+Insert next.
        const QString texto = evento->text();
        if (texto.isEmpty() || texto.at(0).unicode() < 32 || texto.at(0).unicode() == 127
            || evento->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        decision = m_casillas.tecla(casilla, texto.at(0).unicode());
    }
    }

    using A = DecisionTecla::Accion;
    switch (decision.accion) {
    case A::Aceptar:
        return false;
    case A::Descartar:
        return true;
    case A::PasarFoco:
        moverFocoSiguiente(campo);
        return true;
    case A::Vaciar:
        if (!decision.mensaje.isEmpty())
            Q_EMIT aviso(decision.mensaje);
        cambiar(casilla, QString());
        Q_EMIT editada(casilla);
        return true;
    case A::AbrirPagosPrevios:
        Q_EMIT editada(casilla);
        Q_EMIT pagosPreviosPedidos();
        return true;
    }
    return false;
}

} // namespace kv
