#pragma once

#include "reports/impresora.h"

#include <QList>
#include <QString>

namespace kv::prueba {

// What a recording printer was asked to print, job by job and page by page.
// Pages are counted as a real printer counts them: a break only starts a
// page when something is drawn after it.
struct TextoImpreso
{
    int x = 0;
    int y = 0;
    QString texto;
    QString fuente;
    double tamano = 0;
    bool negrita = false;
};

struct LineaImpresa
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct PaginaImpresa
{
    QList<TextoImpreso> textos;
    QList<LineaImpresa> lineas;
    QStringList soloTextos() const;
    // The text drawn at (x, y), or a null string.
    QString textoEn(int x, int y) const;
};

struct TrabajoImpreso
{
    Orientacion orientacion = Orientacion::Vertical;
    QString titulo;
    QList<PaginaImpresa> paginas;
    bool terminado = false;
    bool abortado = false;
    QString archivoPdf;
};

// The log the recording printers of one test write into. Every printer the
// factory makes is a new job in the log. Failures can be scripted.
class BitacoraImpresora
{
public:
    QList<TrabajoImpreso> trabajos;

    // The next job fails to start with this error number (once).
    int errorAlIniciar = 0;
    // The n-th drawing call (from 1) of a job fails with this number.
    int fallarEnDibujo = 0;
    int numeroFallo = Impresora::kErrorImpresora;
    // No printer: jobs go to the PDF path the caller offers.
    bool sinImpresora = false;

    FabricaImpresora fabrica();
    const TrabajoImpreso &ultimo() const { return trabajos.last(); }
};

class ImpresoraGrabadora : public Impresora
{
public:
    ImpresoraGrabadora(BitacoraImpresora &bitacora, QString archivoPdf);

    bool iniciar(Orientacion orientacion = Orientacion::Vertical, const QString &titulo = {}) override;
    void fijarFuente(const QString &nombre) override { m_fuente = nombre; }
    void fijarTamano(double puntos) override { m_tamano = puntos; }
    void fijarNegrita(bool negrita) override { m_negrita = negrita; }
    void fijarCursiva(bool) override {}
    void fijarSubrayado(bool) override {}
    bool texto(int x, int y, const QString &texto) override;
    bool linea(int x1, int y1, int x2, int y2) override;
    bool nuevaPagina() override;
    bool terminar() override;
    void abortar() override;
    ErrorImpresora error() const override { return m_error; }
    int altoLinea() const override { return int(m_tamano * 20 * 1.15); }
    QSize areaPagina() const override { return QSize(11906, 16838); }
    QString archivoPdf() const override { return m_archivoPdf; }

private:
    PaginaImpresa *paginaParaDibujar();

    BitacoraImpresora &m_bitacora;
    QString m_archivoPdf;
    int m_trabajo = -1;
    bool m_salto = false;
    int m_dibujos = 0;
    ErrorImpresora m_error;
    QString m_fuente;
    double m_tamano = 8;
    bool m_negrita = false;
};

} // namespace kv::prueba
