#include "mensajesventana.h"

#include <QApplication>
#include <QMessageBox>

namespace kv {

namespace {

QMessageBox::Icon icono(Icono i)
{
    switch (i) {
    case Icono::Critico: return QMessageBox::Critical;
    case Icono::Pregunta: return QMessageBox::Question;
    case Icono::Exclamacion: return QMessageBox::Warning;
    case Icono::Informacion: return QMessageBox::Information;
    case Icono::Ninguno: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton boton(Respuesta r)
{
    switch (r) {
    case Respuesta::Aceptar: return QMessageBox::Ok;
    case Respuesta::Cancelar: return QMessageBox::Cancel;
    case Respuesta::Si: return QMessageBox::Yes;
    case Respuesta::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

Respuesta MensajesVentana::mostrar(const Mensaje &mensaje)
{
    QMessageBox caja(icono(mensaje.icono), mensaje.titulo, mensaje.texto, QMessageBox::NoButton,
                     QApplication::activeWindow());
    switch (mensaje.botones) {
    case Botones::Aceptar: caja.setStandardButtons(QMessageBox::Ok); break;
    case Botones::AceptarCancelar: caja.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Botones::SiNo: caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Botones::SiNoCancelar:
        caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    caja.setDefaultButton(boton(mensaje.predeterminada));
    switch (caja.exec()) {
    case QMessageBox::Ok: return Respuesta::Aceptar;
    case QMessageBox::Yes: return Respuesta::Si;
    case QMessageBox::No: return Respuesta::No;
    default: break;
    }
    // Escape or the frame's close button: the box's way out.
    if (mensaje.botones == Botones::Aceptar)
        return Respuesta::Aceptar;
    if (mensaje.botones == Botones::SiNo)
        return Respuesta::No;
    return Respuesta::Cancelar;
}

} // namespace kv
