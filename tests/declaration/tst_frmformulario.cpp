// The declaration window as the user meets it in each mode: what it shows
// on opening, the flight buttons and the windows they open, the checks of
// the identification tab, and closing with its questions.
#include "declaracionprueba.h"
#include "declaration/frmformulario.h"
#include "declaration/frmresumenmes.h"
#include "declaration/grillavuelos.h"
#include "reports/ui/frmconsist.h"
#include "reports/ui/ventanasreportes.h"
#include "store/ui/barraestadoqdl.h"
#include "store/ui/formadepagoqdl.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

const QString kYaExiste = QStringLiteral("El formulario que desea ingresar ya existe, elija la opción "
                                         "Modificar formularios o corrija el período..!!");

struct Escena
{
    BaseDePrueba base;
    RegistroVentanas registro;
    BarradeEstadoQDL barra;
    QList<ParametrosVentana> aperturas;
    std::unique_ptr<frmFormulario> ventana;

    // `vuelos` < 0: nothing stored.
    explicit Escena(int vuelos = 40)
    {
        if (vuelos >= 0)
            guardarDeclaracionCompleta(base, vuelos);
        else
            base.agregarContribuyente(kRuc, kRazon, QStringLiteral("PRUEBA"));
        base.contexto().ventanas = &registro;
        // The flight window stand-in: records how it was opened and, for a
        // new flight, saves one as the real window does in its loop.
        registro.registrar(QStringLiteral("Detalle"), [this](const ParametrosVentana &p, QWidget *) {
            aperturas << p;
            if (p.accion == u"NEW") {
                guardarVuelos(base, QStringLiteral("TMPF517DETVP"), 1, {}, base.contexto().sRuc,
                              base.contexto().sPeriodo);
                if (p.alGrabar)
                    p.alGrabar();
            }
            return std::unique_ptr<QDialog>();
        });
    }

    frmFormulario &abrir(const QString &accion, bool historico = false)
    {
        Contexto &ctx = base.contexto();
        elegirDeclaracion(ctx);
        ParametrosVentana p;
        p.nombre = QStringLiteral("Formulario");
        p.accion = accion;
        p.historico = historico;
        if (historico) {
            p.texto = QStringLiteral("001");
            p.numOrden = QStringLiteral("12345678");
            p.numControl = QStringLiteral("C0001");
        }
        ventana = std::make_unique<frmFormulario>(ctx, p, &barra);
        ventana->cargar();
        ventana->show();
        return *ventana;
    }

    int filas() const { return ventana->modeloVuelos()->rowCount(); }
    QString celda(int fila, int columna) const
    {
        return ventana->modeloVuelos()->index(fila, columna).data().toString();
    }
};

// Validates, and in the consistency report that opens chooses the finding
// of line `linea`, by Enter or by a double click; the report's lines come
// back in `lineas`.
void validarYElegir(frmFormulario &v, int linea, bool dobleClic, QStringList &lineas)
{
    QTimer::singleShot(0, &v, [&] {
        auto *reporte = qobject_cast<FrmConsist *>(QApplication::activeModalWidget());
        if (!reporte)
            return;
        QPlainTextEdit *texto = reporte->TxtPreliminar();
        lineas = texto->toPlainText().split(u'\n', Qt::SkipEmptyParts);
        QTextCursor cursor(texto->document()->findBlockByNumber(linea));
        if (dobleClic) {
            QTest::mouseDClick(texto->viewport(), Qt::LeftButton, {}, texto->cursorRect(cursor).center());
        } else {
            texto->setTextCursor(cursor);
            QTest::keyClick(texto, Qt::Key_Return);
        }
    });
    v.cmdValidar()->click();
}

} // namespace

class TstFrmFormulario : public QObject
{
    Q_OBJECT

private slots:
    void abrirNueva()
    {
        Escena e(-1);
        frmFormulario &v = e.abrir(Declaracion::kNueva);
        QCOMPARE(v.windowTitle(), QStringLiteral("Declaración Formulario 0517"));
        QVERIFY(v.CmbRuc()->isVisible() && v.CmbRuc()->isEnabled());
        QVERIFY(v.TxtNumRuc()->isHidden());
        QCOMPARE(v.CmbRuc()->count(), 1);
        QCOMPARE(v.CmbRuc()->currentIndex(), -1);
        QVERIFY(v.CmbRuc()->itemText(0).startsWith(kRuc + QStringLiteral("  ") + kRazon));
        QCOMPARE(v.txtValor(QStringLiteral("395"))->text(), QStringLiteral("0"));
        QCOMPARE(v.txtValor(QStringLiteral("396"))->text(), QStringLiteral("0"));
        QCOMPARE(v.FormaDePagoQDL1()->formapago(), QStringLiteral("X"));
        QCOMPARE(e.base.contexto().sPeriodo, QString());
        QCOMPARE(e.barra.numdoc(), QString());
        QCOMPARE(e.barra.formulario(), QStringLiteral("0517"));
        QVERIFY(v.frmOrden()->isHidden());
        QVERIFY(!v.modificado());
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
    }

    // The rows a closed window left behind are not the next one's.
    void nuevaDosVecesEmpiezaVacia()
    {
        Escena e(-1);
        frmFormulario &v = e.abrir(Declaracion::kNueva);
        v.cmdAccion(0)->click();
        QCOMPARE(e.filas(), 1); // the saved flight shows while the window is still open
        QVERIFY(v.modificado());
        e.base.mensajes().responder(Respuesta::No);
        v.CmdCancelar()->click();
        QVERIFY(!v.isVisible());
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP")), 1);

        frmFormulario &otra = e.abrir(Declaracion::kNueva);
        QCOMPARE(e.filas(), 0);
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP")), 0);
        QVERIFY(!otra.modificado());
    }

    void abrirGuardada()
    {
        Escena e;
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        QVERIFY(v.CmbRuc()->isHidden());
        QCOMPARE(v.TxtNumRuc()->text(), kRuc);
        QVERIFY(!v.TxtNumRuc()->isEnabled() && !v.MkePeriodo()->isEnabled() && !v.TxtRazon()->isEnabled());
        QCOMPARE(v.TxtRazon()->text(), kRazon);
        QCOMPARE(v.MkePeriodo()->displayText(), QStringLiteral("03/2024"));
        QCOMPARE(v.TxtTelefono()->text(), QStringLiteral("4451234"));
        // The stored rectification is applied without its reminder.
        QVERIFY(v.OptRectifica(1)->isChecked());
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
        QCOMPARE(v.txtValor(QStringLiteral("397"))->text(), QStringLiteral("3.450"));
        QCOMPARE(v.txtValor(QStringLiteral("402"))->text(), QStringLiteral("(500)"));
        QCOMPARE(v.txtImpSoles()->text(), v.txtValor(QStringLiteral("401"))->text());
        QVERIFY(v.txtValor(QStringLiteral("390"))->isReadOnly());
        QVERIFY(!v.txtValor(QStringLiteral("405"))->isReadOnly());
        QCOMPARE(v.FormaDePagoQDL1()->formapago(), QStringLiteral("C"));
        QCOMPARE(v.FormaDePagoQDL1()->banco(), QStringLiteral("05"));
        QCOMPARE(v.FormaDePagoQDL1()->importe(), QStringLiteral("246,565"));
        QCOMPARE(e.barra.numdoc(), kRuc);
        QVERIFY(!v.modificado());

        QCOMPARE(e.filas(), 40);
        QCOMPARE(e.celda(0, Declaracion::kFecArribo), QStringLiteral("31/03/2024"));
        QCOMPARE(e.celda(0, Declaracion::kMtoDolar), QStringLiteral("1,500"));
        QCOMPARE(e.celda(39, Declaracion::kFecArribo), QStringLiteral("01/03/2024"));
        QCOMPARE(v.grdDetalle()->model()->headerData(10, Qt::Horizontal).toString(),
                 QStringLiteral("Cuantía del Impuesto ( $ )"));
    }

    void botonesDeVuelos()
    {
        Escena e;
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        v.grdDetalle()->setCurrentIndex(v.grdDetalle()->model()->index(2, 0));
        const QString codigo = e.celda(2, Declaracion::kCodVuelo);
        v.cmdAccion(1)->click();
        QCOMPARE(e.aperturas.size(), 1);
        const ParametrosVentana &p = e.aperturas.first();
        QCOMPARE(p.accion, QStringLiteral("MOD"));
        QCOMPARE(p.periodoMostrado, QStringLiteral("03/2024"));
        QCOMPARE(p.fila.value(QStringLiteral("cod_vuelo")).toString(), codigo);
        QCOMPARE(p.fila.value(QStringLiteral("fec_arribo")).toDate(), QDate(2024, 3, 30));
        QCOMPARE(p.fila.value(QStringLiteral("num_afectos")).toString(), QStringLiteral("101"));
        QCOMPARE(v.grdDetalle()->currentIndex().row(), 2);

        e.base.mensajes().responder(Respuesta::Si);
        v.cmdAccion(2)->click();
        const Mensaje pregunta = e.base.mensajes().ultimo();
        QCOMPARE(pregunta.texto, QStringLiteral("¿Esta seguro de eliminar el vuelo?"));
        QCOMPARE(pregunta.predeterminada, Respuesta::No);
        QCOMPARE(e.filas(), 39);
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP"), QStringLiteral("cod_vuelo=?"), {codigo}), 0);
        QVERIFY(v.modificado());

        // Rows, but none chosen: neither button acts.
        e.base.mensajes().limpiar();
        v.grdDetalle()->setCurrentIndex(QModelIndex());
        v.cmdAccion(1)->click();
        v.cmdAccion(2)->click();
        QCOMPARE(e.base.mensajes().textos(), QStringList(2, QStringLiteral("Tiene que Seleccionar un registro")));
        QCOMPARE(e.aperturas.size(), 1);
        QCOMPARE(e.filas(), 39);
    }

    // A long list shows its first rows at once and the rest while the
    // window is in use; a refresh keeps the current row past the first ones.
    void listaLarga()
    {
        Escena e(600);
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        // A server hands the whole result at once; the file is read as the
        // grid needs it.
        if (e.base.motor() == Motor::SQLite)
            QVERIFY(e.filas() < 600);
        QTRY_COMPARE(e.filas(), 600);
        v.grdDetalle()->setCurrentIndex(v.grdDetalle()->model()->index(550, 0));
        e.base.mensajes().responder(Respuesta::No);
        v.cmdAccion(2)->click();
        QCOMPARE(v.grdDetalle()->currentIndex().row(), 550);
        QTRY_COMPARE(e.filas(), 600);
    }

    // Looking is not changing: keys that only move leave the declaration
    // unmodified; the keys the field's filter judges mark it, taken or
    // dropped.
    void mirarNoModifica_data()
    {
        QTest::addColumn<QString>("accion");
        QTest::addColumn<QString>("campo");
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("modificadores");
        QTest::addColumn<bool>("modificada");
        const QString mod = QStringLiteral("MOD");
        const QString nueva = QStringLiteral("NEW");
        const QString tel = QStringLiteral("TxtTelefono");
        const QString per = QStringLiteral("MkePeriodo");
        QTest::newRow("telephone, Tab") << mod << tel << int(Qt::Key_Tab) << 0 << false;
        QTest::newRow("telephone, Shift+Tab") << mod << tel << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << false;
        QTest::newRow("telephone, Left") << mod << tel << int(Qt::Key_Left) << 0 << false;
        QTest::newRow("telephone, Home") << mod << tel << int(Qt::Key_Home) << 0 << false;
        QTest::newRow("telephone, End") << mod << tel << int(Qt::Key_End) << 0 << false;
        QTest::newRow("telephone, Shift") << mod << tel << int(Qt::Key_Shift) << 0 << false;
        QTest::newRow("telephone, Shift+Left") << mod << tel << int(Qt::Key_Left) << int(Qt::ShiftModifier) << false;
        QTest::newRow("telephone, Ctrl+C") << mod << tel << int(Qt::Key_C) << int(Qt::ControlModifier) << false;
        QTest::newRow("telephone, a digit") << mod << tel << int(Qt::Key_5) << 0 << true;
        QTest::newRow("telephone, a letter dropped") << mod << tel << int(Qt::Key_X) << 0 << true;
        QTest::newRow("telephone, Backspace") << mod << tel << int(Qt::Key_Backspace) << 0 << true;
        QTest::newRow("telephone, Delete") << mod << tel << int(Qt::Key_Delete) << 0 << true;
        QTest::newRow("telephone, Enter") << mod << tel << int(Qt::Key_Return) << 0 << true;
        QTest::newRow("telephone, Ctrl+X cuts") << mod << tel << int(Qt::Key_X) << int(Qt::ControlModifier) << true;
        QTest::newRow("period, Right") << nueva << per << int(Qt::Key_Right) << 0 << false;
        QTest::newRow("period, End") << nueva << per << int(Qt::Key_End) << 0 << false;
        QTest::newRow("period, Tab out of it empty") << nueva << per << int(Qt::Key_Tab) << 0 << false;
        QTest::newRow("period, a digit") << nueva << per << int(Qt::Key_3) << 0 << true;
        QTest::newRow("period, a letter dropped") << nueva << per << int(Qt::Key_A) << 0 << true;
    }
    void mirarNoModifica()
    {
        QFETCH(QString, accion);
        QFETCH(QString, campo);
        QFETCH(int, tecla);
        QFETCH(int, modificadores);
        QFETCH(bool, modificada);
        Escena e(2);
        frmFormulario &v = e.abrir(accion);
        v.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&v));
        auto *control = v.findChild<QLineEdit *>(campo);
        control->setFocus();
        control->selectAll();
        QVERIFY(!v.modificado());
        QTest::keyClick(control, Qt::Key(tecla), Qt::KeyboardModifiers(modificadores));
        QCOMPARE(v.modificado(), modificada);
    }

    // Ctrl+F takes the user to the search field above the grid; a flight
    // is found by its code or its date and its row chosen; Enter finds the
    // next one.
    void buscarVuelo_data()
    {
        QTest::addColumn<QString>("buscado");
        QTest::addColumn<QString>("codigo"); // of the row chosen; empty: none found
        QTest::addColumn<QString>("fecha");
        QTest::newRow("a code") << "LA01005" << "LA01005" << "26/03/2024";
        QTest::newRow("a code in small letters") << "la01020" << "LA01020" << "11/03/2024";
        QTest::newRow("part of a code") << "1037" << "LA01037" << "25/03/2024";
        QTest::newRow("a date") << "15/03/2024" << "LA01016" << "15/03/2024";
        QTest::newRow("a date without its year") << "02/03" << "LA01029" << "02/03/2024";
        QTest::newRow("no such flight") << "LA09999" << "" << "";
    }
    void buscarVuelo()
    {
        QFETCH(QString, buscado);
        QFETCH(QString, codigo);
        QFETCH(QString, fecha);
        Escena e;
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        v.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&v));
        v.grdDetalle()->setCurrentIndex(v.grdDetalle()->model()->index(39, 0));
        QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(v.SSTab1()->currentIndex(), int(frmFormulario::kVuelos));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(v.txtBuscar()));
        QTest::keyClicks(v.txtBuscar(), buscado);
        const auto elegida = [&] {
            const int fila = v.grdDetalle()->currentIndex().row();
            return QStringList {e.celda(fila, Declaracion::kCodVuelo), e.celda(fila, Declaracion::kFecArribo)};
        };
        const QLabel *noEncontrado = v.findChild<QLabel *>(QStringLiteral("lblNoEncontrado"));
        QCOMPARE(noEncontrado->isVisible(), codigo.isEmpty());
        if (codigo.isEmpty())
            return;
        QCOMPARE(elegida(), (QStringList {codigo, fecha}));
        QVERIFY(v.grdDetalle()->selectionModel()->isRowSelected(v.grdDetalle()->currentIndex().row()));
        QVERIFY(!v.modificado());
    }

    // Enter goes on to the next flight that matches, round to the top.
    void buscarSiguiente()
    {
        Escena e;
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        v.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&v));
        QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(v.txtBuscar(), QStringLiteral("31/03"));
        const int primera = v.grdDetalle()->currentIndex().row();
        QTest::keyClick(v.txtBuscar(), Qt::Key_Return);
        const int segunda = v.grdDetalle()->currentIndex().row();
        QCOMPARE((QList<int> {primera, segunda}), (QList<int> {0, 1}));
        QTest::keyClick(v.txtBuscar(), Qt::Key_Return);
        QCOMPARE(v.grdDetalle()->currentIndex().row(), 0);
        QVERIFY(v.isVisible());
    }

    // The window can be maximized and opens again at the size the user
    // gave it.
    void ventanaRecordada()
    {
        Escena e(2);
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        QVERIFY(v.windowFlags() & Qt::WindowMaximizeButtonHint);
        const QSize grande = v.size() + QSize(300, 200);
        v.resize(grande);
        v.CmdCancelar()->click();
        QVERIFY(!v.isVisible());
        frmFormulario &otra = e.abrir(Declaracion::kModificar);
        QCOMPARE(otra.size(), grande);
    }

    void modificarSinVuelos()
    {
        Escena e(0);
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        v.cmdAccion(1)->click();
        QCOMPARE(e.base.mensajes().ultimo().texto, QStringLiteral("No existen registros para modificar"));
        QCOMPARE(v.focusWidget(), static_cast<QWidget *>(v.cmdAccion(0)));
        QVERIFY(e.aperturas.isEmpty());
    }

    // Cancel keeps the window and what was typed; the question is asked
    // again the next time.
    void cancelarAlSalir()
    {
        Escena e;
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        v.TxtTelefono()->setFocus();
        QTest::keyClick(v.TxtTelefono(), Qt::Key_Backspace);
        QTest::keyClicks(v.TxtTelefono(), QStringLiteral("9x"));
        QCOMPARE(v.TxtTelefono()->text(), QStringLiteral("4451239"));
        QVERIFY(v.modificado());
        e.base.mensajes().responder(Respuesta::Cancelar);
        v.CmdCancelar()->click();
        QCOMPARE(e.base.mensajes().ultimo().texto,
                 QStringLiteral("¿El formulario ha sido modificado, desea guardar los cambios?"));
        QCOMPARE(e.base.mensajes().ultimo().botones, Botones::SiNoCancelar);
        QVERIFY(v.isVisible());
        QCOMPARE(v.TxtTelefono()->text(), QStringLiteral("4451239"));
        e.base.mensajes().responder(Respuesta::No);
        v.close();
        QVERIFY(!v.isVisible());
        QCOMPARE(e.base.contexto().sPeriodo, QString());
        QCOMPARE(e.barra.formulario(), QString());
    }

    void identificacionDeNueva()
    {
        Escena e;
        frmFormulario &v = e.abrir(Declaracion::kNueva);
        MensajesGuionados &m = e.base.mensajes();
        // Nothing chosen: the flights tab is refused.
        v.SSTab1()->setCurrentIndex(frmFormulario::kVuelos);
        QCOMPARE(v.SSTab1()->currentIndex(), int(frmFormulario::kIdentificacion));
        QCOMPARE(m.ultimo().texto, QStringLiteral("Debe seleccionar un Contribuyente..!!"));
        // "Si" before the period falls back to "No".
        v.OptRectifica(1)->click();
        QCOMPARE(m.ultimo().texto, QStringLiteral("Debe ingresar el período a declarar"));
        QVERIFY(v.OptRectifica(0)->isChecked());

        m.limpiar();
        v.CmbRuc()->setCurrentIndex(0);
        Q_EMIT v.CmbRuc()->activated(0);
        QCOMPARE(v.TxtRazon()->text(), kRazon);
        QCOMPARE(e.barra.numdoc(), kRuc);
        v.MkePeriodo()->setFocus();
        QTest::keyClicks(v.MkePeriodo(), QStringLiteral("0320"));
        QVERIFY(m.mostrados().isEmpty()); // halfway: no check yet
        QTest::keyClicks(v.MkePeriodo(), QStringLiteral("24"));
        QCOMPARE(m.textos(), QStringList {kYaExiste});
        QCOMPARE(e.base.contexto().sPeriodo, QString());
        QCOMPARE(v.focusWidget(), static_cast<QWidget *>(v.MkePeriodo()));

        m.limpiar();
        v.MkePeriodo()->clear();
        QTest::keyClicks(v.MkePeriodo(), QStringLiteral("042024"));
        QVERIFY(m.mostrados().isEmpty());
        QCOMPARE(e.base.contexto().sPeriodo, QStringLiteral("202404"));
        QCOMPARE(e.barra.periodo_ejercicio(), QStringLiteral("04/2024"));
        v.SSTab1()->setCurrentIndex(frmFormulario::kVuelos);
        QCOMPARE(v.SSTab1()->currentIndex(), int(frmFormulario::kVuelos));
        v.SSTab1()->setCurrentIndex(frmFormulario::kIdentificacion);

        // With the period set, "Si" is taken with its reminder.
        m.limpiar();
        v.OptRectifica(1)->click();
        QVERIFY(v.OptRectifica(1)->isChecked());
        QCOMPARE(m.textos(), QStringList {QStringLiteral("Recuerde que debe consignar información en todas las "
                                                         "casillas, inclusive aquellas que no está rectificando.")});
        QCOMPARE(m.ultimo().icono, Icono::Informacion);

        // A month that does not exist, and then a period with no taxpayer.
        m.limpiar();
        v.MkePeriodo()->setFocus();
        v.MkePeriodo()->clear();
        QTest::keyClicks(v.MkePeriodo(), QStringLiteral("132024"));
        QCOMPARE(m.textos(), QStringList {QStringLiteral("¡El Periodo tributario no es válido!")});
        QCOMPARE(e.base.contexto().sPeriodo, QStringLiteral("202404"));
        m.limpiar();
        v.CmbRuc()->setCurrentIndex(-1);
        v.MkePeriodo()->setFocus();
        v.MkePeriodo()->clear();
        QTest::keyClicks(v.MkePeriodo(), QStringLiteral("052024"));
        QCOMPARE(m.textos(), QStringList {QStringLiteral("¡Debe Seleccionar un Contribuyente!")});
        QCOMPARE(v.focusWidget(), static_cast<QWidget *>(v.CmbRuc()));
        QCOMPARE(e.base.contexto().sPeriodo, QStringLiteral("202404"));
    }

    // A name longer than the field's 40 characters is taken whole from the
    // register: the declaration, its field and the status bar hold all of it.
    void razonSocialLarga()
    {
        const QString larga = QStringLiteral("TRANSPORTES AEREOS INTERCONTINENTALES DEL PACIFIC");
        QCOMPARE(larga.size(), 49);
        Escena e(-1);
        e.base.agregarContribuyente(QStringLiteral("20100000001"), larga, QStringLiteral("PRUEBA"));
        frmFormulario &v = e.abrir(Declaracion::kNueva);
        const int indice = v.CmbRuc()->findText(QStringLiteral("20100000001"), Qt::MatchStartsWith);
        QVERIFY(indice >= 0);
        v.CmbRuc()->setCurrentIndex(indice);
        Q_EMIT v.CmbRuc()->activated(indice);
        QCOMPARE(e.base.contexto().sRazonSocial, larga);
        QCOMPARE(v.TxtRazon()->text(), larga);
        QCOMPARE(e.barra.razonsocial(), larga);

        e.base.contexto().sRazonSocial = larga;
        v.declaracion().setAccion(Declaracion::kModificar);
        v.CargaIdent();
        QCOMPARE(v.TxtRazon()->text(), larga);
    }

    void enviadaSoloLectura()
    {
        Escena e;
        enviarDeclaracion(e.base);
        frmFormulario &v = e.abrir(Declaracion::kRegistrar, true);
        QVERIFY(v.frmOrden()->isVisible());
        QCOMPARE(v.txtOrden()->text(), QStringLiteral("12345678"));
        QCOMPARE(v.txtVerifica()->text(),
                 e.base.datos().CalculaVerificador(QStringLiteral("C0001"), QStringLiteral("12345678")));
        QCOMPARE(v.CmdGrabar()->text(), QStringLiteral("&Registrar Nro. Orden"));
        QVERIFY(v.cmdValidar()->isHidden());
        for (int i = 0; i < 4; ++i)
            QVERIFY(!v.cmdAccion(i)->isEnabled());
        QVERIFY(!v.TxtTelefono()->isEnabled());
        QVERIFY(!v.txtValor(QStringLiteral("397"))->isEnabled());
        QCOMPARE(v.txtValor(QStringLiteral("397"))->text(), QStringLiteral("3.450"));
        QCOMPARE(v.FormaDePagoQDL1()->habilitado(), QStringLiteral("0"));
        QCOMPARE(e.filas(), 3);
        QVERIFY(!v.ordenCambiado());
        // Nothing to ask when nothing changed.
        v.SSTab1()->setCurrentIndex(frmFormulario::kDeuda);
        QCOMPARE(v.SSTab1()->currentIndex(), int(frmFormulario::kDeuda));
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
    }

    void numeroDeOrdenAlSalir()
    {
        Escena e;
        enviarDeclaracion(e.base);
        frmFormulario &v = e.abrir(Declaracion::kRegistrar, true);
        MensajesGuionados &m = e.base.mensajes();
        v.txtOrden()->setFocus();
        v.txtOrden()->selectAll();
        QTest::keyClicks(v.txtOrden(), QStringLiteral("8765432"));
        QVERIFY(v.ordenCambiado());
        m.responder(Respuesta::Si);
        v.CmdCancelar()->click();
        QCOMPARE(m.textos(),
                 (QStringList {QStringLiteral(" El número de orden ha cambiado. ¿Desea guardar los cambios?"),
                               QStringLiteral("El número de orden es incorrecto")}));
        QVERIFY(v.isVisible());

        // The exit's check of the verification code has its own text.
        m.limpiar();
        QTest::keyClicks(v.txtOrden(), QStringLiteral("1"));
        const QString verificador
            = e.base.datos().CalculaVerificador(QStringLiteral("C0001"), QStringLiteral("87654321"));
        const QString otro = verificador == u"00" ? QStringLiteral("01") : QStringLiteral("00");
        v.txtVerifica()->setText(otro);
        m.responder(Respuesta::Si);
        v.CmdCancelar()->click();
        QCOMPARE(m.textos(),
                 (QStringList {QStringLiteral(" El número de orden ha cambiado. ¿Desea guardar los cambios?"),
                               QStringLiteral("Digito verificador incorrecto")}));
        QCOMPARE(v.focusWidget(), static_cast<QWidget *>(v.txtVerifica()));
        QVERIFY(v.isVisible());

        // The button's checks, each with its text.
        m.limpiar();
        v.CmdGrabar()->click();
        v.txtOrden()->setText(QStringLiteral("8765432"));
        v.CmdGrabar()->click();
        QCOMPARE(m.textos(), (QStringList {QStringLiteral("     El digito Verificador es incorrecto"),
                                           QStringLiteral("     El número de orden no es válido")}));
        QCOMPARE(e.base.valor(QStringLiteral("SELECT norden FROM HCAB")).toString(), QStringLiteral("12345678"));

        m.limpiar();
        v.txtOrden()->setText(QStringLiteral("87654321"));
        v.txtVerifica()->setText(verificador);
        v.CmdGrabar()->click();
        QCOMPARE(m.textos(),
                 QStringList {QStringLiteral("El número de orden fue grabado satisfactoriamente.")});
        QCOMPARE(m.ultimo().icono, Icono::Informacion);
        QCOMPARE(e.base.valor(QStringLiteral("SELECT norden FROM HCAB")).toString(),
                 QStringLiteral("87654321"));
        QVERIFY(v.isVisible());
    }

    // A complete declaration has nothing to report; one with findings opens
    // the report, and the finding chosen there takes the user to its field.
    void validarYLlevarAlCampo()
    {
        Escena e;
        registrarVentanasReportes(e.registro, e.base.contexto(), nullptr);
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        MensajesGuionados &m = e.base.mensajes();
        v.cmdValidar()->click();
        QCOMPARE(m.textos(),
                 QStringList {QStringLiteral("La información de la declaración no presenta inconsistencias.")});

        m.limpiar();
        v.txtValor(QStringLiteral("410"))->clear();
        v.txtValor(QStringLiteral("397"))->setText(QStringLiteral("1.5"));
        v.FormaDePagoQDL1()->setFormapago(QStringLiteral("X"));
        QStringList lineas;
        validarYElegir(v, 1, false, lineas);
        QCOMPARE(lineas.size(), 3);
        QCOMPARE(v.hallazgosReporte().size(), 3);
        QCOMPARE(v.SSTab1()->currentIndex(), int(frmFormulario::kVuelos));
        QCOMPARE(v.focusWidget(), static_cast<QWidget *>(v.txtValor(QStringLiteral("397"))));

        validarYElegir(v, 2, true, lineas);
        QCOMPARE(lineas.at(2), QStringLiteral("Determinación de la Deuda : Ingrese la Forma de pago"));
        QCOMPARE(v.SSTab1()->currentIndex(), int(frmFormulario::kDeuda));
        QCOMPARE(v.focusWidget(), static_cast<QWidget *>(v.FormaDePagoQDL1()->opcionEfectivo()));
        QVERIFY(m.mostrados().isEmpty());
    }

    // A flight typed at ten times what its code carried the months before:
    // validating shows the closing message and then the report with the
    // warning under its heading; choosing it selects the flight's row; the
    // declaration is saved as consistent. The month's picture flags its
    // day, and a click on the day's bar selects that day's first flight.
    void advertenciaNoImpideGrabar()
    {
        Escena e;
        for (const char *periodo : {"202312", "202401", "202402"})
            guardarVuelos(e.base, QStringLiteral("F517DETVP"), 40, {}, kRuc, QString::fromLatin1(periodo));
        guardarCasilla(e.base, QStringLiteral("395"), QStringLiteral("40"), {}, kRuc, QStringLiteral("202402"));
        e.base.ejecutar(QStringLiteral("UPDATE F517DETVP SET num_afectos='1050' WHERE periodo='202403' AND "
                                       "cod_vuelo='LA01005'"));
        registrarVentanasReportes(e.registro, e.base.contexto(), nullptr);
        registrarVentanaResumenMes(e.registro, e.base.contexto());
        frmFormulario &v = e.abrir(Declaracion::kModificar);
        MensajesGuionados &m = e.base.mensajes();
        const QString aviso = QStringLiteral("Vuelo LA01005 del 26/03/2024: 1,050 pasajeros comprendidos; en los 6 "
                                             "meses anteriores llevó entre 105 y 105.");
        QStringList lineas;
        validarYElegir(v, 1, true, lineas);
        QCOMPARE(m.textos(),
                 QStringList{QStringLiteral("La información de la declaración no presenta inconsistencias.")});
        QCOMPARE(lineas, (QStringList{QStringLiteral("Advertencias (no impiden grabar)"), aviso}));
        QCOMPARE(v.SSTab1()->currentIndex(), int(frmFormulario::kVuelos));
        const auto filaActual = [&] { return v.grdDetalle()->currentIndex().row(); };
        QCOMPARE(e.celda(filaActual(), Declaracion::kCodVuelo), QStringLiteral("LA01005"));
        QCOMPARE(v.focusWidget(), static_cast<QWidget *>(v.grdDetalle()));

        // With a finding too, the warning comes after it, a blank line and
        // the heading; Enter on it still finds the flight.
        v.txtValor(QStringLiteral("397"))->setText(QStringLiteral("1.5"));
        v.grdDetalle()->setCurrentIndex(v.grdDetalle()->model()->index(0, 0));
        validarYElegir(v, 3, false, lineas);
        QCOMPARE(lineas.size(), 3);
        QCOMPARE(lineas.at(2), aviso);
        QCOMPARE(e.celda(filaActual(), Declaracion::kCodVuelo), QStringLiteral("LA01005"));
        v.txtValor(QStringLiteral("397"))->setText(QStringLiteral("3.450"));

        m.limpiar();
        v.CmdGrabar()->click();
        QCOMPARE(e.base.valor(QStringLiteral("SELECT estado FROM CAB WHERE periodo='202403'")).toInt(), 0);
        QCOMPARE(m.mostrados().size(), 1);

        v.grdDetalle()->setCurrentIndex(v.grdDetalle()->model()->index(0, 0));
        QList<DiaDelMes> dias;
        QStringList copia;
        int filasLista = 0;
        QTimer::singleShot(0, &v, [&] {
            auto *resumen = qobject_cast<FrmResumenMes *>(QApplication::activeModalWidget());
            if (!resumen)
                return;
            dias = resumen->dias();
            filasLista = resumen->grdResumen()->rowCount();
            copia = resumen->textoTabla().split(u'\n');
            auto *barras = qobject_cast<QStackedBarSeries *>(resumen->chtResumen()->chart()->series().first());
            if (barras)
                Q_EMIT barras->clicked(25, barras->barSets().first());
            else
                resumen->reject();
        });
        v.cmdResumen()->click();
        QCOMPARE(dias.size(), 31);
        // The list as copied: a heading, a row a day and the total.
        QCOMPARE(filasLista, 32);
        QVERIFY(copia.value(0).startsWith(QStringLiteral("Día\tVuelos\tPasajeros comprendidos\tMismo día de 02/2024")));
        QCOMPARE(copia.value(26), QStringLiteral("26/03/2024\t2\t1,186\t235\t3,615\tSí"));
        QStringList advertidos;
        for (const DiaDelMes &d : dias) {
            if (d.advertido)
                advertidos << d.fecha.toString(Qt::ISODate);
        }
        QCOMPARE(advertidos, QStringList{QStringLiteral("2024-03-26")});
        // Two flights that day (LA01005 and LA01036); February's 26th had
        // LA01003 and LA01032.
        QCOMPARE(dias.at(25).vuelos, 2);
        QCOMPARE(dias.at(25).afectos, 1050 + 136);
        QCOMPARE(dias.at(25).afectosAnterior.value_or(-1), 103 + 132);
        QCOMPARE(e.celda(filaActual(), Declaracion::kFecArribo), QStringLiteral("26/03/2024"));
        // A warned flight is found by its code among the day's flights.
        for (const QString &codigo : {QStringLiteral("LA01036"), QStringLiteral("LA01005")}) {
            QVERIFY(v.seleccionarVuelo(QDate(2024, 3, 26), codigo));
            QCOMPARE(e.celda(filaActual(), Declaracion::kCodVuelo), codigo);
        }
        QVERIFY(!v.seleccionarVuelo(QDate(2024, 3, 26), QStringLiteral("LA09999")));
    }

    // A new declaration: its flights follow a corrected period; a failed
    // save leaves it new and unsaved; once saved it is edited as a stored
    // one; the closing question saves again and closes.
    void grabarNueva()
    {
        Escena e(-1);
        frmFormulario &v = e.abrir(Declaracion::kNueva);
        MensajesGuionados &m = e.base.mensajes();
        v.CmbRuc()->setCurrentIndex(0);
        Q_EMIT v.CmbRuc()->activated(0);
        v.MkePeriodo()->setFocus();
        QTest::keyClicks(v.MkePeriodo(), QStringLiteral("042024"));
        v.cmdAccion(0)->click();
        v.MkePeriodo()->clear();
        QTest::keyClicks(v.MkePeriodo(), QStringLiteral("052024"));
        QCOMPARE(e.base.contar(QStringLiteral("TMPF517DETVP"), QStringLiteral("periodo='202405'")), 1);
        v.TxtTelefono()->setText(QStringLiteral("0123456"));
        v.txtValor(QStringLiteral("397"))->setText(QStringLiteral("3.450"));
        v.txtValor(QStringLiteral("410"))->setText(QStringLiteral("1,000"));

        e.base.agregarFalla(QStringLiteral("sin_cab"), QStringLiteral("INSERT"), QStringLiteral("CAB"),
                            QStringLiteral("disco lleno"));
        m.limpiar();
        v.CmdGrabar()->click();
        QCOMPARE(m.mostrados().size(), 1);
        QVERIFY(m.ultimo().texto.startsWith(
            QStringLiteral("La declaración no fue grabada: falló la sentencia que escribe la cabecera (CAB).")));
        QCOMPARE(m.ultimo().icono, Icono::Critico);
        QVERIFY(v.CmbRuc()->isVisible() && v.modificado());
        QCOMPARE(e.base.contar(QStringLiteral("DET")), 0);

        e.base.quitarFalla(QStringLiteral("sin_cab"), QStringLiteral("CAB"));
        m.limpiar();
        v.CmdGrabar()->click();
        QCOMPARE(m.mostrados().size(), 1);
        QCOMPARE(m.ultimo().icono, Icono::Exclamacion);
        QCOMPARE(v.declaracion().sAccion(), Declaracion::kModificar);
        QVERIFY(v.CmbRuc()->isHidden());
        QCOMPARE(v.TxtNumRuc()->text(), kRuc);
        QVERIFY(!v.MkePeriodo()->isEnabled());
        QCOMPARE(v.MkePeriodo()->displayText(), QStringLiteral("05/2024"));
        QVERIFY(!v.modificado());
        QCOMPARE(e.base.contar(QStringLiteral("F517DETVP"), QStringLiteral("periodo='202405'")), 1);
        const QString telefono = QStringLiteral("SELECT i_valor FROM DET WHERE casilla='028'");
        QCOMPARE(e.base.valor(telefono).toString(), QStringLiteral("0123456"));

        // Somebody else saves the same declaration meanwhile: nothing is
        // replaced unless the user says so.
        e.base.ejecutar(QStringLiteral("UPDATE DET SET i_valor='9999999' WHERE casilla='028'"));
        m.limpiar();
        m.responder(Respuesta::No);
        v.CmdGrabar()->click();
        QCOMPARE(m.mostrados().size(), 1);
        QCOMPARE(m.ultimo().icono, Icono::Pregunta);
        QVERIFY(m.ultimo().texto.startsWith(QStringLiteral("Otro usuario grabó esta declaración")));
        QCOMPARE(e.base.valor(telefono).toString(), QStringLiteral("9999999"));
        m.limpiar();
        m.responder(Respuesta::Si);
        v.CmdGrabar()->click();
        QCOMPARE(m.mostrados().size(), 2);
        QCOMPARE(e.base.valor(telefono).toString(), QStringLiteral("0123456"));

        v.TxtTelefono()->setFocus();
        v.TxtTelefono()->selectAll();
        QTest::keyClicks(v.TxtTelefono(), QStringLiteral("4451234"));
        m.limpiar();
        m.responder(Respuesta::Si);
        v.CmdCancelar()->click();
        QVERIFY(!v.isVisible());
        QCOMPARE(e.base.valor(telefono).toString(), QStringLiteral("4451234"));
        QCOMPARE(e.base.contar(QStringLiteral("CAB")), 1);
    }
};

QTEST_MAIN(TstFrmFormulario)
#include "tst_frmformulario.moc"
