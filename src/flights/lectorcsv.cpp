#include "lectorcsv.h"

#include "store/texto.h"

#include <QDir>

namespace kv {

namespace {

constexpr char kSeparadores[] = { ',', ';', '\t' };
// Records looked at to choose the separator.
constexpr int kRegistrosMuestra = 20;

// Cuts the record that starts at `pos` with the separator `sep`, calls
// `alCampo` with each field's bytes (quotes taken away, a doubled quote
// made one, a line break inside quotes made one LF) and returns where the
// next record starts. `abierta` tells that the file ended inside quotes.
template<typename AlCampo>
qsizetype cortarRegistro(QByteArrayView b, qsizetype pos, char sep, AlCampo &&alCampo, bool &abierta)
{
    abierta = false;
    const qsizetype n = b.size();
    const auto hastaFinDeCampo = [&](qsizetype desde) {
        while (desde < n && b[desde] != sep && b[desde] != '\n' && b[desde] != '\r')
            ++desde;
        return desde;
    };
    QByteArray armado;
    for (;;) {
        if (pos < n && b[pos] == '"') {
            armado.clear();
            ++pos;
            for (;;) {
                if (pos >= n) {
                    abierta = true;
                    return n;
                }
                const char c = b[pos];
                if (c == '"') {
                    if (pos + 1 < n && b[pos + 1] == '"') {
                        armado += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                if (c == '\r') {
                    armado += '\n';
                    pos += pos + 1 < n && b[pos + 1] == '\n' ? 2 : 1;
                    continue;
                }
                armado += c;
                ++pos;
            }
            // What follows the closing quote up to the separator is kept, as
            // spreadsheet programs keep it.
            const qsizetype inicio = pos;
            pos = hastaFinDeCampo(pos);
            armado += b.sliced(inicio, pos - inicio);
            alCampo(QByteArrayView(armado));
        } else {
            const qsizetype inicio = pos;
            pos = hastaFinDeCampo(pos);
            alCampo(b.sliced(inicio, pos - inicio));
        }
        if (pos >= n)
            return n;
        if (b[pos] == sep) {
            ++pos;
            continue;
        }
        if (b[pos] == '\r' && pos + 1 < n && b[pos + 1] == '\n')
            ++pos;
        return pos + 1;
    }
}

// The separator that cuts the first records with text into the same
// number of fields, more than one, most often; the one giving more fields
// when two do as well; a comma when none cuts anything.
char elegirSeparador(QByteArrayView bytes)
{
    char mejor = ',';
    int mejorCoincidencias = 0;
    qsizetype mejorCampos = 0;
    for (const char sep : kSeparadores) {
        qsizetype pos = 0;
        qsizetype primero = -1;
        int coincidencias = 0;
        for (int r = 0; r < kRegistrosMuestra && pos < bytes.size();) {
            qsizetype campos = 0;
            bool vacio = true;
            bool abierta = false;
            pos = cortarRegistro(
                bytes, pos, sep,
                [&](QByteArrayView campo) {
                    ++campos;
                    vacio = vacio && campo.trimmed().isEmpty();
                },
                abierta);
            if (vacio)
                continue;
            ++r;
            if (primero < 0)
                primero = campos;
            if (campos == primero)
                ++coincidencias;
        }
        if (primero <= 1)
            continue;
        if (coincidencias > mejorCoincidencias
            || (coincidencias == mejorCoincidencias && primero > mejorCampos)) {
            mejor = sep;
            mejorCoincidencias = coincidencias;
            mejorCampos = primero;
        }
    }
    return mejor;
}

} // namespace

std::unique_ptr<LectorCsv> LectorCsv::abrir(const QString &ruta, QString &error)
{
    std::unique_ptr<LectorCsv> lector(new LectorCsv);
    QFile &archivo = lector->m_archivo;
    archivo.setFileName(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("No se pudo leer el archivo «%1»: %2")
                    .arg(QDir::toNativeSeparators(ruta), archivo.errorString());
        return nullptr;
    }
    // A mapping reads from the disk only the pages that are looked at.
    const qint64 largo = archivo.size();
    const uchar *mapa = largo > 0 ? archivo.map(0, largo) : nullptr;
    if (mapa) {
        lector->preparar(QByteArrayView(mapa, largo));
    } else {
        lector->m_copia = archivo.readAll();
        if (archivo.error() != QFileDevice::NoError) {
            error = QStringLiteral("No se pudo leer el archivo «%1»: %2")
                        .arg(QDir::toNativeSeparators(ruta), archivo.errorString());
            return nullptr;
        }
        lector->preparar(lector->m_copia);
    }
    return lector;
}

LectorCsv::LectorCsv(QByteArray datos)
    : m_copia(std::move(datos))
{
    preparar(m_copia);
}

void LectorCsv::preparar(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
        m_utf8 = true;
    } else {
        // The whole file decides: one byte that is not UTF-8 anywhere makes
        // every row Windows-1252, so that the first rows read as the last.
        m_utf8 = bytes.isValidUtf8();
    }
    m_bytes = bytes;
    m_separador = elegirSeparador(bytes);
}

QString LectorCsv::decodificar(QByteArrayView bytes) const
{
    return m_utf8 ? QString::fromUtf8(bytes) : desdeCp1252(bytes);
}

bool LectorCsv::leerRegistro(QStringList *campos)
{
    bool abierta = false;
    m_pos = cortarRegistro(
        m_bytes, m_pos, m_separador, [&](QByteArrayView campo) { campos->append(decodificar(campo)); },
        abierta);
    return !abierta;
}

bool LectorCsv::siguiente(FilaHoja &fila)
{
    while (m_pos < m_bytes.size() && m_error.isEmpty()) {
        ++m_fila;
        QStringList campos;
        if (!leerRegistro(&campos)) {
            m_error = QStringLiteral("La fila %1 del archivo abre comillas que no se cierran.").arg(m_fila);
            return false;
        }
        fila.numero = m_fila;
        fila.celdas = std::move(campos);
        if (!fila.enBlanco())
            return true;
    }
    return false;
}

} // namespace kv
