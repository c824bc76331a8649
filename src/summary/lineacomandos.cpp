#include "lineacomandos.h"

#include <algorithm>

namespace kv {

namespace {

struct Campo
{
    QString LineaComandos::*destino;
    int inicio; // 0-based
    int largo;
    const char *nombre;
    bool formaNombre; // part of the listing's file name
};

constexpr Campo kCampos[] = {
    {&LineaComandos::tipoDocumento, 0, 2, "tipo de documento", false},
    {&LineaComandos::numeroDocumento, 2, 15, "número de documento", false},
    {&LineaComandos::formulario, 17, 4, "formulario", true},
    {&LineaComandos::periodo, 21, 6, "periodo", true},
    {&LineaComandos::indicador, 27, 1, "indicador", true},
    {&LineaComandos::numeroEnvio, 28, 8, "número de envío", true},
};

bool soloLetrasDigitosBlancos(const QString &campo)
{
    return std::all_of(campo.cbegin(), campo.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return u == u' ' || (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
    });
}

} // namespace

LineaComandos LineaComandos::leer(const QString &linea, QStringList *faltantes)
{
    const QString completa = linea.leftJustified(kLargo, u' ');
    LineaComandos r;
    for (const Campo &c : kCampos) {
        r.*c.destino = completa.mid(c.inicio, c.largo);
        if (faltantes && linea.size() < c.inicio + c.largo)
            faltantes->append(QString::fromUtf8(c.nombre));
    }
    return r;
}

QStringList LineaComandos::camposNoValidos() const
{
    QStringList r;
    for (const Campo &c : kCampos) {
        if (c.formaNombre && !soloLetrasDigitosBlancos(this->*c.destino))
            r << QString::fromUtf8(c.nombre);
    }
    return r;
}

} // namespace kv
