// The print list as the user meets it: which declarations it offers to whom,
// the status bar following the row, printing at once, the page-range dialog
// before the preview, and nothing at all on an empty list.
#include "declaracionesimpresion.h"
#include "impresoragrabadora.h"
#include "reports/ui/frmimprimeform.h"
#include "reports/ui/ventanasreportes.h"
#include "store/ui/barraestadoqdl.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace kv;
using namespace kv::prueba;

namespace {

struct Escena
{
    BaseDePrueba base;
    BitacoraImpresora bitacora;
    RegistroVentanas registro;
    QList<ParametrosVentana> rangos; // the page-range dialog, as it was asked to open
    BarradeEstadoQDL barra;
    std::unique_ptr<FrmImprimeForm> ventana;

    explicit Escena(bool historico, const BaseDePrueba::Opciones &opciones = {}, bool conDatos = true)
        : base(opciones)
    {
        if (conDatos)
            prepararDeclaraciones(base);
        // Two sent copies of another user's taxpayer; the first never reached
        // the host's state 1.
        for (int copia : {1, 2})
            base.ejecutar(QStringLiteral("INSERT INTO HCAB (tip_doc_d, doc_id_d, periodo, Formulario, correl, "
                                         "estado) VALUES (6,?,'202603','0517',?,?)"),
                          {kRucBeta, QStringLiteral("00%1").arg(copia), copia - 1});
        registro.registrar(QStringLiteral("ImprimirxPaginas"), [this](const ParametrosVentana &p, QWidget *) {
            rangos << p;
            return std::unique_ptr<QDialog>();
        });
        base.contexto().ventanas = &registro;
        ParametrosVentana p;
        p.nombre = QStringLiteral("ListaImprimirFormularios");
        p.accion = QStringLiteral("IMP");
        p.historico = historico;
        ventana = std::make_unique<FrmImprimeForm>(base.contexto(), p, &barra, bitacora.fabrica());
        ventana->cargar();
    }

    QStringList filas() const
    {
        QStringList r;
        for (int f = 0; f < ventana->modelo()->rowCount(); ++f)
            r << ventana->modelo()->index(f, FrmImprimeForm::kRuc).data().toString() + u' '
                     + ventana->modelo()->index(f, FrmImprimeForm::kPeriodoF).data().toString() + u' '
                     + ventana->modelo()->index(f, FrmImprimeForm::kCorrel).data().toString();
        return r;
    }
    void irAFila(int fila) { ventana->grdContrib()->setCurrentIndex(ventana->modelo()->index(fila, 0)); }
    int filaActual() const { return ventana->grdContrib()->currentIndex().row(); }
    QByteArray reporte()
    {
        QFile f(base.contexto().sRutaReportes + u'/' + ventana->archivoReporte());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QByteArray referencia(const QString &caso)
{
    QFile f(qEnvironmentVariable("KV_SOURCE_DIR") + QStringLiteral("/tests/reports/datos/") + caso
            + QStringLiteral(".PRN"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?");
}

} // namespace

class TstFrmImprimeForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lista_data()
    {
        QTest::addColumn<bool>("historico");
        QTest::addColumn<QString>("tipoUsuario");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("marco");
        QTest::addColumn<int>("ayuda");
        QTest::addColumn<QList<int>>("visibles");
        QTest::addColumn<QStringList>("filas");
        const QList<int> guardadas{0, 1, 3};
        const QList<int> enviadas{0, 1, 3, 4, 5, 6, 7, 8};
        const QString a = kRucAlfa, b = kRucBeta;
        QTest::newRow("saved, every taxpayer")
            << false << "0" << "Imprimir " << "Declaraciones registradas" << 1012 << guardadas
            << QStringList{a + " 04/2026 ", a + " 03/2026 ", b + " 05/2026 ", b + " 03/2026 "};
        QTest::newRow("saved, own taxpayers") << false << "1" << "Imprimir " << "Declaraciones registradas" << 1012
                                              << guardadas << QStringList{a + " 04/2026 ", a + " 03/2026 "};
        QTest::newRow("sent, state 1 only")
            << true << "0" << "Imprimir Formularios enviados" << "Declaraciones Enviadas" << 1013 << enviadas
            << QStringList{a + " 03/2026 001", a + " 03/2026 002", b + " 03/2026 002"};
        QTest::newRow("sent, user without a row in CLAVES")
            << true << "" << "Imprimir Formularios enviados" << "Declaraciones Enviadas" << 1013 << enviadas
            << QStringList{a + " 03/2026 001", a + " 03/2026 002"};
    }

    void lista()
    {
        QFETCH(bool, historico);
        QFETCH(QString, tipoUsuario);
        QFETCH(QString, titulo);
        QFETCH(QString, marco);
        QFETCH(int, ayuda);
        QFETCH(QList<int>, visibles);
        QFETCH(QStringList, filas);
        BaseDePrueba::Opciones opciones;
        opciones.tipoUsuario = tipoUsuario;
        Escena e(historico, opciones);
        QCOMPARE(e.ventana->windowTitle(), titulo);
        QCOMPARE(e.ventana->marco()->title(), marco);
        QCOMPARE(contextoAyuda(e.ventana.get()), ayuda);
        QList<int> mostradas;
        for (int c = 0; c < FrmImprimeForm::kColumnas; ++c) {
            if (!e.ventana->grdContrib()->isColumnHidden(c))
                mostradas << c;
        }
        QCOMPARE(mostradas, visibles);
        QCOMPARE(e.filas(), filas);
        QVERIFY(!e.ventana->ChkAnexo()->isChecked());
        if (historico)
            QCOMPARE(e.ventana->modelo()->index(1, FrmImprimeForm::kFechaEnvio).data().toString(),
                     QStringLiteral("10/04/2026"));
    }

    void barraDeEstado()
    {
        Escena e(false);
        QCOMPARE(QStringList({e.barra.numdoc(), e.barra.razonsocial(), e.barra.periodo_ejercicio(), e.barra.formulario()}),
                 QStringList({kRucAlfa, kNombreAlfa, QStringLiteral("04/2026"), QStringLiteral("0517")}));
        e.irAFila(3);
        QCOMPARE(QStringList({e.barra.numdoc(), e.barra.razonsocial(), e.barra.periodo_ejercicio()}),
                 QStringList({kRucBeta, kNombreBeta, QStringLiteral("03/2026")}));
    }

    // "&Imprimir" writes the chosen declaration and prints every page of it
    // in one job, without the page-range dialog.
    void imprimir()
    {
        Escena guardadas(false);
        guardadas.irAFila(1);
        QTest::mouseClick(guardadas.ventana->CmdImprimir(1), Qt::LeftButton);
        QCOMPARE(guardadas.reporte(), referencia(QStringLiteral("efectivo3")));
        QCOMPARE(guardadas.bitacora.trabajos.size(), 1);
        QCOMPARE(guardadas.bitacora.ultimo().paginas.size(), 2);
        QVERIFY(guardadas.bitacora.ultimo().terminado);
        QVERIFY(guardadas.rangos.isEmpty());
        QVERIFY(guardadas.base.mensajes().mostrados().isEmpty());

        Escena enviadas(true);
        enviadas.irAFila(1);
        enviadas.ventana->ChkAnexo()->setChecked(true);
        QTest::mouseClick(enviadas.ventana->CmdImprimir(1), Qt::LeftButton);
        QCOMPARE(enviadas.reporte(), referencia(QStringLiteral("enviada")));
        QCOMPARE(enviadas.bitacora.ultimo().paginas.size(), 3);
        QCOMPARE(enviadas.ventana->paginasReporte(), 3);
    }

    // "&Preliminar", Enter and a double click each write the report and
    // open the page-range dialog on it; the grid comes back on its row.
    void preliminar()
    {
        Escena e(false);
        e.ventana->show();
        QVERIFY(QTest::qWaitForWindowActive(e.ventana.get()));
        e.irAFila(2);
        QTest::mouseClick(e.ventana->CmdImprimir(0), Qt::LeftButton);
        QTest::keyClick(e.ventana->grdContrib(), Qt::Key_Return);
        const QRect celda = e.ventana->grdContrib()->visualRect(e.ventana->modelo()->index(2, 0));
        // A widget gets the first click of a double click on its own.
        QTest::mouseClick(e.ventana->grdContrib()->viewport(), Qt::LeftButton, {}, celda.center());
        QTest::mouseDClick(e.ventana->grdContrib()->viewport(), Qt::LeftButton, {}, celda.center());
        QCOMPARE(e.rangos.size(), 3);
        QStringList archivos;
        for (const ParametrosVentana &p : e.rangos) {
            QCOMPARE(p.accion, QStringLiteral("IMP"));
            QCOMPARE(p.paginas, 2); // no flights, and no annexes asked for
            archivos << p.texto;
        }
        QCOMPARE(archivos, (QStringList{"00000001.PRN", "00000002.PRN", "00000003.PRN"}));
        QCOMPARE(e.filaActual(), 2);
        QVERIFY(e.bitacora.trabajos.isEmpty());
        QCOMPARE(e.base.contar(QStringLiteral("SPOOL"), QStringLiteral("CodRep='ZEN001' AND doc_id_d=?"), {kRucBeta}), 3);
    }

    void listaVacia()
    {
        Escena e(false, {}, false);
        QVERIFY(!e.ventana->grdContrib()->isEnabled());
        e.ventana->preliminar();
        e.ventana->imprimir();
        QVERIFY(e.rangos.isEmpty());
        QVERIFY(e.bitacora.trabajos.isEmpty());
        QCOMPARE(e.base.contar(QStringLiteral("SPOOL")), 0);
        QVERIFY(e.base.mensajes().mostrados().isEmpty());
        QCOMPARE(e.barra.numdoc(), QString());
    }

    void nombresAccesibles()
    {
        Escena e(true);
        QCOMPARE(e.ventana->grdContrib()->accessibleName(), QStringLiteral("Declaraciones Enviadas"));
        QCOMPARE(e.ventana->grdContrib()->accessibleDescription(), QStringLiteral("grdContrib"));
        QCOMPARE(e.ventana->ChkAnexo()->accessibleName(), QStringLiteral("Con Anexos"));
        QCOMPARE(e.ventana->ChkAnexo()->accessibleDescription(), QStringLiteral("ChkAnexo"));
        const QStringList nombres{"Preliminar", "Imprimir", "Salir"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(e.ventana->CmdImprimir(i)->accessibleName(), nombres[i]);
            QCOMPARE(e.ventana->CmdImprimir(i)->accessibleDescription(), QStringLiteral("CmdImprimir(%1)").arg(i));
        }
    }

    // The main window opens the list by name, in either mode; "&Salir" closes it.
    void abiertaPorNombre()
    {
        BaseDePrueba base;
        RegistroVentanas registro;
        BitacoraImpresora bitacora;
        registrarVentanasReportes(registro, base.contexto(), nullptr, bitacora.fabrica());
        QString titulo;
        QTimer::singleShot(0, this, [&] {
            if (auto *v = qobject_cast<FrmImprimeForm *>(QApplication::activeModalWidget())) {
                titulo = v->windowTitle();
                v->CmdImprimir(2)->click();
            }
        });
        QVERIFY(registro.AbrirVentana(QStringLiteral("ListaImprimirFormularios"), QStringLiteral("IMP"), true));
        QCOMPARE(titulo, QStringLiteral("Imprimir Formularios enviados"));
    }
};

QTEST_MAIN(TstFrmImprimeForm)
#include "tst_frmimprimeform.moc"
