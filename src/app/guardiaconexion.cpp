#include "guardiaconexion.h"

#include "store/contexto.h"
#include "store/esquema.h"
#include "store/mensajes.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>

namespace kv {

namespace {
const QString kTitulo = QStringLiteral("Conexión con la base de datos");
}

GuardiaConexion::GuardiaConexion(Contexto &contexto, QObject *padre) : QObject(padre), m_ctx(contexto) {}

bool GuardiaConexion::eventFilter(QObject *objeto, QEvent *evento)
{
    switch (evento->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Shortcut:
        if (!revisar())
            return true;
        break;
    default: break;
    }
    return QObject::eventFilter(objeto, evento);
}

bool GuardiaConexion::revisar()
{
    // A message being read (the failed action's own, or this guard's) is
    // answered first.
    if (m_atendiendo || qobject_cast<QMessageBox *>(QApplication::activeModalWidget())
        || !BaseDatos::perdida(m_ctx.conexion))
        return true;
    m_atendiendo = true;
    const bool cerradas = cerrarVentanas();
    ErrorBD error = BaseDatos::abrir(m_ctx.ubicacion, m_ctx.conexion);
    if (!error.hay())
        error = crearCopiasDeTrabajoPrivadas(m_ctx.db());
    QString texto = QStringLiteral("Se perdió la conexión con el servidor de la base de datos");
    if (error.hay()) {
        texto += QStringLiteral(" y no se pudo volver a conectar:\n") + error.texto
            + QStringLiteral("\nSe intentará de nuevo en la siguiente acción.");
    } else {
        texto += QStringLiteral(" y se volvió a conectar.");
    }
    if (cerradas) {
        texto += QStringLiteral("\nLa declaración que estaba abierta se cerró: lo que no se había grabado de ella "
                                "se perdió; lo grabado antes está intacto. Ábrala de nuevo para seguir.");
    }
    m_ctx.mensajes->mostrar(kTitulo, texto, error.hay() ? Icono::Critico : Icono::Exclamacion);
    m_atendiendo = false;
    return false;
}

bool GuardiaConexion::cerrarVentanas()
{
    // From the innermost window out; done() and not reject(), which would
    // ask whether to save.
    bool cerradas = false;
    while (QWidget *ventana = QApplication::activeModalWidget()) {
        if (auto *dialogo = qobject_cast<QDialog *>(ventana))
            dialogo->done(QDialog::Rejected);
        else
            ventana->close();
        cerradas = true;
        if (QApplication::activeModalWidget() == ventana)
            break;
    }
    const auto ventanas = QApplication::topLevelWidgets();
    for (QWidget *ventana : ventanas) {
        auto *dialogo = qobject_cast<QDialog *>(ventana);
        if (dialogo && dialogo->isVisible())
            dialogo->done(QDialog::Rejected);
    }
    return cerradas;
}

} // namespace kv
