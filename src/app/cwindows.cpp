#include "cwindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kv {

namespace {

// Windows may vanish while they are looked at; such errors only mean "not
// this one". Errors of other connections go to whoever handled them before.
Display *s_pantallaActiva = nullptr;
XErrorHandler s_manejadorAnterior = nullptr;

int ignorarErrores(Display *pantalla, XErrorEvent *error)
{
    if (pantalla == s_pantallaActiva)
        return 0;
    return s_manejadorAnterior ? s_manejadorAnterior(pantalla, error) : 0;
}

class SinErroresX
{
public:
    explicit SinErroresX(Display *pantalla)
    {
        XSync(pantalla, False);
        s_pantallaActiva = pantalla;
        s_manejadorAnterior = XSetErrorHandler(ignorarErrores);
    }
    ~SinErroresX()
    {
        XSync(s_pantallaActiva, False);
        XSetErrorHandler(s_manejadorAnterior);
        s_pantallaActiva = nullptr;
        s_manejadorAnterior = nullptr;
    }
};

// A whole property of a window, or nothing.
struct Propiedad
{
    Atom tipo = None;
    int formato = 0;
    unsigned long elementos = 0;
    unsigned char *datos = nullptr;

    ~Propiedad()
    {
        if (datos)
            XFree(datos);
    }
};

bool leerPropiedad(Display *pantalla, Window ventana, Atom nombre, Atom tipoPedido, Propiedad &p)
{
    unsigned long restantes = 0;
    const int r = XGetWindowProperty(pantalla, ventana, nombre, 0, 1L << 20, False, tipoPedido, &p.tipo, &p.formato,
                                     &p.elementos, &restantes, &p.datos);
    return r == Success && p.datos && p.tipo != None;
}

} // namespace

cWindows::cWindows(const QString &pantalla)
{
    const QByteArray nombre = pantalla.toLocal8Bit();
    m_display = XOpenDisplay(pantalla.isEmpty() ? nullptr : nombre.constData());
}

cWindows::~cWindows()
{
    if (m_display)
        XCloseDisplay(m_display);
}

QString cWindows::titulo(unsigned long ventana) const
{
    // The EWMH title is UTF-8 and wins; the classic WM_NAME may be Latin-1
    // or a compound text.
    Propiedad utf8;
    const Atom netWmName = XInternAtom(m_display, "_NET_WM_NAME", False);
    const Atom cadenaUtf8 = XInternAtom(m_display, "UTF8_STRING", False);
    if (leerPropiedad(m_display, ventana, netWmName, cadenaUtf8, utf8) && utf8.formato == 8 && utf8.tipo == cadenaUtf8)
        return QString::fromUtf8(reinterpret_cast<const char *>(utf8.datos), qsizetype(utf8.elementos));

    XTextProperty texto{};
    if (!XGetWMName(m_display, ventana, &texto) || !texto.value)
        return {};
    QString resultado;
    if (texto.encoding == XA_STRING && texto.format == 8) {
        resultado = QString::fromLatin1(reinterpret_cast<const char *>(texto.value), qsizetype(texto.nitems));
    } else {
        char **lista = nullptr;
        int cuantos = 0;
        if (Xutf8TextPropertyToTextList(m_display, &texto, &lista, &cuantos) >= Success && lista && cuantos > 0)
            resultado = QString::fromUtf8(lista[0]);
        if (lista)
            XFreeStringList(lista);
    }
    XFree(texto.value);
    return resultado;
}

QList<cWindows::Ventana> cWindows::ventanas() const
{
    QList<Ventana> lista;
    if (!m_display)
        return lista;
    SinErroresX guarda(m_display);
    const Window raiz = DefaultRootWindow(m_display);

    QList<Window> ids;
    Propiedad clientes;
    const Atom netClientList = XInternAtom(m_display, "_NET_CLIENT_LIST", False);
    if (leerPropiedad(m_display, raiz, netClientList, XA_WINDOW, clientes) && clientes.formato == 32) {
        // Format 32 data comes as longs, whatever the width of long.
        const auto *v = reinterpret_cast<const unsigned long *>(clientes.datos);
        for (unsigned long i = 0; i < clientes.elementos; ++i)
            ids.append(Window(v[i]));
    } else {
        Window raizDevuelta = 0;
        Window padre = 0;
        Window *hijos = nullptr;
        unsigned int cuantos = 0;
        if (XQueryTree(m_display, raiz, &raizDevuelta, &padre, &hijos, &cuantos)) {
            for (unsigned int i = 0; i < cuantos; ++i)
                ids.append(hijos[i]);
            if (hijos)
                XFree(hijos);
        }
    }

    for (const Window id : ids) {
        XWindowAttributes atributos{};
        if (!XGetWindowAttributes(m_display, id, &atributos))
            continue;
        lista.append(Ventana{id, titulo(id), atributos.map_state == IsViewable});
    }
    return lista;
}

bool cWindows::CorreApp(const QString &sApp) const
{
    for (const Ventana &v : ventanas()) {
        if (v.visible && !v.titulo.isEmpty() && v.titulo == sApp)
            return true;
    }
    return false;
}

QString cWindows::clase(unsigned long ventana) const
{
    SinErroresX guarda(m_display);
    XClassHint hint{};
    if (!XGetClassHint(m_display, ventana, &hint))
        return {};
    const QString nombre = QString::fromLocal8Bit(hint.res_class ? hint.res_class : "").left(256);
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    return nombre;
}

QString cWindows::ClassName(const QString &sTitulo) const
{
    for (const Ventana &v : ventanas()) {
        if (!v.titulo.isEmpty() && v.titulo == sTitulo)
            return clase(v.id);
    }
    return {};
}

bool cWindows::CloseApp(const QString &sTitulo, const QString &sClase) const
{
    if (!m_display || sTitulo == u"Progman")
        return false;
    Window ventana = 0;
    for (const Ventana &v : ventanas()) {
        if (!v.titulo.isEmpty() && v.titulo == sTitulo && clase(v.id) == sClase) {
            ventana = v.id;
            break;
        }
    }
    if (!ventana)
        return false;
    SinErroresX guarda(m_display);
    // What a frame's close button makes the window manager send.
    const Atom protocolos = XInternAtom(m_display, "WM_PROTOCOLS", False);
    const Atom borrar = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    XEvent evento{};
    evento.xclient.type = ClientMessage;
    evento.xclient.window = ventana;
    evento.xclient.message_type = protocolos;
    evento.xclient.format = 32;
    evento.xclient.data.l[0] = long(borrar);
    evento.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, ventana, False, NoEventMask, &evento);
    XFlush(m_display);
    return true;
}

} // namespace kv
