// The main window: what each menu item and toolbar button opens, the status
// bar around the commands, the fixed frame, the ways out, the bank and about
// windows, and the help (contents, F1 at the window's topic, F1 inside a
// modal window, a missing help file).
#include "app/arranque.h"
#include "app/ayuda.h"
#include "app/frmacercade.h"
#include "app/frmconsultas.h"
#include "app/mdifrm.h"
#include "store/ui/barraestadoqdl.h"
#include "store/ui/listas.h"
#include "store/ui/ventanas.h"
#include "support/basedeprueba.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QStatusTipEvent>
#include <QToolBar>

using namespace kv;
using namespace kv::prueba;

namespace {

const QStringList kNombres = {QStringLiteral("Formulario"), QStringLiteral("ListaFormularios"),
                              QStringLiteral("ListaImprimirFormularios")};

// What a window was opened with, and what the status bar showed then.
struct Apertura
{
    ParametrosVentana p;
    QWidget *padre = nullptr;
    QStringList barra;
};

struct Escena
{
    BaseDePrueba base;
    RegistroVentanas registro;
    QList<Apertura> aperturas;
    std::unique_ptr<MDIFrm> ventana;

    explicit Escena(const QStringList &registrados = kNombres)
    {
        for (const QString &nombre : registrados) {
            registro.registrar(nombre, [this](const ParametrosVentana &p, QWidget *padre) {
                BarradeEstadoQDL *b = ventana->barraEstado();
                aperturas << Apertura{p, padre, {b->numdoc(), b->razonsocial(), b->periodo_ejercicio(), b->formulario()}};
                return std::unique_ptr<QDialog>();
            });
        }
        base.contexto().ventanas = &registro;
        ventana = std::make_unique<MDIFrm>(base.contexto());
    }

    // The loading of the window on the test installation, with the help
    // file where the host puts it.
    bool cargar(bool conAyuda = true)
    {
        if (conAyuda) {
            QDir(base.carpeta()).mkpath(QStringLiteral("0517"));
            QFile::copy(qEnvironmentVariable("KV_SOURCE_DIR") + QStringLiteral("/src/app/kv517.hlp"),
                        base.carpeta() + QStringLiteral("0517/kv517.hlp"));
        }
        base.contexto().sArchivoAyuda = QStringLiteral("kv517.hlp");
        Arranque arranque(base.contexto());
        return ventana->cargar(arranque);
    }

    QAction *accion(const QString &nombre) const { return ventana->findChild<QAction *>(nombre); }

    void ensuciarBarra()
    {
        BarradeEstadoQDL *b = ventana->barraEstado();
        b->setNumdoc(QStringLiteral("20100000001"));
        b->setRazonsocial(QStringLiteral("ALFA S.A."));
        b->setPeriodo_ejercicio(QStringLiteral("03/2024"));
        b->setFormulario(QString());
    }

    QStringList barra() const
    {
        BarradeEstadoQDL *b = ventana->barraEstado();
        return {b->numdoc(), b->razonsocial(), b->periodo_ejercicio(), b->formulario()};
    }
};

// Runs `accion` on the modal window the next command opens, then closes it.
template<typename T, typename F>
void alAbrirse(F accion)
{
    QTimer::singleShot(0, [accion] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            accion(w);
            w->close();
        }
    });
}

} // namespace

class TstMdiFrm : public QObject
{
    Q_OBJECT

private slots:
    void comandos_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("ventana");
        QTest::addColumn<QString>("accion");
        QTest::addColumn<bool>("historico");
        QTest::newRow("mnuNueva") << "mnuNueva" << "Formulario" << "NEW" << false;
        QTest::newRow("mnuModificar") << "mnuModificar" << "ListaFormularios" << "MOD" << false;
        QTest::newRow("mnuEliminar") << "mnuEliminar" << "ListaFormularios" << "DEL" << false;
        QTest::newRow("mnuImprimir") << "mnuImprimir" << "ListaImprimirFormularios" << "IMP" << false;
        QTest::newRow("mnuRegistrar") << "mnuRegistrar" << "ListaFormularios" << "REG" << true;
        QTest::newRow("mnuEliminarE") << "mnuEliminarE" << "ListaFormularios" << "DEL" << true;
        QTest::newRow("mnuImprimirE") << "mnuImprimirE" << "ListaImprimirFormularios" << "IMP" << true;
        QTest::newRow("boton 1") << "Toolbar1_1" << "Formulario" << "NEW" << false;
        QTest::newRow("boton 2") << "Toolbar1_2" << "ListaFormularios" << "MOD" << false;
        QTest::newRow("boton 3") << "Toolbar1_3" << "ListaFormularios" << "DEL" << false;
        QTest::newRow("boton 4") << "Toolbar1_4" << "ListaImprimirFormularios" << "IMP" << false;
        QTest::newRow("boton 7") << "Toolbar1_7" << "ListaFormularios" << "REG" << true;
    }

    void comandos()
    {
        QFETCH(QString, control);
        QFETCH(QString, ventana);
        QFETCH(QString, accion);
        QFETCH(bool, historico);
        Escena e;
        e.ensuciarBarra();
        QAction *a = e.accion(control);
        QVERIFY(a);
        a->trigger();
        QCOMPARE(e.aperturas.size(), 1);
        const Apertura &hecha = e.aperturas.first();
        QCOMPARE(hecha.p.nombre, ventana);
        QCOMPARE(hecha.p.accion, accion);
        QCOMPARE(hecha.p.historico, historico);
        QCOMPARE(hecha.p.texto, QString());
        QCOMPARE(hecha.padre, e.ventana.get());
        // Only the form number until a declaration is chosen.
        QCOMPARE(hecha.barra, (QStringList{"", "", "", "0517"}));
    }

    void botonesSinAccion()
    {
        Escena e;
        QSignalSpy fin(e.ventana.get(), &MDIFrm::terminar);
        e.ensuciarBarra();
        const QList<QAction *> botones = e.ventana->Toolbar1()->actions();
        QStringList etiquetas;
        for (QAction *a : botones)
            etiquetas << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(etiquetas, (QStringList{"Nueva", "Modifcar", "Eliminar", "Imprimir", "Salir", "-",
                                         "Numero de orden", "-", "", "Ayuda"}));
        for (int posicion : {6, 8, 9})
            botones.at(posicion - 1)->trigger();
        QVERIFY(e.aperturas.isEmpty());
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
        QCOMPARE(fin.count(), 0);
        QCOMPARE(e.barra(), (QStringList{"20100000001", "ALFA S.A.", "03/2024", ""}));
        QVERIFY(e.base.db().isOpen());
    }

    void nombreSinRegistrarNoAbreNada()
    {
        Escena e({QStringLiteral("Formulario")});
        e.accion(QStringLiteral("mnuImprimir"))->trigger();
        e.accion(QStringLiteral("mnuModificar"))->trigger();
        QVERIFY(e.aperturas.isEmpty());
        e.accion(QStringLiteral("mnuNueva"))->trigger();
        QCOMPARE(e.aperturas.size(), 1);
    }

    void cargaYBarraInicial()
    {
        Escena e;
        e.ensuciarBarra();
        e.base.contexto().sFormulario = QStringLiteral("9999");
        QVERIFY(e.cargar());
        QCOMPARE(e.base.contexto().sFormulario, QStringLiteral("0517"));
        QCOMPARE(e.barra(), (QStringList{"", "", "", "0517"}));
        QCOMPARE(e.ventana->barraEstado()->esruc(), 1);
        QCOMPARE(e.ventana->ayuda()->archivo(), e.base.carpeta() + QStringLiteral("0517/kv517.hlp"));
        QVERIFY(e.ventana->isVisible());
        QVERIFY(e.base.db().isOpen());
    }

    void cargaFallidaPorLaBase()
    {
        Escena e;
        QFile::setPermissions(e.base.rutaBase(), QFile::ReadOwner);
        const bool cargada = e.cargar(false);
        QFile::setPermissions(e.base.rutaBase(), QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(!cargada);
        QCOMPARE(e.base.mensajes().textos(), QStringList{QStringLiteral(" 3051- Base esta bloqueda")});
    }

    void marcoFijo()
    {
        Escena e;
        MDIFrm *w = e.ventana.get();
        QCOMPARE(w->windowTitle(), QStringLiteral("0517 QDL Zentorio  - v 1.0"));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->width(), twipsAPixeles(w, 9555));
        QCOMPARE(w->height(), twipsAPixeles(w, 7320));
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
        w->show();
        w->setWindowState(Qt::WindowMaximized);
        QTRY_VERIFY(!(w->windowState() & Qt::WindowMaximized));
    }

    void ratonLimpiaLaBarra_data()
    {
        QTest::addColumn<QString>("zona");
        QTest::newRow("Picture1") << "Picture1";
        QTest::newRow("area libre") << "areaLibre";
    }

    void ratonLimpiaLaBarra()
    {
        QFETCH(QString, zona);
        Escena e;
        e.ensuciarBarra();
        QWidget *w = e.ventana->findChild<QWidget *>(zona);
        QVERIFY(w);
        QMouseEvent movimiento(QEvent::MouseMove, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                               Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &movimiento);
        QCOMPARE(e.barra(), (QStringList{"", "", "", "0517"}));
    }

    // The form number stays in the status bar while a declaration is open,
    // whatever status tip passes (the pointer over the toolbar), and again
    // once a window that emptied it on closing has gone.
    void numeroDeFormularioSiempre()
    {
        Escena e(QStringList{});
        QStringList durante;
        e.registro.registrar(QStringLiteral("Formulario"), [&e, &durante](const ParametrosVentana &, QWidget *padre) {
            auto declaracion = std::make_unique<QDialog>(padre);
            QTimer::singleShot(0, declaracion.get(), [&e, &durante, d = declaracion.get()] {
                BarradeEstadoQDL *barra = e.ventana->barraEstado();
                QStatusTipEvent tip(QStringLiteral("Modifcar"));
                QApplication::sendEvent(e.ventana.get(), &tip);
                durante << (barra->isVisibleTo(e.ventana.get()) ? barra->textoMostrado(QStringLiteral("formulario"))
                                                                 : QStringLiteral("(oculta)"));
                // As the declaration window leaves the bar when it unloads.
                barra->setFormulario(QString());
                d->reject();
            });
            return declaracion;
        });
        QVERIFY(e.cargar());
        e.accion(QStringLiteral("mnuNueva"))->trigger();
        QCOMPARE(durante, QStringList{QStringLiteral("Formulario: 0517")});
        QCOMPARE(e.ventana->barraEstado()->textoMostrado(QStringLiteral("formulario")), QStringLiteral("Formulario: 0517"));
    }

    void salidas_data()
    {
        QTest::addColumn<QString>("como");
        QTest::addColumn<bool>("cierraLaVentana");
        QTest::newRow("menu Salir") << "mnuSalir" << true;
        QTest::newRow("boton Salir") << "Toolbar1_5" << false;
        QTest::newRow("marco") << "marco" << true;
    }

    void salidas()
    {
        QFETCH(QString, como);
        QFETCH(bool, cierraLaVentana);
        Escena e;
        e.ventana->show();
        QSignalSpy fin(e.ventana.get(), &MDIFrm::terminar);
        if (como == u"marco")
            e.ventana->close();
        else
            e.accion(como)->trigger();
        QCOMPARE(fin.count(), 1);
        QVERIFY(!QSqlDatabase::contains(e.base.contexto().conexion));
        QCOMPARE(!e.ventana->isVisible(), cierraLaVentana);
    }

    void bancos_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QStringList>("listados");
        QTest::newRow("sin el codigo 00") << QStringList{"00", "11", "02"} << QStringList{"02", "11"};
        QTest::newRow("sin bancos") << QStringList{"00"} << QStringList{};
    }

    void bancos()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QStringList, listados);
        Escena e;
        for (const QString &a : argumentos)
            e.base.ejecutar(QStringLiteral("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('004',?,?)"),
                            {a, QStringLiteral("BANCO ") + a});
        QString titulo;
        QStringList codigos;
        bool habilitada = true;
        int ayuda = 0;
        alAbrirse<FrmConsultas>([&](FrmConsultas *c) {
            titulo = c->windowTitle();
            for (int f = 0; f < c->modelo()->rowCount(); ++f)
                codigos << c->modelo()->data(c->modelo()->index(f, 0)).toString();
            habilitada = c->grdBancos()->isEnabled();
            ayuda = contextoAyuda(c);
        });
        e.accion(QStringLiteral("mnuBancos"))->trigger();
        QCOMPARE(titulo, QStringLiteral("Consulta de Bancos"));
        QCOMPARE(codigos, listados);
        QCOMPARE(habilitada, !listados.isEmpty());
        QCOMPARE(ayuda, 1011);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void acercaDe()
    {
        Escena e;
        QString titulo;
        QString version;
        alAbrirse<frmAcercade>([&](frmAcercade *a) {
            titulo = a->windowTitle();
            version = a->txtVersion()->text();
        });
        e.accion(QStringLiteral("mnuAcerca"))->trigger();
        QCOMPARE(titulo, QStringLiteral("Acerca de Qadelia "));
        QCOMPARE(version, QStringLiteral("Versión 1.0"));
    }

    void archivoDeAyudaConCadaTema_data()
    {
        QTest::addColumn<int>("tema");
        for (int n : {1003, 1011, 1012, 1013, 1014, 1015, 1016, 1021})
            QTest::newRow(qPrintable(QString::number(n))) << n;
    }

    void archivoDeAyudaConCadaTema()
    {
        QFETCH(int, tema);
        QFile archivo(qEnvironmentVariable("KV_BIN_DIR") + QStringLiteral("/kv517.hlp"));
        QVERIFY2(archivo.open(QIODevice::ReadOnly), qPrintable(archivo.fileName()));
        const QString html = QString::fromUtf8(archivo.readAll());
        QCOMPARE(html.count(QStringLiteral("<a name=\"%1\"></a>").arg(tema)), 1);
    }

    void ayudaDesdeMenuBotonYF1()
    {
        Escena e;
        QVERIFY(e.cargar());
        e.accion(QStringLiteral("mnuContenido"))->trigger();
        VentanaAyuda *ayuda = e.ventana->ayuda()->ventana();
        QVERIFY(ayuda && ayuda->isVisible());
        QCOMPARE(ayuda->temaMostrado(), 0);
        QVERIFY(ayuda->navegador()->toPlainText().contains(QStringLiteral("Ventana principal")));
        ayuda->close();

        e.accion(QStringLiteral("Toolbar1_10"))->trigger();
        QVERIFY(e.ventana->ayuda()->ventana()->isVisible());
        QCOMPARE(e.ventana->ayuda()->ventana()->temaMostrado(), 0);
        e.ventana->ayuda()->ventana()->close();

        QWidget *imagen = e.ventana->findChild<QWidget *>(QStringLiteral("Picture1"));
        e.ventana->activateWindow();
        imagen->setFocus();
        QTest::keyClick(imagen, Qt::Key_F1);
        QVERIFY(e.ventana->ayuda()->ventana()->isVisible());
        QCOMPARE(e.ventana->ayuda()->ventana()->temaMostrado(), 1003);
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
    }

    void f1DentroDeUnaVentanaModal()
    {
        Escena e;
        QVERIFY(e.cargar());
        // A declarations-list stand-in: modal, with its own topic.
        e.registro.registrar(QStringLiteral("ListaFormularios"), [](const ParametrosVentana &, QWidget *padre) {
            auto d = std::make_unique<QDialog>(padre);
            fijarContextoAyuda(d.get(), 1013);
            auto *campo = new QLineEdit(d.get());
            campo->setObjectName(QStringLiteral("campo"));
            return d;
        });
        int tema = 0;
        bool visible = false;
        bool hijaDeLaModal = false;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            QWidget *campo = modal->findChild<QWidget *>(QStringLiteral("campo"));
            campo->setFocus();
            QTest::keyClick(campo, Qt::Key_F1);
            VentanaAyuda *ayuda = e.ventana->ayuda()->ventana();
            tema = ayuda ? ayuda->temaMostrado() : -1;
            visible = ayuda && ayuda->isVisible();
            // A child of the modal window is the one window it lets the user use.
            hijaDeLaModal = ayuda && ayuda->parentWidget() == modal;
            modal->close();
        });
        e.accion(QStringLiteral("mnuRegistrar"))->trigger();
        QCOMPARE(tema, 1013);
        QVERIFY(visible);
        QVERIFY(hijaDeLaModal);
        // F1 later on the main window opens the help there again.
        QTest::keyClick(e.ventana->findChild<QWidget *>(QStringLiteral("Picture1")), Qt::Key_F1);
        QCOMPARE(e.ventana->ayuda()->ventana()->parentWidget(), e.ventana.get());
    }

    void sinArchivoDeAyuda()
    {
        Escena e;
        QVERIFY(e.cargar(false));
        e.accion(QStringLiteral("mnuContenido"))->trigger();
        QCOMPARE(e.ventana->ayuda()->ventana(), nullptr);
        QCOMPARE(e.base.mensajes().mostrados().size(), 1);
        const Mensaje m = e.base.mensajes().ultimo();
        QCOMPARE(m.titulo, QStringLiteral("0517 QDL Zentorio  - v 1.0"));
        QCOMPARE(m.texto, QStringLiteral("No se encontró el archivo de ayuda:\n") + e.base.carpeta()
                              + QStringLiteral("0517/kv517.hlp"));
        QCOMPARE(m.icono, Icono::Exclamacion);
    }
};

QTEST_MAIN(TstMdiFrm)
#include "tst_mdifrm.moc"
