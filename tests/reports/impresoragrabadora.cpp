#include "impresoragrabadora.h"

namespace kv::prueba {

QStringList PaginaImpresa::soloTextos() const
{
    QStringList lista;
    for (const TextoImpreso &t : textos)
        lista.append(t.texto);
    return lista;
}

QString PaginaImpresa::textoEn(int x, int y) const
{
    for (const TextoImpreso &t : textos) {
        if (t.x == x && t.y == y)
            return t.texto;
    }
    return {};
}

FabricaImpresora BitacoraImpresora::fabrica()
{
    return [this](const QString &pdf) {
        return std::make_unique<ImpresoraGrabadora>(*this, sinImpresora ? pdf : QString());
    };
}

ImpresoraGrabadora::ImpresoraGrabadora(BitacoraImpresora &bitacora, QString archivoPdf)
    : m_bitacora(bitacora), m_archivoPdf(std::move(archivoPdf))
{
}

bool ImpresoraGrabadora::iniciar(Orientacion orientacion, const QString &titulo)
{
    if (m_bitacora.errorAlIniciar) {
        m_error = ErrorImpresora{m_bitacora.errorAlIniciar, QStringLiteral("fallo de prueba al iniciar")};
        m_bitacora.errorAlIniciar = 0;
        return false;
    }
    m_bitacora.trabajos.append(TrabajoImpreso{orientacion, titulo, {PaginaImpresa{}}, false, false, m_archivoPdf});
    m_trabajo = int(m_bitacora.trabajos.size()) - 1;
    m_salto = false;
    m_dibujos = 0;
    return true;
}

PaginaImpresa *ImpresoraGrabadora::paginaParaDibujar()
{
    if (m_error.hay() || m_trabajo < 0)
        return nullptr;
    TrabajoImpreso &t = m_bitacora.trabajos[m_trabajo];
    if (t.terminado || t.abortado)
        return nullptr;
    if (++m_dibujos == m_bitacora.fallarEnDibujo) {
        m_error = ErrorImpresora{m_bitacora.numeroFallo, QStringLiteral("fallo de prueba al dibujar")};
        return nullptr;
    }
    if (m_salto) {
        t.paginas.append(PaginaImpresa{});
        m_salto = false;
    }
    return &t.paginas.last();
}

bool ImpresoraGrabadora::texto(int x, int y, const QString &texto)
{
    PaginaImpresa *p = paginaParaDibujar();
    if (!p)
        return false;
    p->textos.append(TextoImpreso{x, y, texto, m_fuente, m_tamano, m_negrita});
    return true;
}

bool ImpresoraGrabadora::linea(int x1, int y1, int x2, int y2)
{
    PaginaImpresa *p = paginaParaDibujar();
    if (!p)
        return false;
    p->lineas.append(LineaImpresa{x1, y1, x2, y2});
    return true;
}

bool ImpresoraGrabadora::nuevaPagina()
{
    if (m_error.hay() || m_trabajo < 0)
        return false;
    if (m_salto) // a break after a break is a blank page
        m_bitacora.trabajos[m_trabajo].paginas.append(PaginaImpresa{});
    m_salto = true;
    return true;
}

bool ImpresoraGrabadora::terminar()
{
    if (m_trabajo < 0)
        return !m_error.hay();
    m_bitacora.trabajos[m_trabajo].terminado = true;
    m_salto = false;
    return !m_error.hay();
}

void ImpresoraGrabadora::abortar()
{
    if (m_trabajo >= 0)
        m_bitacora.trabajos[m_trabajo].abortado = true;
    m_salto = false;
}

} // namespace kv::prueba
