// Pictures of the spreadsheet import for looking at its layout: the import
// window with its new button, and the column window on a carrier's workbook
// with two refused rows in the preview.
//   captura_hoja OUTDIR      (tools/screenshot-hoja.sh runs it under Xvfb)
#include "flights/frmcolumnashoja.h"
#include "flights/frmimportavuelos.h"
#include "importacionprueba.h"

#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QTest>
#include <cstdio>

using namespace kv;
using namespace kv::prueba;

namespace {

bool guardar(QWidget *ventana, const QString &archivo)
{
    QTest::qWait(300);
    const bool ok = ventana->grab().save(archivo);
    std::printf("%s%s\n", qPrintable(archivo), ok ? "" : " (not written)");
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString carpeta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(carpeta);

    BaseDePrueba base;
    if (!base.valida())
        return 1;
    qputenv("HOME", base.carpeta().toLocal8Bit());
    abrirDeclaracionVuelos(base);
    bool ok = true;

    ParametrosVentana p;
    p.nombre = QStringLiteral("ImportarVuelos");
    p.accion = QStringLiteral("NEW");
    p.periodoMostrado = QStringLiteral("11/2026");
    frmImportaVuelos importar(base.contexto(), p);
    importar.cargar();
    importar.show();
    ok = guardar(&importar, carpeta + QStringLiteral("/importar-vuelos.png")) && ok;
    importar.hide();

    const ImportacionVuelos importacion(base.contexto(), p.periodoMostrado);
    frmColumnasHoja columnas(base.contexto(), importacion,
        qEnvironmentVariable("KV_SOURCE_DIR", QStringLiteral(KV_SOURCE_DIR))
            + QStringLiteral("/tests/flights/hojas/vuelos-desordenados.xlsx"));
    if (!columnas.cargar()) {
        std::fprintf(stderr, "%s\n", qPrintable(columnas.error()));
        return 1;
    }
    // As the user leaves it: headings on row 2, "Pax" for the passengers
    // subject to the tax.
    columnas.txtFilaTitulos()->setValue(2);
    columnas.cboColumna(10)->setCurrentIndex(columnas.cboColumna(10)->findData(1));
    columnas.show();
    ok = guardar(&columnas, carpeta + QStringLiteral("/columnas-hoja.png")) && ok;
    return ok ? 0 : 1;
}
