#pragma once

#include <QApplication>

namespace kv {

// The hourglass while a long step runs; the normal pointer comes back on
// every way out of the scope.
class CursorEspera
{
public:
    CursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorEspera() { QApplication::restoreOverrideCursor(); }
    CursorEspera(const CursorEspera &) = delete;
    CursorEspera &operator=(const CursorEspera &) = delete;
};

} // namespace kv
