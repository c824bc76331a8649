#pragma once

#include <QString>
#include <QTest>
#include <QWidget>
#include <cstdio>

namespace kv::prueba {

// A window's picture saved as PNG once it has had time to lay itself out
// and paint; the file's name is printed for the picture tools.
inline bool guardar(QWidget *ventana, const QString &archivo)
{
    QTest::qWait(300);
    const bool ok = ventana->grab().save(archivo);
    std::printf("%s%s\n", qPrintable(archivo), ok ? "" : " (not written)");
    return ok;
}

} // namespace kv::prueba
