#include "filtroteclas.h"

#include "listas.h"
#include "store/utilidad.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWidget>

namespace kv {

FiltroTeclas::FiltroTeclas(const Utilidad &utilidad, Opciones opciones, QObject *padre)
    : QObject(padre), m_utilidad(utilidad), m_opciones(std::move(opciones))
{
}

FiltroTeclas *FiltroTeclas::instalar(QWidget *campo, const Utilidad &utilidad, Opciones opciones)
{
    auto *filtro = new FiltroTeclas(utilidad, std::move(opciones), campo);
    if (filtro->m_opciones.bloqueaPegado)
        campo->setContextMenuPolicy(Qt::NoContextMenu);
    campo->installEventFilter(filtro);
    return filtro;
}

int FiltroTeclas::filtrar(int tecla) const
{
    if (m_opciones.caracteresExtra.contains(QChar(char16_t(tecla))))
        return tecla;
    switch (m_opciones.tipo) {
    case Tipo::Libre: return tecla;
    case Tipo::Numerico: return m_utilidad.filtroNumerico(tecla);
    case Tipo::NumericoDecimal: return m_utilidad.filtroNumerico(tecla, Utilidad::PermitePunto);
    case Tipo::Codigo: return m_utilidad.filtroCodigo(tecla);
    case Tipo::CodigoMayusculas: return m_utilidad.teclaMayuscula(m_utilidad.filtroCodigo(tecla));
    }
    return tecla;
}

void FiltroTeclas::intentoDePegado() const
{
    if (m_opciones.vaciaPortapapeles) {
        QApplication::clipboard()->clear(QClipboard::Clipboard);
        QApplication::clipboard()->clear(QClipboard::Selection);
    }
}

bool FiltroTeclas::eventFilter(QObject *objeto, QEvent *evento)
{
    auto *campo = qobject_cast<QWidget *>(objeto);
    if (!campo)
        return false;

    if (evento->type() == QEvent::MouseButtonPress || evento->type() == QEvent::MouseButtonRelease
        || evento->type() == QEvent::MouseButtonDblClick) {
        const auto *raton = static_cast<QMouseEvent *>(evento);
        if (m_opciones.bloqueaPegado
            && (raton->button() == Qt::RightButton || raton->button() == Qt::MiddleButton)) {
            intentoDePegado();
            return true;
        }
        return false;
    }
    if (evento->type() == QEvent::ContextMenu && m_opciones.bloqueaPegado) {
        intentoDePegado();
        return true;
    }
    if (evento->type() == QEvent::ShortcutOverride) {
        // Let our KeyPress handler see Ctrl+V and Shift+Insert first.
        const auto *tecla = static_cast<QKeyEvent *>(evento);
        if (m_opciones.bloqueaPegado
            && (tecla->matches(QKeySequence::Paste)
                || (tecla->key() == Qt::Key_Insert && tecla->modifiers() & Qt::ShiftModifier))) {
            evento->accept();
            return true;
        }
        return false;
    }
    if (evento->type() != QEvent::KeyPress)
        return false;

    const auto *tecla = static_cast<QKeyEvent *>(evento);
    if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
        if (!m_opciones.enterPasaFoco)
            return false;
        Q_EMIT enterPulsado();
        moverFocoSiguiente(campo);
        return true;
    }
    if (m_opciones.bloqueaPegado
        && (tecla->matches(QKeySequence::Paste) || tecla->key() == Qt::Key_Menu
            || (tecla->key() == Qt::Key_Insert && tecla->modifiers() & Qt::ShiftModifier))) {
        intentoDePegado();
        return true;
    }
    const QString texto = tecla->text();
    if (texto.isEmpty() || texto.at(0).unicode() < 32 || texto.at(0).unicode() == 127
        || tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false; // Backspace, Delete, arrows, Tab, Home/End and shortcuts keep working
    const int codigo = texto.at(0).unicode();
    const int resultado = filtrar(codigo);
    if (resultado == 0)
        return true;
    if (resultado != codigo) {
        const QString cambiado{QChar(char16_t(resultado))};
        if (auto *linea = qobject_cast<QLineEdit *>(campo)) {
            if (!linea->isReadOnly())
                linea->insert(cambiado);
        } else if (auto *area = qobject_cast<QPlainTextEdit *>(campo)) {
            if (!area->isReadOnly())
                area->insertPlainText(cambiado);
        }
        return true;
    }
    return false;
}

} // namespace kv
