#include "importacionhoja.h"

#include "lectorxlsx.h"

#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kv {

namespace {

// Reads a sheet on a thread of its own, a few hundred rows ahead of the ones
// asked for, so that the file is taken apart while the rows already read are
// checked and written. The rows, the end and the error are the reader's, in
// its order.
class LecturaAdelantada : public LectorHoja
{
public:
    explicit LecturaAdelantada(std::unique_ptr<LectorHoja> lector)
        : m_lector(std::move(lector))
        , m_total(m_lector->total())
    {
        m_hilo = std::thread([this] { leer(); });
    }

    ~LecturaAdelantada() override
    {
        {
            const std::lock_guard<std::mutex> cerrojo(m_mutex);
            m_parar = true;
        }
        m_aviso.notify_all();
        m_hilo.join();
    }

    bool siguiente(FilaHoja &fila) override
    {
        if (m_pos >= m_actual.filas.size()) {
            std::unique_lock<std::mutex> cerrojo(m_mutex);
            m_aviso.wait(cerrojo, [this] { return !m_cola.empty() || m_terminado; });
            if (m_cola.empty()) {
                m_error = m_errorLector;
                m_leido = m_total;
                return false;
            }
            m_actual = std::move(m_cola.front());
            m_cola.pop_front();
            cerrojo.unlock();
            m_aviso.notify_all();
            m_pos = 0;
            m_leido = m_actual.leido;
        }
        fila = std::move(m_actual.filas[m_pos++]);
        return true;
    }

    qint64 leido() const override { return m_leido; }
    qint64 total() const override { return m_total; }

private:
    static constexpr qsizetype kFilasPorLote = 256;
    static constexpr size_t kLotesEnCola = 4;

    struct Lote
    {
        QList<FilaHoja> filas;
        qint64 leido = 0;
    };

    void leer()
    {
        for (;;) {
            Lote lote;
            lote.filas.reserve(kFilasPorLote);
            FilaHoja fila;
            bool fin = false;
            while (lote.filas.size() < kFilasPorLote) {
                if (!m_lector->siguiente(fila)) {
                    fin = true;
                    break;
                }
                lote.filas.append(std::move(fila));
                fila = {};
            }
            lote.leido = m_lector->leido();
            std::unique_lock<std::mutex> cerrojo(m_mutex);
            m_aviso.wait(cerrojo, [this] { return m_cola.size() < kLotesEnCola || m_parar; });
            if (m_parar)
                return;
            if (!lote.filas.isEmpty())
                m_cola.push_back(std::move(lote));
            if (fin) {
                m_terminado = true;
                m_errorLector = m_lector->error();
            }
            cerrojo.unlock();
            m_aviso.notify_all();
            if (fin)
                return;
        }
    }

    std::unique_ptr<LectorHoja> m_lector; // used by the reading thread alone
    const qint64 m_total;

    std::mutex m_mutex;
    std::condition_variable m_aviso;
    std::deque<Lote> m_cola;
    bool m_terminado = false;
    bool m_parar = false;
    QString m_errorLector;
    std::thread m_hilo;

    Lote m_actual; // the caller's side
    qsizetype m_pos = 0;
    qint64 m_leido = 0;
};

// Bytes of a sheet's XML (some 6,000 rows) from which it is read on several
// threads.
constexpr qint64 kLibroGrande = 2 * 1024 * 1024;

} // namespace

MuestraHoja leerMuestra(const QString &ruta, const QString &hoja, qint64 filaTitulos, int filas)
{
    MuestraHoja m;
    const std::unique_ptr<LectorHoja> lector = abrirHoja(ruta, hoja, m.error);
    if (!lector)
        return m;
    m.hojas = lector->hojas();
    m.hoja = lector->hoja();
    m.filaTitulos = std::max<qint64>(filaTitulos, 0);
    // The columns up to the last one with text: an empty cell far to the
    // right adds none.
    const auto contar = [&m](const FilaHoja &f) {
        for (int c = int(f.celdas.size()); c > m.columnas; --c) {
            if (!celdaEnBlanco(f.celdas.at(c - 1))) {
                m.columnas = c;
                break;
            }
        }
    };
    FilaHoja fila;
    while (m.filas.size() < filas && lector->siguiente(fila)) {
        if (filaTitulos < 0)
            filaTitulos = m.filaTitulos = fila.numero;
        if (fila.numero == m.filaTitulos) {
            contar(fila);
            m.titulos = fila.celdas;
        } else if (fila.numero > m.filaTitulos) {
            contar(fila);
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

QList<FilaVistaPrevia> vistaPrevia(
    const MuestraHoja &muestra, const MapeoHoja &mapeo, const ReglasImportacion &reglas)
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
    std::unique_ptr<LectorHoja> abierta = abrirHoja(ruta, mapeo.hoja, error);
    if (!abierta) {
        r.estado = ResultadoImportacion::Estado::ArchivoDanado;
        r.error = { kErrorArchivo, error };
        return r;
    }
    // A large workbook is taken apart on every processor while its rows go
    // in; a damaged one says so at its first row.
    if (auto *libro = dynamic_cast<LectorXlsx *>(abierta.get()); libro && libro->total() >= kLibroGrande)
        libro->leerEnParalelo(std::clamp(QThread::idealThreadCount(), 2, 8));
    const auto lector = std::make_unique<LecturaAdelantada>(std::move(abierta));
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
