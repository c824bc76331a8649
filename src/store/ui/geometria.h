#pragma once

#include <QString>

class QWidget;

namespace kv {

// The size and place a user gives a window are kept for the next time, for
// that user alone: in kv517.conf, in the folder of the user's KV000.INI,
// under the window's name.
QString rutaGeometrias();
// False when the window has nothing kept (it keeps the size it has).
bool restaurarGeometria(QWidget *ventana, const QString &nombre);
void guardarGeometria(const QWidget *ventana, const QString &nombre);

} // namespace kv
