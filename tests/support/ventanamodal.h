#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace kv::prueba {

// Acts on the modal window of type `Ventana` that the next click or key
// opens, once it is up; the window is closed afterwards whatever happened,
// so a failed check never leaves the test waiting on it.
template<class Ventana> void enLaVentanaModal(std::function<void(Ventana *)> accion)
{
    QTimer::singleShot(0, [accion] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *ventana = qobject_cast<Ventana *>(modal))
            accion(ventana);
        if (auto *dialogo = qobject_cast<QDialog *>(modal); dialogo && dialogo->isVisible())
            dialogo->QDialog::done(QDialog::Rejected);
    });
}

} // namespace kv::prueba
