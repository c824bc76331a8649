#include "impresora.h"

#include "dibujopagina.h"
#include "impresorapintor.h"
#include "store/twips.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace kv {

namespace {

// A job on a QPrinter: the default printer through the print system, or a
// PDF file. Either draws from the corner of its printable area, as the
// reports were always laid out: the printer's own, or for a PDF the sheet
// less a quarter of an inch on every side. The drawing is fitted to the
// area's width (see ajusteAlAncho).
class ImpresoraQt : public ImpresoraPintor
{
public:
    explicit ImpresoraQt(QString rutaPdf) : m_rutaPdf(std::move(rutaPdf)) {}
    ~ImpresoraQt() override
    {
        if (m_pintorPropio.isActive())
            abortar();
    }

    bool iniciar(Orientacion orientacion, const QString &titulo) override
    {
        if (m_pintorPropio.isActive()) {
            fallar(kErrorImpresora, QStringLiteral("Ya hay un trabajo de impresión en curso."));
            return false;
        }
        m_error = {};
        m_saltosPendientes = 0;
        m_impresora = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!m_rutaPdf.isEmpty()) {
            m_impresora->setOutputFormat(QPrinter::PdfFormat);
            m_impresora->setOutputFileName(m_rutaPdf);
            m_impresora->setPageSize(QPageSize(QPageSize::A4));
            m_impresora->setFullPage(false);
        } else {
            const QPrinterInfo predeterminada = QPrinterInfo::defaultPrinter();
            if (predeterminada.isNull()) {
                fallar(kErrorImpresora, QStringLiteral("No hay una impresora predeterminada."));
                return false;
            }
            m_impresora->setPrinterName(predeterminada.printerName());
        }
        m_impresora->setPageOrientation(orientacion == Orientacion::Horizontal ? QPageLayout::Landscape
                                                                               : QPageLayout::Portrait);
        if (!m_rutaPdf.isEmpty()) {
            const double margen = kMargenPdfTwips / kTwipsPorPulgada;
            m_impresora->setPageMargins(QMarginsF(margen, margen, margen, margen), QPageLayout::Inch);
        }
        m_impresora->setDocName(titulo.isEmpty() ? QStringLiteral("Reporte") : titulo);
        if (!m_pintorPropio.begin(m_impresora.get())) {
            fallar(kErrorImpresora, m_rutaPdf.isEmpty()
                                        ? QStringLiteral("No se pudo iniciar la impresión.")
                                        : QStringLiteral("No se pudo escribir el archivo %1.").arg(m_rutaPdf));
            m_impresora.reset();
            return false;
        }
        const QRect area = m_impresora->pageLayout().paintRectPixels(m_impresora->resolution());
        const double twipsPorPixel = kTwipsPorPulgada / m_impresora->resolution();
        const double ajuste = ajusteAlAncho(area.width() * twipsPorPixel);
        fijarEscalaTwips(&m_pintorPropio, ajuste);
        fijarPintor(&m_pintorPropio, QSize(int(area.width() * twipsPorPixel / ajuste),
                                           int(area.height() * twipsPorPixel / ajuste)));
        return true;
    }

    bool terminar() override
    {
        if (!m_pintorPropio.isActive()) {
            m_saltosPendientes = 0;
            return !m_error.hay();
        }
        m_saltosPendientes = 0;
        m_pintorPropio.end();
        if (!m_error.hay()) {
            if (m_impresora->printerState() == QPrinter::Aborted)
                fallar(kErrorCancelada, QStringLiteral("La impresión fue cancelada."));
            else if (m_impresora->printerState() == QPrinter::Error)
                fallar(kErrorImpresora, QStringLiteral("La impresora informó un error."));
        }
        fijarPintor(nullptr, {});
        m_impresora.reset();
        return !m_error.hay();
    }

    void abortar() override
    {
        m_saltosPendientes = 0;
        if (m_pintorPropio.isActive()) {
            m_impresora->abort();
            m_pintorPropio.end();
        }
        fijarPintor(nullptr, {});
        m_impresora.reset();
        if (!m_rutaPdf.isEmpty())
            QFile::remove(m_rutaPdf);
    }

    QString archivoPdf() const override { return m_rutaPdf; }

protected:
    bool prepararDibujo() override
    {
        if (!m_pintorPropio.isActive()) {
            fallar(kErrorImpresora, QStringLiteral("No hay un trabajo de impresión iniciado."));
            return false;
        }
        while (m_saltosPendientes > 0) {
            --m_saltosPendientes;
            if (!m_impresora->newPage()) {
                fallar(kErrorImpresora, QStringLiteral("La impresora no aceptó una página nueva."));
                return false;
            }
        }
        return true;
    }

private:
    QString m_rutaPdf;
    std::unique_ptr<QPrinter> m_impresora;
    QPainter m_pintorPropio;
};

} // namespace

bool hayImpresoraPredeterminada()
{
    return !QPrinterInfo::defaultPrinter().isNull();
}

std::unique_ptr<Impresora> crearImpresoraSistema(const QString &pdfSiNoHayImpresora)
{
    if (hayImpresoraPredeterminada())
        return std::make_unique<ImpresoraQt>(QString());
    return std::make_unique<ImpresoraQt>(pdfSiNoHayImpresora);
}

std::unique_ptr<Impresora> crearImpresoraPdf(const QString &rutaPdf)
{
    return std::make_unique<ImpresoraQt>(rutaPdf);
}

FabricaImpresora fabricaImpresoraSistema()
{
    return [](const QString &pdf) { return crearImpresoraSistema(pdf); };
}

} // namespace kv
