// A carrier's flight file as the import reads it: the bytes taken as
// Windows-1252 and cut into lines, each line split into its fields and put
// through the field rules. Whatever the file, a refused line carries one of
// the rules' own texts, and an accepted one holds only what the working copy
// can take: a date of the declared month between the tax's first day and
// today, a short letters-and-digits code and nine plain counts.
#include "comprobar.h"
#include "flights/importacionvuelos.h"
#include "flights/reglasimportacion.h"
#include "store/texto.h"
#include "store/utilidad.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

using namespace kv;

namespace {

const QDate kHoy(2026, 12, 7);

const QStringList &textosDeError()
{
    static const QStringList textos = {
        QStringLiteral("Fecha de Arribo está en blanco o es incorrecta"),
        QStringLiteral("Fecha de Arribo no es válida"),
        QStringLiteral("Fecha de Arribo debe ser mayor o igual al 17/02/2003 "),
        QStringLiteral("Fecha de Arribo no debe ser mayor a la actual "),
        QStringLiteral("El año y mes de la fecha de Arribo deben ser iguales al período declarado "),
        QStringLiteral("Código de vuelo está en blanco."),
        QStringLiteral("El código de vuelo debe ser sólo letras y números."),
        QStringLiteral("El código de vuelo debe tener máximo 15 caracteres."),
        QStringLiteral("El código de vuelo debe ser diferente de 0."),
        QStringLiteral("Detalle de número personas a bordo está en blanco."),
        QStringLiteral("Detalle de número personas a bordo tiene campos con más de 5 posiciones."),
        QStringLiteral("Detalle de número personas a bordo debe ser numérico."),
        QStringLiteral("El número de tripulantes debe ser mayor a 0."),
    };
    return textos;
}

bool esDigitoAscii(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The fields of a line that has its eleven "|" and ends in one, cut by a
// plain split: the text between separators, blanks around it dropped.
void compararConCorte(QStringView linea, const CamposVuelo &campos)
{
    const QList<QStringView> partes = linea.split(u'|');
    KV_COMPROBAR(partes.size() == kCamposVuelo + 1);
    KV_COMPROBAR(recortarBlancos(partes.back()).isEmpty());
    for (int i = 0; i < kCamposVuelo; ++i)
        KV_COMPROBAR(campos[i] == recortarBlancos(partes[i]));
}

void comprobarAceptada(const LineaVuelo &v, const QString &periodo)
{
    // The date: a real day of the declared month, from the tax's first day
    // to today, written dd/mm/yyyy (its stored form is cut from that text).
    KV_COMPROBAR(v.fecha.isValid());
    KV_COMPROBAR(v.fecha >= QDate(2003, 2, 17) && v.fecha <= kHoy);
    KV_COMPROBAR(v.fecha.toString(u"MM/yyyy") == periodo);
    KV_COMPROBAR(v.campos[0].size() == 10);
    KV_COMPROBAR(v.campos[0] == v.fecha.toString(u"dd/MM/yyyy"));

    // The code: field 1 letter by letter in upper case, as the flight
    // window's code box types it.
    const QString &campo = v.campos[1];
    KV_COMPROBAR(!v.codigo.isEmpty() && v.codigo.size() <= 15);
    KV_COMPROBAR(v.codigo.size() == campo.size());
    bool soloCeros = true;
    for (qsizetype i = 0; i < v.codigo.size(); ++i) {
        const QChar c = v.codigo.at(i);
        KV_COMPROBAR(c.isLetterOrNumber());
        KV_COMPROBAR(c == campo.at(i).toUpper());
        soloCeros = soloCeros && c == u'0';
    }
    KV_COMPROBAR(!soloCeros);

    // The counts: plain digits, as many as the field's value needs.
    for (int i = 0; i < kCantidadesVuelo; ++i) {
        const QString &cantidad = v.cantidades[i];
        KV_COMPROBAR(!cantidad.isEmpty() && cantidad.size() <= 5);
        KV_COMPROBAR(std::all_of(cantidad.begin(), cantidad.end(), esDigitoAscii));
        KV_COMPROBAR(cantidad == u"0" || cantidad.front() != u'0');
        KV_COMPROBAR(cantidad.toInt() == v.campos[i + 2].toInt());
    }
    KV_COMPROBAR(v.cantidades[0] != u"0");
}

void comprobarLinea(const QString &linea)
{
    static const Utilidad utilidad;
    // The month before today's, and today's own (where a date can be later
    // than today and still in the declared month).
    static const QString periodos[] = { QStringLiteral("11/2026"), QStringLiteral("12/2026") };
    static const ReglasImportacion reglas[] = { { utilidad, kHoy, periodos[0] }, { utilidad, kHoy, periodos[1] } };

    KV_COMPROBAR(!linea.contains(u'\r') && !linea.contains(u'\n'));
    const CamposVuelo campos = separarCampos(linea);
    for (const QString &campo : campos) {
        KV_COMPROBAR(!campo.contains(u'|'));
        KV_COMPROBAR(campo == recortarBlancos(campo));
    }
    if (separadoresCompletos(linea) && terminaEnSeparador(linea))
        compararConCorte(linea, campos);

    for (int r = 0; r < 2; ++r) {
        const LineaVuelo v = reglas[r].analizar(linea);
        KV_COMPROBAR(v.campos == campos);
        KV_COMPROBAR(v.error == reglas[r].validar(campos));
        KV_COMPROBAR(v.aceptada() == v.error.isEmpty());
        if (v.aceptada())
            comprobarAceptada(v, periodos[r]);
        else
            KV_COMPROBAR(textosDeError().contains(v.error));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t largo)
{
    // The file goes through the import's own reader. Written anew each
    // time: a file emptied and written again is flushed to disk on close.
    static const std::unique_ptr<QTemporaryDir> carpeta = std::make_unique<QTemporaryDir>();
    const QString ruta = carpeta->filePath(QStringLiteral("vuelos.TXT"));
    {
        QFile f(ruta);
        f.remove();
        KV_COMPROBAR(f.open(QIODevice::WriteOnly | QIODevice::NewOnly));
        KV_COMPROBAR(f.write(reinterpret_cast<const char *>(datos), qint64(largo)) == qint64(largo));
    }
    ArchivoTexto archivo;
    KV_COMPROBAR(archivo.leer(ruta));
    qsizetype caracteres = 0;
    archivo.recorrer([&](const QString &linea) {
        caracteres += linea.size();
        comprobarLinea(linea);
        return true;
    });
    // Every byte is a character of some line or a line's end.
    const QByteArrayView bytes(datos, qsizetype(largo));
    KV_COMPROBAR(caracteres == bytes.size() - bytes.count('\r') - bytes.count('\n'));
    return 0;
}
