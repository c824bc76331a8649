#pragma once

#include "impresora.h"

#include <QFont>

class QPainter;

namespace kv {

// The printer operations drawn with a QPainter: the preview's page pictures,
// PDF files and the real printer all go through here, so a report looks the
// same on each. The painter must already be set to twips (see
// fijarEscalaTwips); the job operations do nothing but remember page breaks,
// which the owner of the device turns into pages.
class ImpresoraPintor : public Impresora
{
public:
    // `area`: the size in twips of what can be drawn on.
    explicit ImpresoraPintor(QPainter *pintor = nullptr, QSize area = {});

    bool iniciar(Orientacion orientacion = Orientacion::Vertical, const QString &titulo = {}) override;
    void fijarFuente(const QString &nombre) override;
    void fijarTamano(double puntos) override;
    void fijarNegrita(bool negrita) override;
    void fijarCursiva(bool cursiva) override;
    void fijarSubrayado(bool subrayado) override;
    bool texto(int x, int y, const QString &texto) override;
    bool linea(int x1, int y1, int x2, int y2) override;
    bool nuevaPagina() override;
    bool terminar() override;
    void abortar() override;
    ErrorImpresora error() const override { return m_error; }
    int altoLinea() const override;
    QSize areaPagina() const override { return m_area; }

    // The font a text is drawn with, sized in twips (20 to the point).
    QFont fuenteActual() const;

    // Scales the painter so that one unit is one twip of its device
    // (times `zoom`, for the screen).
    static void fijarEscalaTwips(QPainter *pintor, double zoom = 1.0);

protected:
    // Called before anything is drawn; a device with pages starts the pages
    // that breaks left pending. False stops the drawing.
    virtual bool prepararDibujo() { return true; }
    void fallar(int numero, const QString &descripcion);
    void fijarPintor(QPainter *pintor, QSize area)
    {
        m_pintor = pintor;
        m_area = area;
    }

    QPainter *m_pintor = nullptr;
    QSize m_area;
    int m_saltosPendientes = 0;
    ErrorImpresora m_error;

private:
    QString m_nombreFuente = QStringLiteral("Courier New");
    double m_puntos = 8.0;
    bool m_negrita = false;
    bool m_cursiva = false;
    bool m_subrayado = false;
};

} // namespace kv
