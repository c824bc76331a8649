// Pictures of the windows a new user reads most: the preview of a long
// print-out as wide as the window on its second page, the flight import
// window on a folder without the declaration's file, and the host's report
// register with its help page and the list of declarations to send.
//   captura_ventanas OUTDIR      (tools/screenshot-ventanas.sh runs it under Xvfb)
#include "../declaration/declaracionprueba.h"
#include "flights/frmimportavuelos.h"
#include "integrator/enviodeclaracion.h"
#include "integrator/lanzador.h"
#include "integrator/ui/ayudaqadelia.h"
#include "integrator/ui/dialogoenvio.h"
#include "integrator/ui/ventanaprincipal.h"
#include "reports/ui/listaspool.h"
#include "reports/reporteformulario.h"
#include "reports/ui/frmpreview.h"
#include "support/captura.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

using namespace kv;
using namespace kv::prueba;

namespace {

// The print-out of a saved declaration of 3,050 flights: 74 pages.
bool previa(BaseDePrueba &base, const QString &carpeta)
{
    guardarDeclaracionCompleta(base, 3050);
    AccesoDatos datos(base.contexto());
    ReporteFormulario reporte(datos);
    DeclaracionImpresion d;
    d.ruc = kRuc;
    d.razonSocial = kRazon;
    d.periodo = kPeriodo;
    const ReporteFormulario::Resultado r = reporte.generar(d);
    if (!r.correcto()) {
        std::fprintf(stderr, "%s\n", qPrintable(r.error));
        return false;
    }
    frmPreview v(base.contexto());
    v.sRut = r.archivo;
    v.nNroHojas = r.paginas;
    v.nPagIni = 1;
    v.nPagFin = r.paginas;
    v.bImpRango = true;
    v.cargar();
    v.show();
    v.activateWindow();
    if (!QTest::qWaitForWindowActive(&v))
        return false;
    QTest::keyClick(&v, Qt::Key_PageDown);
    v.completarLectura();
    std::printf("preview: %d pages, page %d on view\n", v.cuadros(), v.nHojaActual() + 1);
    return guardar(&v, carpeta + QStringLiteral("/previa-ancho-hoja2.png"));
}

// The import window on a folder that holds another period's file only.
bool importacion(BaseDePrueba &base, const QString &carpeta)
{
    elegirDeclaracion(base.contexto());
    const QString aerolinea = base.carpeta() + QStringLiteral("aerolinea");
    for (const char *sub : {"2024-01", "2024-02", "2024-03"})
        QDir().mkpath(aerolinea + u'/' + QString::fromLatin1(sub));
    QFile otro(aerolinea + QStringLiteral("/2024-03/0517") + kRuc + QStringLiteral("202402.TXT"));
    if (!otro.open(QIODevice::WriteOnly))
        return false;
    otro.close();
    qputenv("HOME", base.carpeta().toLocal8Bit());
    ParametrosVentana p;
    p.nombre = QStringLiteral("ImportarVuelos");
    p.accion = QStringLiteral("NEW");
    p.periodoMostrado = QStringLiteral("03/2024");
    frmImportaVuelos v(base.contexto(), p);
    v.cargar();
    v.show();
    v.elegirCarpeta(aerolinea + QStringLiteral("/2024-03"));
    QTest::qWait(500); // the tree reads its folders in the background
    return guardar(&v, carpeta + QStringLiteral("/importar-sin-archivo.png"));
}

// The host's report register: the reports of a print-out, an import and a
// submission, the catalogue rows as the installer writes them.
bool registro(BaseDePrueba &base, const QString &carpeta)
{
    Contexto &ctx = base.contexto();
    guardarDeclaracionCompleta(base, 40);
    base.agregarContribuyente(QStringLiteral("20100070970"), QStringLiteral("AEROLÍNEAS DEL SUR S.A."),
                              QStringLiteral("PRUEBA"));
    for (const auto &[codigo, descripcion] :
         {std::pair{"ZEN001", "Zentor 0517 – Declaración"}, std::pair{"ZEN002", "Reporte de Envío 2003 -  0517"},
          std::pair{"ZEN003", "0517 Importacion"}})
        base.ejecutar(QStringLiteral("INSERT INTO Reportes VALUES (?,?,1)"),
                      {QString::fromLatin1(codigo), QString::fromUtf8(descripcion)});
    AccesoDatos datos(ctx);
    const QString fuentes = QStringLiteral(KV_FUENTES "/tests/");
    const auto copiar = [&](const char *codigo, const QString &ruc, const QString &origen) {
        const QString nombre = datos.AsignarArchivoReporte(QString::fromLatin1(codigo), 6, ruc);
        return !nombre.isEmpty() && QFile::copy(fuentes + origen, ctx.sRutaReportes + u'/' + nombre);
    };
    ReporteFormulario reporte(datos);
    DeclaracionImpresion d;
    d.ruc = kRuc;
    d.razonSocial = kRazon;
    d.periodo = kPeriodo;
    if (!reporte.generar(d).correcto()
        || !copiar("ZEN003", QStringLiteral("20100070970"), QStringLiteral("flights/datos/errores39.PRN"))
        || !copiar("ZEN002", QStringLiteral("20100070970"), QStringLiteral("summary/datos/cheque.PRN")))
        return false;

    Lanzador lanzador(base.mensajes(), QCoreApplication::applicationDirPath());
    VentanaPrincipal v(ctx, lanzador);
    v.show();
    v.areas()->setCurrentWidget(v.listaReportes());
    bool ok = guardar(&v, carpeta + QStringLiteral("/qadelia-reportes.png"));
    v.mostrarAyuda();
    ok = guardar(v.ventanaAyuda(), carpeta + QStringLiteral("/qadelia-ayuda.png")) && ok;

    // The send list with a declaration sent before.
    enviarDeclaracion(base);
    base.ejecutar(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, estado) "
                                 "VALUES (6,'20100070970','202402','0517',0)"));
    EnvioDeclaracion envio(ctx, datos);
    DialogoEnvio dialogo(ctx, envio.consultaDeclaraciones());
    dialogo.show();
    return guardar(&dialogo, carpeta + QStringLiteral("/qadelia-enviar.png")) && ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString carpeta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(carpeta);
    bool ok = true;
    {
        BaseDePrueba base;
        if (!base.valida())
            return 1;
        ok = previa(base, carpeta) && ok;
    }
    {
        BaseDePrueba base;
        ok = base.valida() && importacion(base, carpeta) && ok;
    }
    {
        BaseDePrueba base;
        ok = base.valida() && registro(base, carpeta) && ok;
    }
    return ok ? 0 : 1;
}
