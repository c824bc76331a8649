#pragma once

#include <QList>
#include <QString>

struct _XDisplay;

namespace kv {

// The top-level windows of the X display the program runs on. The module
// looks here for the host program's main window before it starts.
class cWindows
{
public:
    // An own connection to the display named, or to $DISPLAY.
    explicit cWindows(const QString &pantalla = QString());
    ~cWindows();
    cWindows(const cWindows &) = delete;
    cWindows &operator=(const cWindows &) = delete;

    bool conectado() const { return m_display != nullptr; }

    // True when a visible top-level window has exactly this title (whole
    // text, letter case included).
    bool CorreApp(const QString &sApp) const;

    // Asks the top-level window with this title and class to close, as its
    // frame's close button would. The desktop itself ("Progman") is never
    // asked. False when there is no such window.
    bool CloseApp(const QString &sTitulo, const QString &sClase) const;

    // The class of the top-level window with this title (at most 256
    // characters), empty when there is none.
    QString ClassName(const QString &sTitulo) const;

    struct Ventana
    {
        unsigned long id = 0;
        QString titulo;
        bool visible = false;
    };
    // The top-level windows as the check walks them: the window manager's
    // client list when it publishes one, else the root window's children
    // (bottom to top).
    QList<Ventana> ventanas() const;

private:
    QString titulo(unsigned long ventana) const;
    QString clase(unsigned long ventana) const;

    ::_XDisplay *m_display = nullptr;
};

} // namespace kv
