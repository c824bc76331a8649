// The declaration window as the user meets it in each mode: what it shows
// on opening, the flight buttons and the windows they open, the checks of
// the identification tab, and closing with its questions.
#include "declaracionprueba.h"
#include "declaration/frmformulario.h"
#include "declaration/grillavuelos.h"
#include "reports/ui/frmconsist.h"
#include "reports/ui/ventanasreportes.h"
#include "store/ui/barraestadoqdl.h"
#include "store/ui/formadepagoqdl.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>
#include <QGroupBox>
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
