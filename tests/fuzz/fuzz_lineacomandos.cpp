// kvr517's command line, taken apart as the program does it: whatever the
// line, the listing's name that passes the check stays a plain file name of
// the reports folder.
#include "comprobar.h"
#include "summary/lineacomandos.h"

#include <QDir>
#include <cstdint>
#include <cstring>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t largo)
{
    // An argument reaches the program as bytes of the locale's encoding, up
    // to its first NUL.
    const char *bytes = reinterpret_cast<const char *>(datos);
    const QString argumento = QString::fromLocal8Bit(bytes, qsizetype(strnlen(bytes, largo)));

    QStringList faltantes;
    const LineaComandos l = LineaComandos::leer(argumento, &faltantes);
    KV_COMPROBAR(l.tipoDocumento.size() == 2 && l.numeroDocumento.size() == 15 && l.formulario.size() == 4
                 && l.periodo.size() == 6 && l.indicador.size() == 1 && l.numeroEnvio.size() == 8);
    KV_COMPROBAR(faltantes.isEmpty() == (argumento.size() >= LineaComandos::kLargo));

    const QString nombre = l.nombreListado();
    if (!l.camposNoValidos().isEmpty())
        return 0;
    KV_COMPROBAR(nombre.size() == 19);
    for (const QChar c : nombre)
        KV_COMPROBAR(c == u' ' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'));
    // The files the program writes from it: the listing, its text and the
    // copy, each right inside its folder and never a registered report
    // (eight digits and ".PRN").
    for (const QString &archivo : {QStringLiteral("/sistema/RPT/") + nombre + QStringLiteral(".PRN"),
                                   QStringLiteral("/sistema/RPT/") + nombre.section(u'.', 0, 0) + QStringLiteral(".txt"),
                                   QStringLiteral("/sistema/TMP/") + nombre.section(u'.', 0, 0) + QStringLiteral(".TXT")}) {
        const QString limpio = QDir::cleanPath(archivo);
        KV_COMPROBAR(limpio == archivo);
        KV_COMPROBAR(limpio.count(u'/') == 3);
    }
    return 0;
}
