// A page-description file read by the reader behind the preview, the
// printer and "qadelia --pdf": whatever the file, every record read keeps
// the format's ranges, drawing a record costs what one page can show, a
// reading error names its line in a short printable message, the print job
// and the preview's pages agree with the reader, and a page read again
// holds exactly the records placed on it.
#include "comprobar.h"
#include "reports/dibujopagina.h"
#include "reports/motorreporte.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>
#include <limits>

using namespace kv;

namespace {

// A printer that only counts what it is asked to draw.
class ImpresoraContadora : public Impresora
{
public:
    qsizetype llamadas = 0;
    qsizetype caracteres = 0;

    bool iniciar(Orientacion, const QString &) override { return true; }
    void fijarFuente(const QString &) override {}
    void fijarTamano(double puntos) override { m_puntos = puntos; }
    void fijarNegrita(bool) override {}
    void fijarCursiva(bool) override {}
    void fijarSubrayado(bool) override {}
    bool texto(int, int, const QString &texto) override
    {
        ++llamadas;
        caracteres += texto.size();
        return true;
    }
    bool linea(int, int, int, int) override
    {
        ++llamadas;
        return true;
    }
    bool nuevaPagina() override { return true; }
    bool terminar() override { return true; }
    void abortar() override {}
    ErrorImpresora error() const override { return {}; }
    int altoLinea() const override { return int(m_puntos * 20 * 1.15); }
    QSize areaPagina() const override { return tamanoPaginaA4Twips(); }

private:
    double m_puntos = 8;
};

bool entero16(int v)
{
    return v >= std::numeric_limits<qint16>::min() && v <= std::numeric_limits<qint16>::max();
}

QString g_ruta;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The reader works on files: one in memory when the system has such a
    // folder, so that each input costs no disk writes.
    static QTemporaryDir carpeta(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                     ? QStringLiteral("/dev/shm/kv_fuzz_reporte-XXXXXX")
                                     : QDir::tempPath() + QStringLiteral("/kv_fuzz_reporte-XXXXXX"));
    g_ruta = carpeta.filePath(QStringLiteral("00000001.PRN"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t largo)
{
    {
        QFile archivo(g_ruta);
        KV_COMPROBAR(archivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
        KV_COMPROBAR(archivo.write(reinterpret_cast<const char *>(datos), qint64(largo)) == qint64(largo));
    }

    LectorReporte lector;
    KV_COMPROBAR(lector.abrir(g_ruta));
    Registro r;
    int dibujos = 0;
    while (lector.siguiente(r)) {
        if (!r.esDibujo())
            continue;
        ++dibujos;
        for (const int v : {r.x, r.y, r.x2, r.y2, r.tamano, r.hoja})
            KV_COMPROBAR(entero16(v));
        // One record never draws more than a page can show.
        ImpresoraContadora impresora;
        KV_COMPROBAR(enviarRegistro(impresora, r));
        KV_COMPROBAR(impresora.llamadas <= 400);
        KV_COMPROBAR(impresora.caracteres <= 12000);
    }
    const ErrorLectura error = lector.error();
    if (error.hay()) {
        const QString texto = error.descripcion();
        KV_COMPROBAR(texto.size() <= 250);
        for (const QChar c : texto)
            KV_COMPROBAR(c.isPrint() || c == u' ');
    }

    // The print job reads the same file to the same end.
    ImpresoraContadora impresora;
    const ResultadoImpresion impreso = imprimirReporte(g_ruta, impresora);
    KV_COMPROBAR(impreso.completo == !error.hay());
    KV_COMPROBAR(impreso.lectura.numero == error.numero && impreso.lectura.linea == error.linea);

    // The preview of pages 2 to 3: every picture read again holds the
    // records placed on it, all of them of the range.
    const RangoPaginas rango{2, 3};
    IndicePrevia indice;
    indice.construir(g_ruta, rango);
    KV_COMPROBAR(indice.error().numero == error.numero);
    int colocados = 0;
    for (int i = 0; i < indice.cuadros(); ++i) {
        int esperados = 0;
        for (const IndicePrevia::Tramo &t : indice.cuadro(i).tramos)
            esperados += t.registros;
        ErrorLectura relectura;
        const Pagina pagina = indice.pagina(i, &relectura);
        KV_COMPROBAR(!relectura.hay());
        KV_COMPROBAR(pagina.registros.size() == esperados);
        for (const Registro &p : pagina.registros)
            KV_COMPROBAR(rango.contiene(p.hoja + 1));
        colocados += esperados;
    }
    KV_COMPROBAR(colocados <= dibujos);
    return 0;
}
