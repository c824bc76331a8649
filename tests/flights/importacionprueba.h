#pragma once

// A declaration open for import: airline, period November 2026 (the test
// clock stands on 07/12/2026), and the carrier's file written where the
// user would pick it.
#include "store/texto.h"
#include "support/basedeprueba.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace kv::prueba {

inline const QString kRucImportacion = QStringLiteral("20100070970");
inline const QString kNombreArchivoImportacion = QStringLiteral("051720100070970202611.TXT");

inline void abrirDeclaracionVuelos(BaseDePrueba &base)
{
    Contexto &ctx = base.contexto();
    ctx.sRuc = kRucImportacion;
    ctx.sRazonSocial = QStringLiteral("AEROLÍNEAS DEL SUR S.A.");
    ctx.sPeriodo = QStringLiteral("202611");
}

// Writes the lines (Windows-1252, CR LF after each) into the carrier's
// folder of the test installation; returns the file's path.
inline QString escribirArchivoVuelos(
    const BaseDePrueba &base, const QStringList &lineas, const QString &nombre = kNombreArchivoImportacion)
{
    const QString carpeta = base.carpeta() + QStringLiteral("aerolinea");
    QDir().mkpath(carpeta);
    QFile f(carpeta + u'/' + nombre);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (const QString &l : lineas)
        f.write(aCp1252(l) + "\r\n");
    return f.fileName();
}

inline QByteArray leerBytes(const QString &ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe: ") + ruta.toUtf8() + '>';
}

} // namespace kv::prueba
