// KV000.INI as every program reads it, and the one key kv517 writes into
// it: a value read is at most 255 characters, trimmed, and writing one key
// changes no other key's value and, done twice, nothing more.
#include "comprobar.h"
#include "store/archivoini.h"

#include <QStringList>

#include <cstdint>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t largo)
{
    const QByteArrayView contenido(datos, qsizetype(largo));
    const QString seccion = QStringLiteral("Options");
    const QStringList claves = {QStringLiteral("SysPath"), QStringLiteral("DBPath"), QStringLiteral("DBName"),
                                QStringLiteral("SysUser")};
    QStringList antes;
    for (const QString &clave : claves) {
        const QString valor = ArchivoIni::leerDe(contenido, seccion, clave);
        KV_COMPROBAR(valor.size() <= ArchivoIni::kLargoMaximo);
        KV_COMPROBAR(valor == valor.trimmed());
        KV_COMPROBAR(!valor.contains(u'\n'));
        antes << valor;
    }

    const QString clave = QStringLiteral("SystemDB");
    const QString valor = QStringLiteral("/home/usuario/qadelia/KV000.MDW");
    const QByteArray escrito = ArchivoIni::conClave(contenido, seccion, clave, valor);
    KV_COMPROBAR(ArchivoIni::leerDe(escrito, seccion, clave) == valor);
    for (qsizetype i = 0; i < claves.size(); ++i)
        KV_COMPROBAR(ArchivoIni::leerDe(escrito, seccion, claves.at(i)) == antes.at(i));
    KV_COMPROBAR(ArchivoIni::conClave(escrito, seccion, clave, valor) == escrito);
    return 0;
}
