#include "escritorreporte.h"

#include "store/texto.h"

#include <charconv>

namespace kv {

EscritorReporte::~EscritorReporte()
{
    if (m_archivo.isOpen()) {
        volcar();
        m_archivo.close();
    }
}

bool EscritorReporte::abrir(const QString &ruta)
{
    if (m_archivo.isOpen())
        m_archivo.close();
    m_error.clear();
    m_bloque.clear();
    m_archivo.setFileName(ruta);
    if (!m_archivo.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = QStringLiteral("No se pudo crear el archivo %1: %2").arg(ruta, m_archivo.errorString());
        return false;
    }
    return true;
}

bool EscritorReporte::cerrar()
{
    if (m_archivo.isOpen()) {
        volcar();
        if (!m_archivo.flush() && m_error.isEmpty())
            m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                          .arg(m_archivo.fileName(), m_archivo.errorString());
        m_archivo.close();
    }
    m_bloque.clear();
    return m_error.isEmpty();
}

bool EscritorReporte::volcar()
{
    if (m_bloque.isEmpty())
        return m_error.isEmpty();
    const bool escrito = m_archivo.write(m_bloque) == m_bloque.size();
    m_bloque.truncate(0); // the room stays for the next block
    if (!escrito && m_error.isEmpty())
        m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                      .arg(m_archivo.fileName(), m_archivo.errorString());
    return escrito && m_error.isEmpty();
}

bool EscritorReporte::abiertoParaEscribir()
{
    if (m_archivo.isOpen())
        return true;
    if (m_error.isEmpty())
        m_error = QStringLiteral("El archivo del reporte no está abierto.");
    return false;
}

bool EscritorReporte::terminarRegistro()
{
    m_bloque += "\r\n";
    constexpr qsizetype kBloque = 1 << 16;
    return m_bloque.size() < kBloque ? m_error.isEmpty() : volcar();
}

bool EscritorReporte::escribirLinea(QStringView linea)
{
    if (!abiertoParaEscribir())
        return false;
    anadirCp1252(m_bloque, linea);
    return terminarRegistro();
}

namespace {

void anadirNumero(QByteArray &bytes, int n)
{
    char cifras[16];
    const auto [fin, ec] = std::to_chars(cifras, cifras + sizeof cifras, n);
    Q_UNUSED(ec);
    bytes.append(cifras, fin - cifras);
}

} // namespace

bool EscritorReporte::escribirTexto(int x, int y, QStringView texto, bool negrita, int tamano, int hoja)
{
    if (!abiertoParaEscribir())
        return false;
    m_bloque += "pPos|";
    anadirNumero(m_bloque, x);
    m_bloque += '|';
    anadirNumero(m_bloque, y);
    m_bloque += '|';
    // The text field as textoParaRegistro leaves it: "|" is written "¦",
    // a line end a blank. Each of the three is the only character that
    // becomes its byte.
    const qsizetype inicio = m_bloque.size();
    anadirCp1252(m_bloque, texto);
    for (char *c = m_bloque.data() + inicio, *fin = m_bloque.data() + m_bloque.size(); c != fin; ++c) {
        if (*c == '|')
            *c = char(0xA6);
        else if (*c == '\r' || *c == '\n')
            *c = ' ';
    }
    m_bloque += negrita ? "|True|" : "|False|";
    anadirNumero(m_bloque, tamano);
    m_bloque += '|';
    anadirNumero(m_bloque, hoja);
    m_bloque += '|';
    return terminarRegistro();
}

bool EscritorReporte::escribirCuadro(int x1, int y1, int x2, int y2, int hoja)
{
    if (!abiertoParaEscribir())
        return false;
    m_bloque += "pCuadro";
    for (int n : {x1, y1, x2, y2, hoja}) {
        m_bloque += '|';
        anadirNumero(m_bloque, n);
    }
    m_bloque += '|';
    return terminarRegistro();
}

bool EscritorReporte::escribirFuente(const QString &nombre)
{
    return escribirLinea(QStringLiteral("<!font!>%1<!/font!>").arg(nombre));
}

bool EscritorReporte::escribirNumeroHojas(int hojas)
{
    return escribirLinea(QStringLiteral("<!nHojas!>%1<!/nHojas!>").arg(hojas));
}

bool EscritorReporte::escribirOrientacion(Orientacion orientacion)
{
    return escribirLinea(QStringLiteral("<!Orientacion!>%1<!/Orientacion!>")
                             .arg(orientacion == Orientacion::Horizontal ? QStringLiteral("H") : QStringLiteral("V")));
}

bool EscritorReporte::escribirColor(quint32 colorOle)
{
    return escribirLinea(QStringLiteral("<!Color!>&H%1&<!/Color!>")
                             .arg(QString::number(colorOle, 16).toUpper().rightJustified(8, u'0')));
}

QString textoParaRegistro(const QString &texto)
{
    QString limpio = texto;
    limpio.replace(u'|', QChar(0x00A6));
    limpio.replace(u'\r', u' ');
    limpio.replace(u'\n', u' ');
    return limpio;
}

namespace {

// Only a text that the reader takes for a header record goes out as one: a
// data text that merely starts with "<!" is kept as a text record, where it
// reads back unchanged.
bool esRegistroEncabezado(const QString &texto)
{
    return texto.startsWith(QLatin1String("<!")) && texto.contains(QLatin1String("!>"))
           && !texto.contains(u'\r') && !texto.contains(u'\n');
}

} // namespace

void pImpLinea(int x, int y, const QString &texto, bool negrita, int tamano, int hoja, EscritorReporte &archivo)
{
    if (texto == QLatin1String("pNuevaHoja")) {
        archivo.escribirLinea(texto);
        return;
    }
    if (esRegistroEncabezado(texto)) {
        archivo.escribirLinea(texto);
        return;
    }
    pImpTexto(x, y, texto, negrita, tamano, hoja, archivo);
}

void pImpTexto(int x, int y, const QString &texto, bool negrita, int tamano, int hoja, EscritorReporte &archivo)
{
    archivo.escribirTexto(x, y, texto, negrita, tamano, hoja);
}

void pImpCuadro(int x1, int y1, int x2, int y2, int hoja, EscritorReporte &archivo)
{
    archivo.escribirCuadro(x1, y1, x2, y2, hoja);
}

} // namespace kv
