#include "importacionhoja.h"

namespace kv {

MuestraHoja leerMuestra(const QString &ruta, const QString &hoja, qint64 filaTitulos, int filas)
{
    MuestraHoja m;
    const std::unique_ptr<LectorHoja> lector = abrirHoja(ruta, hoja, m.error);
    if (!lector)
        return m;
    m.hojas = lector->hojas();
    m.hoja = lector->hoja();
    m.filaTitulos = std::max<qint64>(filaTitulos, 0);
    FilaHoja fila;
    while (m.filas.size() < filas && lector->siguiente(fila)) {
        if (filaTitulos < 0) {
            filaTitulos = m.filaTitulos = fila.numero;
        }
        if (fila.numero == m.filaTitulos) {
            m.titulos = fila.celdas;
            m.columnas = std::max(m.columnas, int(fila.celdas.size()));
        } else if (fila.numero > m.filaTitulos) {
            m.columnas = std::max(m.columnas, int(fila.celdas.size()));
            m.filas.append(std::move(fila));
        }
        fila = {};
    }
    if (!lector->error().isEmpty()) {
        const QString error = lector->error();
        m = {};
        m.error = error;
    }
    return m;
}

QList<FilaVistaPrevia> vistaPrevia(const MuestraHoja &muestra, const MapeoHoja &mapeo, const ReglasImportacion &reglas)
{
    QList<FilaVistaPrevia> vista;
    for (const FilaHoja &fila : muestra.filas) {
        if (mapeo.vacia(fila))
            continue;
        const LineaVuelo l = reglas.analizar(mapeo.campos(fila));
        vista.append({ fila.numero, l.campos, l.error });
    }
    return vista;
}

ResultadoImportacion importarHoja(ImportacionVuelos &importacion, const QString &ruta, const MapeoHoja &mapeo,
    const std::function<void(const AvanceImportacion &)> &avance)
{
    ResultadoImportacion r;
    QString error;
    const std::unique_ptr<LectorHoja> lector = abrirHoja(ruta, mapeo.hoja, error);
    if (!lector) {
        r.estado = ResultadoImportacion::Estado::ArchivoDanado;
        r.error = { kErrorArchivo, error };
        return r;
    }
    return importacion.ImportarRegistros(
        [&](const AlRegistro &alRegistro) {
            FilaHoja fila;
            while (lector->siguiente(fila)) {
                if (fila.numero <= mapeo.filaTitulos || mapeo.vacia(fila))
                    continue;
                if (!alRegistro({ mapeo.campos(fila), fila.numero }, lector->leido(), lector->total()))
                    return QString();
            }
            return lector->error();
        },
        avance);
}

} // namespace kv
