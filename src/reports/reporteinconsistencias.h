#pragma once

#include <QString>
#include <QStringList>

namespace kv {

class Impresora;
class Reloj;
class ServicioMensajes;

// The print-out of the validation findings: a heading, the messages of the
// file numbered from 1 (one row each, or two when longer than 90
// characters), their count and a frame around them.
//
// A page holds 40 rows. When a message would start below them, the page is
// closed with its frame and the next one starts under the heading again,
// which then shows its own page number; the count goes on the last page.
//
// Warnings, when there are any, follow the count under their heading
// (kTituloAdvertencias), numbered from 1 as the findings are, and the frame
// takes them in.
//
// Printer failures are told by their numbers with the fixed texts (title
// "Impresión"); a job sent to a PDF file for want of a printer says where
// it went.
bool RepInconsist(const QString &sFileError, Impresora &impresora, const Reloj &reloj, ServicioMensajes &mensajes,
                  const QStringList &advertencias = {});

// The heading of the warnings, on screen and on paper.
inline const QString kTituloAdvertencias = QStringLiteral("Advertencias (no impiden grabar)");

// The rows a message prints as (without its number).
QStringList filasMensaje(const QString &mensaje);

} // namespace kv
