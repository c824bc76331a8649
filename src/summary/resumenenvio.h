#pragma once

#include "lineacomandos.h"

#include <QString>

namespace kv {

class AccesoDatos;
struct Contexto;

// The submission summary of a sent declaration: a one-page report in the
// page-description format, registered in SPOOL under "ZEN002", and a plain
// listing of the same data. Every step runs even when an earlier one failed;
// with no header row the report and the listing stay empty.
class ResumenEnvio
{
public:
    static constexpr const char *kCodigoReporte = "ZEN002";

    ResumenEnvio(Contexto &contexto, AccesoDatos &datos);

    // Writes both files and returns the listing's file name (name + ".PRN").
    QString escribir(const LineaComandos &linea);

    // The report file allocated in SPOOL by the last escribir(), if any.
    const QString &archivoReporte() const { return m_archivoReporte; }

private:
    struct Cabecera;
    QList<Cabecera> leerCabeceras(const LineaComandos &linea) const;
    void anotarTraza(const QString &sentencia) const;

    Contexto &m_ctx;
    AccesoDatos &m_datos;
    QString m_archivoReporte;
};

} // namespace kv
