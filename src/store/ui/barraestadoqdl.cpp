#include "barraestadoqdl.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

namespace kv {

namespace {

QLabel *panel(QHBoxLayout *fila, int estiramiento, QWidget *padre)
{
    auto *etiqueta = new QLabel(padre);
    etiqueta->setFrameShape(QFrame::StyledPanel);
    etiqueta->setFrameShadow(QFrame::Sunken);
    etiqueta->setTextFormat(Qt::PlainText);
    etiqueta->setMinimumWidth(40);
    fila->addWidget(etiqueta, estiramiento);
    return etiqueta;
}

} // namespace

BarradeEstadoQDL::BarradeEstadoQDL(QWidget *padre) : QWidget(padre)
{
    auto *fila = new QHBoxLayout(this);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->setSpacing(2);
    m_lblDocumento = panel(fila, 0, this);
    m_lblRazon = panel(fila, 5, this);
    m_lblFormulario = panel(fila, 0, this);
    m_lblPeriodo = panel(fila, 0, this);
    m_lblSemana = panel(fila, 0, this);
    m_lblRazon->setObjectName(QStringLiteral("razonsocial"));
    // Room for the longest value each panel takes, so that a RUC or a
    // period is never cut; the name takes what is left.
    const QFontMetrics medidas = fontMetrics();
    const int margen = 3 * medidas.averageCharWidth();
    m_lblDocumento->setMinimumWidth(medidas.horizontalAdvance(QStringLiteral("Doc.: 000000000000000")) + margen);
    m_lblFormulario->setMinimumWidth(medidas.horizontalAdvance(QStringLiteral("Formulario: 0000")) + margen);
    m_lblPeriodo->setMinimumWidth(medidas.horizontalAdvance(QStringLiteral("Período: 00/0000")) + margen);
    mostrar();
}

void BarradeEstadoQDL::setNumdoc(const QString &valor)
{
    m_numdoc = valor;
    mostrar();
}

void BarradeEstadoQDL::setRazonsocial(const QString &valor)
{
    m_razonsocial = valor;
    mostrar();
}

void BarradeEstadoQDL::setFormulario(const QString &valor)
{
    m_formulario = valor;
    mostrar();
}

void BarradeEstadoQDL::setPeriodo_ejercicio(const QString &valor)
{
    m_periodo = valor;
    mostrar();
}

void BarradeEstadoQDL::setEsruc(int valor)
{
    m_esruc = valor;
    mostrar();
}

void BarradeEstadoQDL::setSemana(int valor)
{
    m_semana = valor;
    mostrar();
}

QString BarradeEstadoQDL::textoMostrado(const QString &propiedad) const
{
    if (propiedad == u"numdoc")
        return m_lblDocumento->text();
    if (propiedad == u"razonsocial")
        return m_lblRazon->text();
    if (propiedad == u"formulario")
        return m_lblFormulario->text();
    if (propiedad == u"periodo_ejercicio")
        return m_lblPeriodo->text();
    if (propiedad == u"semana")
        return m_lblSemana->isHidden() ? QString() : m_lblSemana->text();
    return {};
}

void BarradeEstadoQDL::mostrar()
{
    // A document that is not a RUC (the flag is 1 for a RUC) keeps the
    // neutral caption, so the bar never calls a national ID a RUC.
    const QString documento = m_esruc == 1 ? QStringLiteral("RUC: ") : QStringLiteral("Doc.: ");
    m_lblDocumento->setText(documento + m_numdoc);
    m_lblRazon->setText(m_razonsocial);
    m_lblRazon->setToolTip(m_razonsocial);
    m_lblFormulario->setText(QStringLiteral("Formulario: ") + m_formulario);
    m_lblPeriodo->setText(QStringLiteral("Período: ") + m_periodo);
    m_lblSemana->setText(QStringLiteral("Semana: ") + QString::number(m_semana));
    // The week belongs to forms declared by week; a monthly form leaves it 0
    // and the panel stays out of the way.
    m_lblSemana->setHidden(m_semana == 0);
}

} // namespace kv
