// How long the flight import takes as the carrier's file grows, through the
// same code the window runs, and how it compares with a line-at-a-time
// port that looks each flight up by its formatted date and writes each row
// in a statement of its own; the same flights from a carrier's spreadsheet
// (CSV and .xlsx), and the column window's preview of such a file. One
// figure a line: "name: value unit".
//
//   bench_importacion
#include "flights/importacionhoja.h"
#include "flights/importacionvuelos.h"
#include "flights/reglasimportacion.h"
#include "store/accesodatos.h"
#include "store/numeros.h"
#include "support/basedeprueba.h"
#include "importacionprueba.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <cstdio>
#include <functional>
#include <ctime>
#include <zip.h>

using namespace kv;
using namespace kv::prueba;

namespace {

// `n` lines of November 2026, a different flight on each; every tenth line
// refused (a code with a hyphen) when asked.
QStringList lineasVuelos(int n, bool conRechazos)
{
    QStringList l;
    l.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QString codigo
            = (conRechazos && i % 10 == 9 ? QStringLiteral("V-%1") : QStringLiteral("V%1")).arg(i);
        l << QStringLiteral("%1/11/2026|%2|12|0|3|0|1|0|0|0|%3|")
                 .arg(1 + i % 30, 2, 10, QLatin1Char('0'))
                 .arg(codigo)
                 .arg(100 + i % 200);
    }
    return l;
}

void vaciar(BaseDePrueba &base)
{
    base.ejecutar(QStringLiteral("DELETE FROM TMPF517DETVP"));
}

double segundosProceso()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

struct Tiempo
{
    double reloj = 0; // wall-clock seconds
    double cpu = 0; // seconds of processor time of this process
};

// The best of `veces` imports into an empty working copy, each expected to
// end with `registros` lines or rows read.
Tiempo mejorDe(BaseDePrueba &base, int veces, qint64 registros,
    const std::function<ResultadoImportacion(ImportacionVuelos &)> &importar)
{
    Tiempo mejor { 1e9, 1e9 };
    for (int i = 0; i < veces; ++i) {
        vaciar(base);
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        QElapsedTimer reloj;
        reloj.start();
        const double cpu0 = segundosProceso();
        const ResultadoImportacion r = importar(importacion);
        const Tiempo t { reloj.nsecsElapsed() / 1e9, segundosProceso() - cpu0 };
        if (r.estado != ResultadoImportacion::Estado::Terminada || r.transferidos + r.rechazados != registros)
            std::fprintf(stderr, "import did not end as expected: %s\n", qPrintable(r.error.texto));
        mejor.reloj = std::min(mejor.reloj, t.reloj);
        mejor.cpu = std::min(mejor.cpu, t.cpu);
    }
    return mejor;
}

// The best of `veces` imports of the lines into an empty working copy.
Tiempo importar(BaseDePrueba &base, const QStringList &lineas, int veces)
{
    const QString ruta = escribirArchivoVuelos(base, lineas);
    return mejorDe(base, veces, lineas.size(), [&](ImportacionVuelos &i) { return i.ImportarVuelos(ruta); });
}

// The old way, kept here only to measure against: for every line the same
// rules, then the flight looked up by its date formatted as dd/mm/yyyy (no
// key can serve that), the rate asked of the parameter table, and the row
// added or changed in a statement that commits on its own.
double segundosIngenua(BaseDePrueba &base, const QStringList &lineas)
{
    vaciar(base);
    Contexto &ctx = base.contexto();
    AccesoDatos datos(ctx);
    const ReglasImportacion reglas(*ctx.utilidad, QDate(2026, 12, 7), QStringLiteral("11/2026"));
    QElapsedTimer reloj;
    reloj.start();
    for (const QString &texto : lineas) {
        const LineaVuelo l = reglas.analizar(texto);
        if (!l.aceptada())
            continue;
        const QVariantList clave = { ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, l.campos[0], l.campos[1] };
        QSqlQuery existe = datos.consultar(
            QStringLiteral(
                "SELECT * FROM TMPF517DETVP WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? "
                "AND formulario=? AND substr(fec_arribo,9,2) || '/' || substr(fec_arribo,6,2) || '/' || "
                "substr(fec_arribo,1,4)=? AND cod_vuelo=?"),
            clave);
        const bool hay = existe.next();
        existe.finish();
        const QString tasa = datos.TasaVigente(l.fecha.toString(QStringLiteral("yyyyMMdd")));
        const QString monto = (Decimal::entero(l.cantidades[8].toLongLong()) * val(tasa)).texto();
        QVariantList valores;
        for (const QString &c : l.cantidades)
            valores << c;
        valores << monto;
        if (hay) {
            datos.EjecutarSQL(
                QStringLiteral("UPDATE TMPF517DETVP SET num_tripulantes=?, num_personal=?, "
                               "num_transito=?, num_arrfor=?, num_diplo=?, num_extrad=?, num_deport=?, "
                               "num_adqanterior=?, num_afectos=?, mto_dolar=? WHERE tip_doc_d=6 AND "
                               "doc_id_d=? AND periodo=? AND formulario=? AND fec_arribo=? AND "
                               "cod_vuelo=?"),
                valores
                    + QVariantList {
                        ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, l.fecha.toString(Qt::ISODate), l.codigo });
        } else {
            datos.EjecutarSQL(
                QStringLiteral("INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, "
                               "fec_arribo, cod_vuelo, num_tripulantes, num_personal, num_transito, "
                               "num_arrfor, num_diplo, num_extrad, num_deport, num_adqanterior, "
                               "num_afectos, mto_dolar) VALUES (6,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                QVariantList {
                    ctx.sRuc, ctx.sPeriodo, ctx.sFormulario, l.fecha.toString(Qt::ISODate), l.codigo }
                    + valores);
        }
    }
    return reloj.nsecsElapsed() / 1e9;
}

// The lines' flights as a spreadsheet: a row of the grid's captions, then
// one flight a row; in a workbook the date is a day number with a date
// style and the code a shared text, as spreadsheet programs save them.
QString escribirCsv(BaseDePrueba &base, const QStringList &lineas)
{
    QStringList filas { QStringLiteral("Fecha de Arribo;Código de Vuelo;Tripulantes;Personal;Tránsito;"
                                       "Arribo Forzoso;Dipl.;Extr.;Depo.;Ante.;Comp.") };
    for (const QString &l : lineas)
        filas << l.chopped(1).replace(u'|', u';');
    const QString ruta = base.carpeta() + QStringLiteral("vuelos.csv");
    QFile f(ruta);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(filas.join(QStringLiteral("\r\n")).toUtf8());
    return ruta;
}

QString escribirXlsx(BaseDePrueba &base, const QStringList &lineas)
{
    const QString ruta = base.carpeta() + QStringLiteral("vuelos.xlsx");
    QFile::remove(ruta);
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(ruta).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QList<QByteArray> partes; // alive until the zip is written
    const auto agregar = [&](const char *nombre, QByteArray datos) {
        partes << std::move(datos);
        zip_source_t *fuente = zip_source_buffer(zip, partes.back().constData(), partes.back().size(), 0);
        zip_file_add(zip, nombre, fuente, ZIP_FL_OVERWRITE);
    };
    agregar("[Content_Types].xml",
        "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    agregar("xl/workbook.xml",
        "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
        "<sheet name=\"Vuelos\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    agregar("xl/_rels/workbook.xml.rels",
        "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"x/styles\" Target=\"styles.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
    agregar("xl/styles.xml",
        "<styleSheet><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>");
    QByteArray hoja = "<worksheet><sheetData><row r=\"1\">";
    const QStringList titulos { QStringLiteral("Fecha de Arribo"), QStringLiteral("Código de Vuelo"),
        QStringLiteral("Trip."), QStringLiteral("Pers."), QStringLiteral("Tran."), QStringLiteral("Forz."),
        QStringLiteral("Dipl."), QStringLiteral("Extr."), QStringLiteral("Depo."), QStringLiteral("Ante."),
        QStringLiteral("Comp.") };
    QByteArray textos;
    int compartidos = 0;
    for (int c = 0; c < titulos.size(); ++c) {
        hoja += "<c t=\"inlineStr\"><is><t>" + titulos[c].toUtf8() + "</t></is></c>";
    }
    hoja += "</row>";
    const QDate base1900(1899, 12, 30);
    for (int i = 0; i < lineas.size(); ++i) {
        const QStringList campos = lineas[i].split(u'|');
        const QByteArray fila = QByteArray::number(i + 2);
        hoja += "<row r=\"" + fila + "\"><c r=\"A" + fila + "\" s=\"1\"><v>"
            + QByteArray::number(base1900.daysTo(QDate::fromString(campos[0], u"dd/MM/yyyy")))
            + "</v></c><c r=\"B" + fila + "\" t=\"s\"><v>" + QByteArray::number(compartidos++) + "</v></c>";
        textos += "<si><t>" + campos[1].toUtf8() + "</t></si>";
        for (int c = 2; c < 11; ++c)
            hoja += "<c r=\"" + QByteArray(1, char('A' + c)) + fila + "\"><v>" + campos[c].toUtf8() + "</v></c>";
        hoja += "</row>";
    }
    hoja += "</sheetData></worksheet>";
    agregar("xl/worksheets/sheet1.xml", hoja);
    agregar("xl/sharedStrings.xml", "<sst>" + textos + "</sst>");
    zip_close(zip);
    return ruta;
}

MapeoHoja mapeoEnOrden()
{
    MapeoHoja m;
    for (int i = 0; i < kCamposVuelo; ++i)
        m.columnas[i] = i;
    return m;
}

// The best of `veces` imports of a spreadsheet into an empty working copy.
Tiempo importarHojaVeces(BaseDePrueba &base, const QString &ruta, qint64 filas, int veces)
{
    return mejorDe(
        base, veces, filas, [&](ImportacionVuelos &i) { return importarHoja(i, ruta, mapeoEnOrden()); });
}

// What the column window does before it shows: the top of the file read,
// the headings matched and the first rows checked.
double segundosVistaPrevia(BaseDePrueba &base, const QString &ruta)
{
    ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
    double mejor = 1e9;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        const MuestraHoja m = leerMuestra(ruta, {}, -1, 20);
        MapeoHoja mapeo;
        mapeo.columnas = emparejarTitulos(m.titulos);
        const QList<FilaVistaPrevia> vista = vistaPrevia(m, mapeo, importacion.reglas());
        if (vista.size() != 20)
            std::fprintf(stderr, "preview of %s: %d rows\n", qPrintable(ruta), int(vista.size()));
        mejor = std::min(mejor, reloj.nsecsElapsed() / 1e9);
    }
    return mejor;
}

void cifra(const char *nombre, double valor, const char *unidad)
{
    std::printf("%s: %.4f %s\n", nombre, valor, unidad);
    std::fflush(stdout);
}

void cifras(const char *nombre, const Tiempo &t)
{
    cifra(nombre, t.reloj, "s");
    cifra((QByteArray(nombre) + "_cpu").constData(), t.cpu, "s");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    BaseDePrueba base;
    if (!base.valida())
        return 1;
    abrirDeclaracionVuelos(base);

    // Other programs may share the processors: the best of a few runs, and
    // the processor time beside the time on the clock.
    const QStringList diezMil = lineasVuelos(10000, false);
    const Tiempo t10 = importar(base, diezMil, 3);
    cifras("importacion_10000_lineas", t10);
    const Tiempo t100 = importar(base, lineasVuelos(100000, false), 2);
    cifras("importacion_100000_lineas", t100);
    cifra("importacion_100000_sobre_10000", t100.reloj / t10.reloj, "x");
    cifra("importacion_100000_sobre_10000_cpu", t100.cpu / t10.cpu, "x");
    cifras("importacion_10000_lineas_10pct_rechazos", importar(base, lineasVuelos(10000, true), 3));

    const QStringList cienMil = lineasVuelos(100000, false);
    const QString csv = escribirCsv(base, cienMil);
    const QString xlsx = escribirXlsx(base, cienMil);
    const Tiempo tCsv = importarHojaVeces(base, csv, cienMil.size(), 2);
    cifras("importacion_csv_100000_filas", tCsv);
    cifra("importacion_csv_sobre_texto_100000", tCsv.reloj / t100.reloj, "x");
    cifra("importacion_csv_sobre_texto_100000_cpu", tCsv.cpu / t100.cpu, "x");
    cifras("importacion_xlsx_100000_filas", importarHojaVeces(base, xlsx, cienMil.size(), 2));
    cifra("vista_previa_csv_100000_filas", segundosVistaPrevia(base, csv), "s");
    cifra("vista_previa_xlsx_100000_filas", segundosVistaPrevia(base, xlsx), "s");

    const QStringList primerasMil = diezMil.mid(0, 1000);
    const Tiempo t1 = importar(base, primerasMil, 3);
    const double ingenua = segundosIngenua(base, primerasMil);
    cifras("importacion_1000_lineas", t1);
    cifra("ingenua_1000_lineas", ingenua, "s");
    cifra("ingenua_sobre_importacion_1000", ingenua / t1.reloj, "x");
    return 0;
}
