#pragma once

class QCoreApplication;

namespace kv {

// Every program of the system speaks Spanish, as its users do: Qt's own
// texts (message-box buttons, the file dialog) come from Qt's Spanish
// translations, and whatever Qt writes by the locale follows Peru's. The
// formats the system fixes (dd/mm/yyyy, "###,###,###,##0") are written by
// the store's format helpers and never depend on the locale. Called once,
// right after the application object is made. False when Qt's translations
// are not installed (the programs then run with Qt's English texts).
bool iniciarIdioma(QCoreApplication &aplicacion);

} // namespace kv
