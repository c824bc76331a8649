// The declarations list as the user meets it: captions and columns by
// action, the status bar following the current row, the two questions
// before a deletion, and the declaration window opened on the chosen row.
#include "declaracionesprueba.h"
#include "declist/frmabrirform.h"
#include "declist/modelodeclaraciones.h"
#include "store/ui/barraestadoqdl.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kAlfa = QStringLiteral("20100000001");
const QString kBeta = QStringLiteral("20100000002");

void poblar(BaseDePrueba &base)
{
    base.agregarContribuyente(kAlfa, QStringLiteral("ALFA S.A."), QStringLiteral("PRUEBA"));
    base.agregarContribuyente(kBeta, QStringLiteral("BETA E.I.R.L."), QStringLiteral("PRUEBA"));
    guardarDeclaracion(base, kAlfa, QStringLiteral("202403"), 9);
    guardarDeclaracion(base, kAlfa, QStringLiteral("202401"), 0);
    guardarDeclaracion(base, kBeta, QStringLiteral("202402"), 0);
    enviarDeclaracion(base, kAlfa, QStringLiteral("202401"), QStringLiteral("001"), 1, QStringLiteral("11111111"),
                      QStringLiteral("K1"));
    enviarDeclaracion(base, kBeta, QStringLiteral("202402"), QStringLiteral("003"), 1, QStringLiteral("22222222"),
                      QStringLiteral("K2"));
}

// A declaration window stand-in: records what it was opened with and opens
// nothing.
struct Aperturas
{
    QList<ParametrosVentana> hechas;

    void registrar(RegistroVentanas &registro)
    {
        registro.registrar(QStringLiteral("Formulario"), [this](const ParametrosVentana &p, QWidget *) {
            hechas << p;
            return std::unique_ptr<QDialog>();
        });
    }
};

struct Escena
{
    BaseDePrueba base;
    RegistroVentanas registro;
    Aperturas aperturas;
    BarradeEstadoQDL barra;
    std::unique_ptr<FrmAbrirForm> ventana;

    Escena(const QString &accion, bool historico, bool conDatos = true)
    {
        if (conDatos)
            poblar(base);
        aperturas.registrar(registro);
        base.contexto().ventanas = &registro;
        barra.setFormulario(QStringLiteral("0517"));
        ParametrosVentana p;
        p.nombre = QStringLiteral("ListaFormularios");
        p.accion = accion;
        p.historico = historico;
        ventana = std::make_unique<FrmAbrirForm>(base.contexto(), p, &barra);
        ventana->cargar();
    }

    void irAFila(int fila)
    {
        ventana->grdContrib()->setCurrentIndex(ventana->modelo()->index(fila, 0));
    }

    QStringList estado() const
    {
        return {barra.numdoc(), barra.razonsocial(), barra.periodo_ejercicio(), barra.formulario()};
    }
};

} // namespace

class TstFrmAbrirForm : public QObject
{
    Q_OBJECT

private slots:
    void textosYColumnasPorAccion_data()
    {
        QTest::addColumn<QString>("accion");
        QTest::addColumn<bool>("historico");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("indicacion");
        QTest::addColumn<QString>("boton");
        QTest::addColumn<QString>("marco");
        QTest::addColumn<int>("ayuda");
        QTest::addColumn<QList<int>>("visibles");
        const QList<int> guardadas{0, 1, 2, 3, 4};
        const QList<int> enviadas{0, 1, 2, 3, 5, 6, 7, 8, 9};
        QTest::newRow("modificar") << "MOD" << false << "Modificar Formulario"
                                   << "Seleccione la Declaración  que desea modificar :" << "&Modificar"
                                   << "Declaraciones Registradas" << 1012 << guardadas;
        QTest::newRow("eliminar guardada") << "DEL" << false << "Eliminar Formularios"
                                           << "Seleccione la Declaración que desea eliminar :" << "&Eliminar"
                                           << "Declaraciones Registradas" << 1012 << guardadas;
        QTest::newRow("eliminar enviada") << "DEL" << true << "Eliminar Formularios"
                                          << "Seleccione la Declaración que desea eliminar :" << "&Eliminar"
                                          << "Declaraciones Enviadas" << 1013 << enviadas;
        QTest::newRow("registrar orden") << "REG" << true << "Modificar Formulario"
                                         << "Seleccione la Declaración  que desea modificar :" << "&Aceptar"
                                         << "Declaraciones Enviadas" << 1013 << enviadas;
    }

    void textosYColumnasPorAccion()
    {
        QFETCH(QString, accion);
        QFETCH(bool, historico);
        QFETCH(QString, titulo);
        QFETCH(QString, indicacion);
        QFETCH(QString, boton);
        QFETCH(QString, marco);
        QFETCH(int, ayuda);
        QFETCH(QList<int>, visibles);
        Escena e(accion, historico);
        QCOMPARE(e.ventana->windowTitle(), titulo);
        QCOMPARE(e.ventana->Label1()->text(), indicacion);
        QCOMPARE(e.ventana->cmdOpciones(0)->text(), boton);
        QCOMPARE(e.ventana->cmdOpciones(1)->text(), QStringLiteral("&Salir"));
        QCOMPARE(e.ventana->fradecreg()->title(), marco);
        QCOMPARE(contextoAyuda(e.ventana.get()), ayuda);
        QList<int> mostradas;
        for (int c = 0; c < ModeloDeclaraciones::kColumnas; ++c) {
            if (!e.ventana->grdContrib()->isColumnHidden(c))
                mostradas << c;
        }
        QCOMPARE(mostradas, visibles);
    }

    void barraDeEstadoSigueLaFila()
    {
        Escena e(QStringLiteral("MOD"), false);
        // Order: taxpayer ascending, period descending.
        QCOMPARE(e.estado(), (QStringList{kAlfa, "ALFA S.A.", "03/2024", "0517"}));
        QCOMPARE(e.base.contexto().sPeriodo, QStringLiteral("202403"));

        e.irAFila(2);
        QCOMPARE(e.estado(), (QStringList{kBeta, "BETA E.I.R.L.", "02/2024", "0517"}));
        QCOMPARE(e.base.contexto().sRuc, kBeta);
        QCOMPARE(e.base.contexto().sRazonSocial, QStringLiteral("BETA E.I.R.L."));
        QCOMPARE(e.base.contexto().sPeriodo, QStringLiteral("202402"));

        e.ventana->cmdOpciones(1)->click();
        QCOMPARE(e.estado(), (QStringList{"", "", "", ""}));
        QCOMPARE(e.ventana->result(), int(QDialog::Rejected));
    }

    void preguntasAntesDeEliminar_data()
    {
        QTest::addColumn<QList<int>>("respuestas");
        QTest::addColumn<int>("preguntas");
        QTest::addColumn<bool>("eliminada");
        QTest::newRow("cancela la primera") << QList<int>{int(Respuesta::Cancelar)} << 1 << false;
        QTest::newRow("no a la segunda") << QList<int>{int(Respuesta::Aceptar), int(Respuesta::No)} << 2 << false;
        QTest::newRow("confirma") << QList<int>{int(Respuesta::Aceptar), int(Respuesta::Si)} << 2 << true;
    }

    void preguntasAntesDeEliminar()
    {
        QFETCH(QList<int>, respuestas);
        QFETCH(int, preguntas);
        QFETCH(bool, eliminada);
        Escena e(QStringLiteral("DEL"), false);
        e.irAFila(1); // ALFA 01/2024
        for (int r : respuestas)
            e.base.mensajes().responder(Respuesta(r));
        e.ventana->cmdOpciones(0)->click();

        const QList<Mensaje> &m = e.base.mensajes().mostrados();
        QCOMPARE(m.size(), preguntas);
        QCOMPARE(m.at(0).titulo, QStringLiteral("Eliminar Formulario"));
        QCOMPARE(m.at(0).texto, QStringLiteral("Se eliminarán todos los registros de la declaración "));
        QCOMPARE(m.at(0).icono, Icono::Exclamacion);
        QCOMPARE(m.at(0).botones, Botones::AceptarCancelar);
        QCOMPARE(m.at(0).predeterminada, Respuesta::Cancelar);
        if (preguntas > 1) {
            QCOMPARE(m.at(1).titulo, QStringLiteral("Eliminar Formularios"));
            QCOMPARE(m.at(1).texto, QStringLiteral("¿Confirma que va a eliminar la declaración?"));
            QCOMPARE(m.at(1).icono, Icono::Pregunta);
            QCOMPARE(m.at(1).botones, Botones::SiNo);
            QCOMPARE(m.at(1).predeterminada, Respuesta::No);
        }
        const QList<int> filas = filasDeclaracion(e.base, false, kAlfa, QStringLiteral("202401"));
        QCOMPARE(filas, eliminada ? (QList<int>{0, 0, 0, 0}) : (QList<int>{2, 1, 1, 1}));
        // The list is read again: the deleted row is gone and the one that
        // took its place is current and shown.
        QCOMPARE(e.ventana->modelo()->rowCount(), eliminada ? 2 : 3);
        QCOMPARE(e.ventana->grdContrib()->currentIndex().row(), 1);
        QCOMPARE(e.barra.numdoc(), eliminada ? kBeta : kAlfa);
        QVERIFY(e.aperturas.hechas.isEmpty());
    }

    void eliminacionFallidaDejaLaFila()
    {
        Escena e(QStringLiteral("DEL"), true);
        e.base.agregarFalla(QStringLiteral("no_borrar"), QStringLiteral("DELETE"), QStringLiteral("HF517DETVP"),
                            QStringLiteral("fila protegida"));
        e.base.mensajes().responder(Respuesta::Aceptar);
        e.base.mensajes().responder(Respuesta::Si);
        e.ventana->cmdOpciones(0)->click();
        QCOMPARE(e.base.mensajes().mostrados().size(), 3);
        QCOMPARE(e.base.mensajes().ultimo().titulo, QStringLiteral("Error al Ejecutar Sentencia SQL"));
        QCOMPARE(e.ventana->modelo()->rowCount(), 2);
        QCOMPARE(filasDeclaracion(e.base, true, kAlfa, QStringLiteral("202401"), QStringLiteral("001")),
                 (QList<int>{1, 1, 1, 1}));
    }

    void abreLaDeclaracion_data()
    {
        QTest::addColumn<QString>("accion");
        QTest::addColumn<bool>("historico");
        QTest::addColumn<QString>("como"); // boton, enter, doble
        QTest::addColumn<QString>("correl");
        QTest::addColumn<QString>("orden");
        QTest::addColumn<QString>("control");
        QTest::newRow("modificar con el boton") << "MOD" << false << "boton" << "" << "" << "";
        QTest::newRow("modificar con Enter") << "MOD" << false << "enter" << "" << "" << "";
        QTest::newRow("registrar con doble clic") << "REG" << true << "doble" << "003" << "22222222" << "K2";
        QTest::newRow("registrar con Enter") << "REG" << true << "enter" << "003" << "22222222" << "K2";
    }

    void abreLaDeclaracion()
    {
        QFETCH(QString, accion);
        QFETCH(bool, historico);
        QFETCH(QString, como);
        QFETCH(QString, correl);
        QFETCH(QString, orden);
        QFETCH(QString, control);
        Escena e(accion, historico);
        e.ventana->show();
        // Becoming active reads the list again; that is over before the user acts.
        QVERIFY(QTest::qWaitForWindowActive(e.ventana.get()));
        const int ultima = e.ventana->modelo()->rowCount() - 1;
        e.irAFila(ultima); // BETA
        QTableView *grilla = e.ventana->grdContrib();
        if (como == u"boton") {
            e.ventana->cmdOpciones(0)->click();
        } else if (como == u"enter") {
            grilla->setFocus();
            QTest::keyClick(grilla, Qt::Key_Return);
        } else {
            const QRect celda = grilla->visualRect(e.ventana->modelo()->index(ultima, 0));
            // A widget gets the first click of a double click on its own.
            QTest::mouseClick(grilla->viewport(), Qt::LeftButton, {}, celda.center());
            QTest::mouseDClick(grilla->viewport(), Qt::LeftButton, {}, celda.center());
        }

        QCOMPARE(e.aperturas.hechas.size(), 1);
        const ParametrosVentana p = e.aperturas.hechas.first();
        QCOMPARE(p.nombre, QStringLiteral("Formulario"));
        QCOMPARE(p.accion, accion);
        QCOMPARE(p.historico, historico);
        QCOMPARE(p.texto, correl);
        QCOMPARE(p.numOrden, orden);
        QCOMPARE(p.numControl, control);
        QCOMPARE(e.base.contexto().sRuc, kBeta);
        QCOMPARE(e.base.contexto().sPeriodo, QStringLiteral("202402"));
        // Back on the same row once the declaration window has closed.
        QCOMPARE(grilla->currentIndex().row(), ultima);
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
    }

    void listaVaciaNoHaceNada()
    {
        Escena e(QStringLiteral("DEL"), false, false);
        QVERIFY(!e.ventana->grdContrib()->isEnabled());
        e.ventana->cmdOpciones(0)->click();
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
        QVERIFY(e.aperturas.hechas.isEmpty());
        QCOMPARE(e.estado(), (QStringList{"", "", "", "0517"}));
    }

    void seAbrePorNombre()
    {
        BaseDePrueba base;
        poblar(base);
        RegistroVentanas registro;
        BarradeEstadoQDL barra;
        registrarVentanasListaFormularios(registro, base.contexto(), &barra);
        QString titulo;
        int filas = -1;
        QTimer::singleShot(0, [&] {
            auto *lista = qobject_cast<FrmAbrirForm *>(QApplication::activeModalWidget());
            if (!lista)
                return;
            titulo = lista->windowTitle();
            filas = lista->modelo()->rowCount();
            lista->reject();
        });
        QVERIFY(registro.AbrirVentana(QStringLiteral("ListaFormularios"), QStringLiteral("DEL"), true));
        QCOMPARE(titulo, QStringLiteral("Eliminar Formularios"));
        QCOMPARE(filas, 2);
    }
};

QTEST_MAIN(TstFrmAbrirForm)
#include "tst_frmabrirform.moc"
