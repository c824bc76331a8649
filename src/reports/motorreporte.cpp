#include "motorreporte.h"

#include "dibujopagina.h"

#include <QFileInfo>

namespace kv {

int ColocacionRango::colocar(int hoja)
{
    if (!m_rango.contiene(hoja + 1))
        return -1;
    if (hoja > m_hojaActual) {
        // The first page of a range that starts at 1 is page 0 and lands on
        // the picture that already exists; any later page gets a new one.
        if (m_rango.inicio < 2 || m_hojaActual >= 1)
            ++m_cuadros;
        m_hojaActual = hoja;
    }
    return m_cuadros - 1;
}

namespace {

// Pages started and breaks waiting for the next thing drawn, as the printer
// counts them.
struct TrabajoEnCurso
{
    Impresora &impresora;
    Orientacion orientacion = Orientacion::Vertical;
    QString titulo;
    bool iniciado = false;
    bool saltoPendiente = false;
    int paginas = 0;

    bool asegurarInicio()
    {
        if (iniciado)
            return true;
        if (!impresora.iniciar(orientacion, titulo))
            return false;
        iniciado = true;
        paginas = 1;
        return true;
    }
};

} // namespace

ResultadoImpresion imprimirReporte(const QString &ruta, Impresora &impresora, std::optional<RangoPaginas> rango)
{
    ResultadoImpresion resultado;
    LectorReporte lector;
    if (!lector.abrir(ruta)) {
        resultado.lectura = lector.error();
        return resultado;
    }
    TrabajoEnCurso trabajo{impresora, Orientacion::Vertical, QFileInfo(ruta).fileName()};
    int ultimaHoja = 0;
    bool falloImpresora = false;

    Registro r;
    while (lector.siguiente(r)) {
        if (r.tipo == Registro::Tipo::Orientacion) {
            resultado.orientacion = r.valor;
            // Decides the orientation of the job, which starts with the first
            // thing printed.
            if (!trabajo.iniciado)
                trabajo.orientacion = r.valor == QLatin1String("H") ? Orientacion::Horizontal : Orientacion::Vertical;
            continue;
        }
        if (r.tipo == Registro::Tipo::NuevaHoja) {
            if (rango && !rango->contiene(ultimaHoja + 1))
                continue;
            if (!trabajo.iniciado)
                continue; // nothing printed yet: no blank first page
            if (!impresora.nuevaPagina()) {
                falloImpresora = true;
                break;
            }
            trabajo.saltoPendiente = true;
            continue;
        }
        if (!r.esDibujo())
            continue;
        ultimaHoja = r.hoja;
        if (rango && !rango->contiene(r.hoja + 1))
            continue;
        if (!trabajo.asegurarInicio()) {
            falloImpresora = true;
            break;
        }
        if (trabajo.saltoPendiente) {
            trabajo.saltoPendiente = false;
            ++trabajo.paginas;
        }
        if (!enviarRegistro(impresora, r)) {
            falloImpresora = true;
            break;
        }
    }
    resultado.lectura = lector.error();
    resultado.archivoPdf = impresora.archivoPdf();

    if (falloImpresora || resultado.lectura.hay()) {
        resultado.impresora = impresora.error();
        if (trabajo.iniciado)
            impresora.abortar();
        return resultado;
    }
    if (trabajo.iniciado && !impresora.terminar()) {
        resultado.impresora = impresora.error();
        return resultado;
    }
    resultado.completo = true;
    resultado.paginas = trabajo.iniciado ? trabajo.paginas : 0;
    return resultado;
}

bool IndicePrevia::construir(const QString &ruta, RangoPaginas rango)
{
    if (!iniciar(ruta, rango))
        return false;
    while (avanzar(4096)) {
    }
    return !m_error.hay();
}

bool IndicePrevia::iniciar(const QString &ruta, RangoPaginas rango)
{
    m_ruta = ruta;
    m_cuadros = {Cuadro{}};
    m_error = {};
    m_colocacion = ColocacionRango(rango);
    m_ultimoCuadro = -1;
    m_completo = false;
    if (!m_lector.abrir(ruta)) {
        m_error = m_lector.error();
        m_completo = true;
        return false;
    }
    return true;
}

bool IndicePrevia::avanzar(int registros)
{
    if (m_completo)
        return false;
    Registro r;
    for (int n = 0; n < registros; ++n) {
        if (!m_lector.siguiente(r)) {
            m_error = m_lector.error();
            m_lector.cerrar();
            m_completo = true;
            return false;
        }
        if (r.tipo == Registro::Tipo::NumeroHojas) {
            m_colocacion.reiniciar();
            m_ultimoCuadro = -1;
            continue;
        }
        if (r.tipo == Registro::Tipo::Color) {
            // The first picture takes every new colour; later pictures keep
            // the one they were created with.
            m_cuadros[0].colorOle = r.color;
            m_ultimoCuadro = -1;
            continue;
        }
        if (!r.esDibujo()) {
            m_ultimoCuadro = -1;
            continue;
        }
        const int cuadro = m_colocacion.colocar(r.hoja);
        if (cuadro < 0) {
            m_ultimoCuadro = -1;
            continue;
        }
        while (m_cuadros.size() <= cuadro)
            m_cuadros.append(Cuadro{m_cuadros[0].colorOle, {}});
        QList<Tramo> &tramos = m_cuadros[cuadro].tramos;
        // A line right after one of the same picture extends its stretch.
        if (cuadro == m_ultimoCuadro && !tramos.isEmpty())
            ++tramos.last().registros;
        else
            tramos.append(Tramo{r.posicion, r.linea, 1});
        m_ultimoCuadro = cuadro;
    }
    return true;
}

void IndicePrevia::asegurarCuadro(int i)
{
    while (!m_completo && cuadros() <= i + 1)
        avanzar(256);
}

Pagina IndicePrevia::pagina(int i, ErrorLectura *error) const
{
    Pagina pagina;
    if (i < 0 || i >= m_cuadros.size())
        return pagina;
    const Cuadro &c = m_cuadros.at(i);
    pagina.colorOle = c.colorOle;
    LectorReporte lector;
    if (!lector.abrir(m_ruta)) {
        if (error)
            *error = lector.error();
        return pagina;
    }
    for (const Tramo &t : c.tramos) {
        if (!lector.irA(t.posicion, t.linea))
            break;
        Registro r;
        int leidos = 0;
        // Only drawing records make up a stretch; skipped lines between
        // them are passed over by the reader itself.
        while (leidos < t.registros && lector.siguiente(r)) {
            if (!r.esDibujo())
                continue;
            pagina.registros.append(r);
            ++leidos;
        }
        if (lector.error().hay())
            break;
    }
    if (error)
        *error = lector.error();
    return pagina;
}

bool exportarPdf(const QString &archivo, const QString &salida, QString *error)
{
    auto impresora = crearImpresoraPdf(salida);
    const ResultadoImpresion r = imprimirReporte(archivo, *impresora);
    if (r.completo && r.paginas == 0) {
        // Nothing to draw still makes a (blank) document, not a missing file.
        if (impresora->iniciar() && impresora->terminar())
            return true;
    }
    if (r.completo)
        return true;
    if (error) {
        if (r.lectura.hay())
            *error = QStringLiteral("Error %1 - %2").arg(r.lectura.numero).arg(r.lectura.descripcion());
        else
            *error = QStringLiteral("Error %1 - %2").arg(r.impresora.numero).arg(r.impresora.descripcion);
    }
    return false;
}

} // namespace kv
