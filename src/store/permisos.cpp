#include "permisos.h"

#include "archivoini.h"

#include <sys/stat.h>

namespace kv {

unsigned mascaraSegun(const QString &valor)
{
    bool ok = false;
    const unsigned m = valor.trimmed().toUInt(&ok, 8);
    if (!ok || valor.trimmed().isEmpty() || m > 0777)
        return kMascaraPrivada;
    return m | 007;
}

void aplicarMascaraPermisos(unsigned mascara) { ::umask(static_cast<mode_t>(mascara | 007)); }

void aplicarMascaraPermisos(const ArchivoIni &ini)
{
    aplicarMascaraPermisos(mascaraSegun(ini.leer(QStringLiteral("Options"), QStringLiteral("Umask"))));
}

} // namespace kv
