#include "escritorreporte.h"

#include "store/texto.h"

namespace kv {

EscritorReporte::~EscritorReporte()
{
    if (m_archivo.isOpen())
        m_archivo.close();
}

bool EscritorReporte::abrir(const QString &ruta)
{
    if (m_archivo.isOpen())
        m_archivo.close();
    m_error.clear();
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
        if (!m_archivo.flush() && m_error.isEmpty())
            m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                          .arg(m_archivo.fileName(), m_archivo.errorString());
        m_archivo.close();
    }
    return m_error.isEmpty();
}

bool EscritorReporte::escribirLinea(QStringView linea)
{
    if (!m_archivo.isOpen()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("El archivo del reporte no está abierto.");
        return false;
    }
    QByteArray bytes = aCp1252(linea);
    bytes += "\r\n";
    if (m_archivo.write(bytes) != bytes.size()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                          .arg(m_archivo.fileName(), m_archivo.errorString());
        return false;
    }
    return true;
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
    // Built piece by piece: the text may hold "%" signs of its own.
    const QChar sep = u'|';
    QString linea = QStringLiteral("pPos|");
    linea += QString::number(x) + sep + QString::number(y) + sep + textoParaRegistro(texto) + sep;
    linea += negrita ? QStringLiteral("True") : QStringLiteral("False");
    linea += sep + QString::number(tamano) + sep + QString::number(hoja) + sep;
    archivo.escribirLinea(linea);
}

void pImpCuadro(int x1, int y1, int x2, int y2, int hoja, EscritorReporte &archivo)
{
    archivo.escribirLinea(
        QStringLiteral("pCuadro|%1|%2|%3|%4|%5|").arg(x1).arg(y1).arg(x2).arg(y2).arg(hoja));
}

} // namespace kv
