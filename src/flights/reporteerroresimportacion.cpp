#include "reporteerroresimportacion.h"

#include "importacionvuelos.h"
#include "reports/escritorreporte.h"
#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/reloj.h"
#include "store/texto.h"

namespace kv {

namespace {

// The system colour of window backgrounds, as an OLE colour.
constexpr quint32 kFondoVentana = 0x80000005u;

} // namespace

ReporteErroresImportacion::ReporteErroresImportacion(const QString &sRuc, const QString &sRazonSocial,
    const QString &periodoMostrado, const QDateTime &momento)
    : m_ruc(sRuc)
    , m_razonSocial(sRazonSocial)
    , m_periodo(periodoMostrado)
    , m_momento(momento)
{
}

int ReporteErroresImportacion::ReporteErrores(const QString &rutaReporte, const QString &rutaErrores)
{
    m_error.clear();
    EscritorReporte archivo;
    if (!archivo.abrir(rutaReporte)) {
        m_error = archivo.error();
        return -1;
    }
    archivo.escribirFuente(QStringLiteral("Courier New"));
    archivo.escribirOrientacion(Orientacion::Vertical);
    archivo.escribirColor(kFondoVentana);
    const int inicio = HeaderError(0, archivo);
    const int ultima = BodyRepError(rutaErrores, inicio, 0, archivo);
    const bool escrito = archivo.cerrar();
    if (ultima < 0)
        return -1;
    if (!escrito) {
        m_error = archivo.error();
        return -1;
    }
    return ultima;
}

int ReporteErroresImportacion::HeaderError(int pnNumPag, EscritorReporte &nArchivo) const
{
    const auto texto = [&](int y, const QString &t) { pImpLinea(kX, y, t, false, 10, pnNumPag, nArchivo); };
    texto(350, QStringLiteral("QDL Zentorio"));
    texto(890, QStringLiteral("REPORTE DE ERRORES DE IMPORTACION - PERIODO ") + m_periodo);
    texto(1430,
        QStringLiteral("Fecha : ") + formato(m_momento.date(), u"dd/mm/yyyy") + QString(30, u' ')
            + QStringLiteral("Pagina : ") + formato(Decimal(pnNumPag + 1), u"##"));
    texto(1970, QStringLiteral("Hora  : ") + formato(m_momento.time(), u"hh:mm:ss"));
    texto(2510, QStringLiteral("CONTRIBUYENTE:  ") + m_ruc + QStringLiteral(" - ") + m_razonSocial);
    pImpCuadro(kX, 3050, kXFinRegla, 3050, pnNumPag, nArchivo);
    pImpLinea(kX, 3320, QStringLiteral("Fec.Arribo  Codigo Vuelo     Descripcion del Error "), false, 8,
        pnNumPag, nArchivo);
    pImpCuadro(kX, kInicioCuerpo, kXFinRegla, kInicioCuerpo, pnNumPag, nArchivo);
    return kInicioCuerpo;
}

int ReporteErroresImportacion::BodyRepError(
    const QString &sArcError, int nFilaIni, int nNumPag, EscritorReporte &nFileRep)
{
    ArchivoTexto errores;
    if (!errores.leer(sArcError)) {
        m_error = errores.error().texto;
        return -1;
    }
    int y = nFilaIni;
    int hoja = nNumPag;
    qint64 lineas = 0;
    errores.recorrer([&](const QString &linea) {
        ++lineas;
        y += kInterlinea;
        // The line is data from the carrier's file: always a text record.
        pImpTexto(kX, y, linea, false, 8, hoja, nFileRep);
        // A page ends after its line below y 14000, so nothing falls under
        // the printable part of a portrait sheet.
        if (y > kLimiteHoja) {
            pImpLinea(0, 0, QStringLiteral("pNuevaHoja"), false, 8, hoja, nFileRep);
            ++hoja;
            y = nFilaIni;
        }
        return true;
    });
    pImpCuadro(kX, y + kInterlinea, kXFinRegla, y + kInterlinea, hoja, nFileRep);
    pImpLinea(kX, y + 2 * kInterlinea,
        QStringLiteral("Total de Errores:      ") + QString(20, u' ') + QString::number(lineas), false, 8,
        hoja, nFileRep);
    pImpCuadro(kX, y + 3 * kInterlinea, kXFinRegla, y + 3 * kInterlinea, hoja, nFileRep);
    return hoja;
}

ReporteRegistrado registrarReporteErrores(
    Contexto &contexto, const QString &periodoMostrado, const QString &rutaErrores)
{
    ReporteRegistrado r;
    AccesoDatos datos(contexto);
    r.archivo
        = datos.AsignarArchivoReporte(QStringLiteral("ZEN003"), 6, recortarBlancos(contexto.sRuc), &r.error);
    if (r.archivo.isEmpty())
        return r;
    const QDateTime ahora = contexto.reloj ? contexto.reloj->ahora() : QDateTime::currentDateTime();
    ReporteErroresImportacion reporte(contexto.sRuc, contexto.sRazonSocial, periodoMostrado, ahora);
    r.ultimaHoja = reporte.ReporteErrores(contexto.sRutaReportes + u'/' + r.archivo, rutaErrores);
    if (r.ultimaHoja < 0) {
        r.error = { kErrorArchivo, reporte.error() };
        datos.RetirarArchivoReporte(r.archivo);
    }
    return r;
}

} // namespace kv
