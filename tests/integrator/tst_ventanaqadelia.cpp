#include "entornoprueba.h"
#include "integrator/copiasseguridad.h"
#include "integrator/lanzador.h"
#include "integrator/ui/ayudaqadelia.h"
#include "integrator/ui/dialogocontribuyente.h"
#include "integrator/ui/dialogoenvio.h"
#include "reports/ui/frmpreview.h"
#include "reports/ui/listaspool.h"
#include "integrator/ui/ventanaprincipal.h"
#include "store/archivoini.h"
#include "support/basedeprueba.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace kv;
using kv::prueba::BaseDePrueba;

namespace {

// Acts on the dialog that opens next, once it is up.
void enElDialogo(std::function<void(DialogoContribuyente *)> accion)
{
    QTimer::singleShot(0, [accion] {
        auto *dialogo = qobject_cast<DialogoContribuyente *>(QApplication::activeModalWidget());
        QVERIFY(dialogo);
        accion(dialogo);
    });
}

QStringList titulosMenus(QMenuBar *barra)
{
    QStringList r;
    for (QAction *a : barra->actions()) {
        if (a->isVisible())
            r << a->text();
    }
    return r;
}

} // namespace

// Runs under a real X server: the module's own check looks for the host's
// window among the screen's top-level windows.
class TstVentanaQadelia : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tituloYMenus();
    void ayuda();
    void registroPorElDialogo();
    void dialogoRechazaRucNoValido();
    void sinSeleccion();
    void elModuloVeLaVentanaDelHost();
    void moduloQueFallaMuestraSuSalida();
    void noSeCierraConElModuloAbierto();
    void enviarDesdeLaVentana();

private:
    std::unique_ptr<BaseDePrueba> m_base;
    std::unique_ptr<EntornoPrueba> m_entorno;
    std::unique_ptr<Lanzador> m_lanzador;
    std::unique_ptr<VentanaPrincipal> m_ventana;
};

void TstVentanaQadelia::init()
{
    m_base = std::make_unique<BaseDePrueba>();
    QVERIFY(m_base->valida());
    m_entorno = std::make_unique<EntornoPrueba>();
    m_lanzador = std::make_unique<Lanzador>(m_base->mensajes(), m_entorno->programas());
    m_ventana = std::make_unique<VentanaPrincipal>(m_base->contexto(), *m_lanzador);
    m_ventana->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_ventana.get()));
}

void TstVentanaQadelia::cleanup()
{
    m_ventana.reset();
    m_lanzador.reset();
    m_entorno.reset();
    m_base.reset();
}

void TstVentanaQadelia::tituloYMenus()
{
    QCOMPARE(m_ventana->windowTitle(), QStringLiteral("Qadelia"));
    QCOMPARE(m_ventana->windowHandle()->title(), QStringLiteral("Qadelia"));
    QCOMPARE(titulosMenus(m_ventana->menuBar()),
        QStringList(
            { QStringLiteral("&Archivo"), QStringLiteral("&Contribuyentes"), QStringLiteral("&Módulos"),
                QStringLiteral("&Declaraciones"), QStringLiteral("Ay&uda") }));
    // The reports menu shows once it has a command, before the help.
    m_ventana->menuReportes()->addAction(QStringLiteral("&Spool"));
    QTRY_COMPARE(titulosMenus(m_ventana->menuBar()).size(), 6);
    QCOMPARE(titulosMenus(m_ventana->menuBar()).at(4), QStringLiteral("&Reportes"));
    // The launcher is a push button with the module's name on it.
    QCOMPARE(m_ventana->cmdModulo()->text(), QStringLiteral("Formulario &0517 - Zentorio"));
    QCOMPARE(m_ventana->cmdModulo()->accessibleName(), QStringLiteral("Formulario 0517 - Zentorio"));
    QVERIFY(m_ventana->cmdModulo()->isVisible());
}

// F1 opens the host's own help: every menu it has, this installation's
// folders and files, and how backups are kept and restored.
void TstVentanaQadelia::ayuda()
{
    m_ventana->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_ventana.get()));
    QTest::keyClick(m_ventana.get(), Qt::Key_F1);
    AyudaQadelia *ayuda = m_ventana->ventanaAyuda();
    QVERIFY(ayuda);
    QVERIFY(QTest::qWaitForWindowExposed(ayuda));
    QCOMPARE(ayuda->windowTitle(), QStringLiteral("Ayuda de Qadelia"));
    QVERIFY(!ayuda->isModal());
    const QString texto = ayuda->navegador()->toPlainText();
    m_ventana->menuReportes()->addAction(QStringLiteral("&Spool"));
    QTRY_COMPARE(titulosMenus(m_ventana->menuBar()).size(), 6);
    for (const QString &menu : titulosMenus(m_ventana->menuBar())) {
        const QString nombre = QString(menu).remove(u'&');
        QVERIFY2(texto.contains(nombre), qPrintable(nombre));
    }
    const Contexto &ctx = m_base->contexto();
    for (const QString &dato : { ctx.sRutaSistema, ctx.ubicacion.ruta,
             CopiasSeguridad(ctx.ubicacion.ruta, ctx.sRutaSistema).carpeta(), ArchivoIni::rutaPredeterminada(),
             QStringLiteral("las 10 más recientes"), QStringLiteral("Restaurar copia de seguridad") })
        QVERIFY2(texto.contains(dato), qPrintable(dato));
    // Once open, F1 brings the same window back.
    m_ventana->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_ventana.get()));
    QTest::keyClick(m_ventana.get(), Qt::Key_F1);
    QCOMPARE(m_ventana->ventanaAyuda(), ayuda);
}

void TstVentanaQadelia::registroPorElDialogo()
{
    enElDialogo([](DialogoContribuyente *d) {
        QVERIFY(d->esNuevo());
        d->txtRuc()->setText(QStringLiteral("20100047218"));
        d->txtNombre()->setText(QStringLiteral("D'ONOFRIO S.A."));
        d->accept();
    });
    m_ventana->accionAgregar()->trigger();
    QCOMPARE(m_base->mensajes().textos(), QStringList());
    QCOMPARE(m_ventana->filasContribuyentes(), 1);
    QCOMPARE(m_ventana->rucSeleccionado(), QStringLiteral("20100047218"));

    enElDialogo([](DialogoContribuyente *d) {
        QVERIFY(!d->esNuevo());
        QVERIFY(d->txtRuc()->isReadOnly());
        QCOMPARE(d->txtNombre()->text(), QStringLiteral("D'ONOFRIO S.A."));
        d->txtNombre()->setText(QStringLiteral("L'AIR D'ONOFRIO S.A."));
        d->accept();
    });
    m_ventana->accionModificar()->trigger();
    const QModelIndex nombre = m_ventana->grdContribuyentes()->model()->index(0, 1);
    QCOMPARE(nombre.data().toString(), QStringLiteral("L'AIR D'ONOFRIO S.A."));
    QCOMPARE(
        m_ventana->grdContribuyentes()->model()->index(0, 2).data().toString(), QStringLiteral("PRUEBA"));
    QCOMPARE(
        m_ventana->grdContribuyentes()->model()->index(0, 3).data().toString(), QStringLiteral("07/12/2026"));

    m_base->mensajes().responder(Respuesta::Si);
    m_ventana->accionEliminar()->trigger();
    QCOMPARE(m_ventana->filasContribuyentes(), 0);
    QCOMPARE(m_base->contar(QStringLiteral("CONT")), 0);
}

void TstVentanaQadelia::dialogoRechazaRucNoValido()
{
    bool seguiaAbierto = false;
    enElDialogo([&seguiaAbierto](DialogoContribuyente *d) {
        d->txtRuc()->setText(QStringLiteral("20100047219"));
        d->txtNombre()->setText(QStringLiteral("X"));
        d->accept();
        seguiaAbierto = d->isVisible();
        d->reject();
    });
    m_ventana->agregarContribuyente();
    QVERIFY(seguiaAbierto);
    QCOMPARE(m_base->mensajes().textos(), QStringList { QStringLiteral("El número de RUC no es válido.") });
    QCOMPARE(m_ventana->filasContribuyentes(), 0);
}

void TstVentanaQadelia::sinSeleccion()
{
    m_ventana->modificarContribuyente();
    m_ventana->eliminarContribuyente();
    QCOMPARE(m_base->mensajes().textos(), QStringList(2, QStringLiteral("Seleccione un contribuyente.")));
}

void TstVentanaQadelia::elModuloVeLaVentanaDelHost()
{
    // Stands in for the module: it ends well only when a visible top-level
    // window titled exactly "Qadelia" is on its screen, and it is started
    // with no arguments.
    QVERIFY(m_entorno->programa(QStringLiteral("kv517"),
        "[ $# -eq 0 ] || exit 5\n"
        "xwininfo -root -tree | grep -q '^ *0x[0-9a-f]* \"Qadelia\": (' || exit 4\n"
        "xwininfo -name Qadelia | grep -q 'Map State: IsViewable' || exit 3\n"));
    QSignalSpy terminado(m_lanzador.get(), &Lanzador::terminado);
    m_ventana->cmdModulo()->click();
    QVERIFY(terminado.wait(10000));
    QCOMPARE(m_base->mensajes().textos(), QStringList());
    QCOMPARE(terminado.first().at(1).toBool(), true);
    QVERIFY(m_ventana->isVisible());
}

void TstVentanaQadelia::moduloQueFallaMuestraSuSalida()
{
    QVERIFY(m_entorno->programa(QStringLiteral("kv517"),
        "echo 'Error al ejecutar el módulo: Debe ejecutar este módulo desde el Integrador del QDL' >&2\n"
        "exit 1"));
    QSignalSpy terminado(m_lanzador.get(), &Lanzador::terminado);
    m_ventana->accionModulo()->trigger();
    QVERIFY(terminado.wait(10000));
    QCOMPARE(m_base->mensajes().mostrados().size(), 1);
    const QString texto = m_base->mensajes().ultimo().texto;
    QVERIFY2(texto.contains(QStringLiteral("El programa kv517 terminó con el código de salida 1.")),
        qPrintable(texto));
    QVERIFY2(texto.contains(QStringLiteral("Debe ejecutar este módulo desde el Integrador del QDL")),
        qPrintable(texto));
}

void TstVentanaQadelia::noSeCierraConElModuloAbierto()
{
    QVERIFY(m_entorno->programa(QStringLiteral("kv517"), "sleep 2"));
    QSignalSpy terminado(m_lanzador.get(), &Lanzador::terminado);
    m_ventana->iniciarModulo();
    QVERIFY(m_lanzador->enEjecucion(QStringLiteral("kv517")));

    // A second start while it runs starts nothing.
    m_ventana->iniciarModulo();
    QVERIFY(!m_ventana->close());
    QVERIFY(m_ventana->isVisible());
    QCOMPARE(m_base->mensajes().textos(),
        QStringList({ QStringLiteral("El formulario 0517 ya se encuentra en ejecución."),
            QStringLiteral("Cierre primero el formulario 0517 antes de salir.") }));

    QVERIFY(terminado.wait(10000));
    QCOMPARE(terminado.size(), 1);
    QVERIFY(m_ventana->close());
}

QTEST_MAIN(TstVentanaQadelia)
#include "tst_ventanaqadelia.moc"

void TstVentanaQadelia::enviarDesdeLaVentana()
{
    // The real summary program, reading the test's KV000.INI.
    QVERIFY(QFile::link(qEnvironmentVariable("KV_BIN_DIR") + QStringLiteral("/kvr517"),
        m_entorno->programas() + QStringLiteral("/kvr517")));
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), m_base->carpeta());
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_entorno->raiz());
    m_lanzador->fijarEntorno(entorno);
    m_base->agregarContribuyente(QStringLiteral("20100070970"), QStringLiteral("AEROLINEA UNO"), QStringLiteral("PRUEBA"));
    m_base->ejecutar(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, rectifica, efectivo, "
                                    "cheque, estado) VALUES (6,'20100070970','200611','0517','0','5175',' ',0)"));

    // Choose the declaration, then close the summary's preview.
    QStringList vistas;
    QTimer atender;
    connect(&atender, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialogo = qobject_cast<DialogoEnvio *>(modal)) {
            vistas << QStringLiteral("envio %1 %2")
                          .arg(dialogo->filas())
                          .arg(dialogo->enviada().isEmpty() ? QStringLiteral("-")
                                                            : dialogo->enviada() + u' ' + dialogo->correlativo());
            dialogo->accept();
        } else if (auto *previa = qobject_cast<frmPreview *>(modal)) {
            vistas << QStringLiteral("previa ") + previa->sRut;
            previa->close();
        }
    });
    atender.start(50);
    m_ventana->accionEnviar()->trigger();
    atender.stop();

    QCOMPARE(vistas, (QStringList{QStringLiteral("envio 1 -"), QStringLiteral("previa 00000001.PRN")}));
    QCOMPARE(m_base->mensajes().textos(),
        QStringList{QStringLiteral("La declaración fue enviada con el correlativo 001 y el número de control ")
            + m_base->valor(QStringLiteral("SELECT control FROM HCAB")).toString() + u'.'});
    QCOMPARE(m_base->contar(QStringLiteral("SPOOL"), QStringLiteral("CodRep='ZEN002'")), 1);
    QCOMPARE(m_ventana->listaReportes()->filas(), 1);

    // Sent again: the list says when and under which correlative, and the
    // user is asked whether it rectifies the first.
    vistas.clear();
    m_base->mensajes().limpiar();
    m_base->mensajes().responder(Respuesta::Si);
    atender.start(50);
    m_ventana->accionEnviar()->trigger();
    atender.stop();
    QCOMPARE(vistas, (QStringList{QStringLiteral("envio 1 07/12/2026 001"), QStringLiteral("previa 00000002.PRN")}));
    const Mensaje pregunta = m_base->mensajes().mostrados().value(0);
    QCOMPARE(pregunta.botones, Botones::SiNoCancelar);
    QCOMPARE(pregunta.predeterminada, Respuesta::Cancelar);
    QVERIFY2(pregunta.texto.startsWith(QStringLiteral("La declaración del RUC 20100070970, periodo 11/2006, ya fue enviada "
                                                      "el 07/12/2026 con el correlativo 001.\n¿Es una declaración "
                                                      "rectificatoria?")),
             qPrintable(pregunta.texto));
    QCOMPARE(m_base->valor(QStringLiteral("SELECT rectifica FROM HCAB WHERE correl='002'")).toString(), QStringLiteral("1"));

    // Cancelled: nothing is sent.
    m_base->mensajes().limpiar();
    m_base->mensajes().responder(Respuesta::Cancelar);
    atender.start(50);
    m_ventana->accionEnviar()->trigger();
    atender.stop();
    QCOMPARE(m_base->contar(QStringLiteral("HCAB")), 2);
}
