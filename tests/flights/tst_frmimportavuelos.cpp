// The import window as the user meets it: the file found in the chosen
// folder whatever its letter case, the counts after a run, the question
// before the error report and the report opened on all its pages.
#include "flights/frmimportavuelos.h"
#include "importacionprueba.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace kv;
using namespace kv::prueba;

namespace {

struct Escena
{
    BaseDePrueba base;
    std::unique_ptr<frmImportaVuelos> ventana;
    QStringList abiertos;

    Escena()
    {
        qputenv("HOME", base.carpeta().toLocal8Bit());
        abrirDeclaracionVuelos(base);
        ParametrosVentana p;
        p.nombre = QStringLiteral("ImportarVuelos");
        p.accion = QStringLiteral("NEW");
        p.periodoMostrado = QStringLiteral("11/2026");
        ventana = std::make_unique<frmImportaVuelos>(base.contexto(), p);
        ventana->abrirReporte = [this](const QString &archivo, int paginas) {
            abiertos << archivo + u' ' + QString::number(paginas);
        };
        ventana->cargar();
    }
};

} // namespace

class TstFrmImportaVuelos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void apertura()
    {
        Escena e;
        frmImportaVuelos &v = *e.ventana;
        QCOMPARE(v.windowTitle(), QStringLiteral("Importar Detalle de Vuelos"));
        QCOMPARE(v.carpeta() + u'/', e.base.carpeta());
        QCOMPARE(v.DirDirectorio()->rootIndex().data(QFileSystemModel::FilePathRole).toString() + u'/',
            e.base.carpeta());
        QCOMPARE(v.lblTransferidos()->text(), QStringLiteral("0          Registros Transferidos"));
        QCOMPARE(v.lblRechazados()->text(), QStringLiteral("0          Registros Rechazados"));
        QCOMPARE(v.txtCarpeta()->accessibleDescription(), QStringLiteral("Drive1"));
        QCOMPARE(v.cmdTransferir()->accessibleName(), QStringLiteral("Aceptar"));
        QCOMPARE(v.cmCancelar()->accessibleDescription(), QStringLiteral("cmCancelar"));

        // Only the declaration's file, found without regard to letter case.
        const QString ruta
            = escribirArchivoVuelos(e.base, { QStringLiteral("17/11/2026|LA2401|12|0|3|0|1|0|0|0|150|") },
                QStringLiteral("051720100070970202611.txt"));
        escribirArchivoVuelos(e.base, {}, QStringLiteral("051720100070970202610.TXT"));
        v.txtCarpeta()->setText(QFileInfo(ruta).path());
        QTest::keyClick(v.txtCarpeta(), Qt::Key_Return);
        QCOMPARE(v.flArchivos()->count(), 1);
        QCOMPARE(v.flArchivos()->item(0)->text(), QStringLiteral("051720100070970202611.txt"));

        v.cmdTransferir_Click();
        QCOMPARE(e.base.mensajes().textos(),
            QStringList({ QStringLiteral("La importación terminó satisfactoriamente.") }));
        QCOMPARE(v.lblTransferidos()->text(), QStringLiteral("1 Transferidos"));
        QCOMPARE(v.lblTransferidos()->accessibleName(), QStringLiteral("1 Transferidos"));
        QCOMPARE(v.lblRechazados()->text(), QStringLiteral("0 Rechazados"));
        QCOMPARE(e.base.contar(QStringLiteral("SPOOL")), 0);
        QVERIFY(v.cmdTransferir()->isEnabled() && v.cmCancelar()->isEnabled());
    }

    void reporteDeRechazos_data()
    {
        QTest::addColumn<bool>("ver");
        QTest::newRow("seen") << true;
        QTest::newRow("not seen") << false;
    }
    void reporteDeRechazos()
    {
        QFETCH(bool, ver);
        Escena e;
        QStringList lineas = { QStringLiteral("17/11/2026|LA2401|12|0|3|0|1|0|0|0|150|") };
        for (int i = 0; i < 39; ++i)
            lineas << QStringLiteral("18/11/2026|X-%1|12|0|3|0|1|0|0|0|150|").arg(i);
        e.ventana->elegirCarpeta(QFileInfo(escribirArchivoVuelos(e.base, lineas)).path());
        e.base.mensajes().responder(ver ? Respuesta::Si : Respuesta::No);
        e.ventana->cmdTransferir_Click();

        const Mensaje pregunta = e.base.mensajes().ultimo();
        QCOMPARE(e.base.mensajes().mostrados().size(), 1);
        QCOMPARE(pregunta.titulo, QStringLiteral("Confirmar"));
        QCOMPARE(pregunta.texto,
            QStringLiteral("¡Algunos registros han sido rechazados!\nVerifique Reporte de Errores. "
                           "\n¿Desea Visualizar Reporte de errores?"));
        QCOMPARE(pregunta.predeterminada, Respuesta::No);
        QCOMPARE(e.ventana->lblTransferidos()->text(), QStringLiteral("1 Transferidos"));
        QCOMPARE(e.ventana->lblRechazados()->text(), QStringLiteral("39 Rechazados"));
        // The report is made either way; the preview shows both pages.
        QCOMPARE(e.base.contar(QStringLiteral("SPOOL"), QStringLiteral("CodRep='ZEN003'")), 1);
        QCOMPARE(e.abiertos, ver ? QStringList({ QStringLiteral("00000001.PRN 2") }) : QStringList());
    }

    // The file looked for is named under the folder; a folder without it
    // is said so under the list and "Aceptar" waits for one that has it.
    void carpetaElegida_data()
    {
        QTest::addColumn<QString>("archivo"); // written in the carrier's folder
        QTest::addColumn<QString>("elegida"); // under the test folder
        QTest::addColumn<QString>("aviso");
        QTest::newRow("con el archivo") << "051720100070970202611.TXT" << "aerolinea" << "";
        QTest::newRow("en minusculas") << "051720100070970202611.txt" << "aerolinea" << "";
        QTest::newRow("de otro periodo")
            << "051720100070970202610.TXT" << "aerolinea"
            << "La carpeta elegida no tiene el archivo 051720100070970202611.TXT.";
        QTest::newRow("vacia") << "" << "aerolinea"
                               << "La carpeta elegida no tiene el archivo 051720100070970202611.TXT.";
        QTest::newRow("que no existe") << "" << "no/existe" << "La carpeta elegida no existe.";
    }
    void carpetaElegida()
    {
        QFETCH(QString, archivo);
        QFETCH(QString, elegida);
        QFETCH(QString, aviso);
        Escena e;
        frmImportaVuelos &v = *e.ventana;
        QCOMPARE(v.txtArchivoBuscado()->text(), QStringLiteral("051720100070970202611.TXT"));
        QVERIFY(v.txtArchivoBuscado()->isReadOnly());
        QCOMPARE(v.txtArchivoBuscado()->accessibleName(), QStringLiteral("Archivo buscado"));
        QDir().mkpath(e.base.carpeta() + QStringLiteral("aerolinea"));
        if (!archivo.isEmpty())
            escribirArchivoVuelos(e.base, { QStringLiteral("17/11/2026|LA2401|12|0|3|0|1|0|0|0|150|") }, archivo);
        v.elegirCarpeta(e.base.carpeta() + elegida);
        QCOMPARE(v.lblSinArchivo()->isVisibleTo(&v), !aviso.isEmpty());
        if (!aviso.isEmpty())
            QCOMPARE(v.lblSinArchivo()->text(), aviso);
        QCOMPARE(v.cmdTransferir()->isEnabled(), aviso.isEmpty());
        QCOMPARE(v.flArchivos()->count(), aviso.isEmpty() ? 1 : 0);
    }

    // The counts and the bar are the last run's until another folder is
    // chosen.
    void otraCarpetaLimpiaLasCuentas()
    {
        Escena e;
        frmImportaVuelos &v = *e.ventana;
        const QString ruta = escribirArchivoVuelos(
            e.base, { QStringLiteral("17/11/2026|LA2401|12|0|3|0|1|0|0|0|150|") });
        v.elegirCarpeta(QFileInfo(ruta).path());
        v.cmdTransferir_Click();
        QCOMPARE(v.lblTransferidos()->text(), QStringLiteral("1 Transferidos"));
        QCOMPARE(v.prgAvance()->value(), v.prgAvance()->maximum());
        // Looked at again (the window comes back to the front): unchanged.
        QEvent activada(QEvent::WindowActivate);
        QApplication::sendEvent(&v, &activada);
        QCOMPARE(v.lblTransferidos()->text(), QStringLiteral("1 Transferidos"));
        // A folder being typed counts as chosen for what Aceptar would do.
        QTest::keyClicks(v.txtCarpeta(), QStringLiteral("x"));
        QVERIFY(!v.cmdTransferir()->isEnabled());
        QVERIFY(v.lblSinArchivo()->isVisibleTo(&v));
        QTest::keyClick(v.txtCarpeta(), Qt::Key_Backspace);
        QVERIFY(v.cmdTransferir()->isEnabled());
        v.elegirCarpeta(e.base.carpeta());
        QCOMPARE(v.lblTransferidos()->text(), QStringLiteral("0          Registros Transferidos"));
        QCOMPARE(v.lblRechazados()->text(), QStringLiteral("0          Registros Rechazados"));
        QCOMPARE(v.prgAvance()->value(), 0);
        QVERIFY(!v.cmdTransferir()->isEnabled());
    }

    // A file the database cannot take whole: the user is told and the
    // counts go back to nothing.
    void importacionInterrumpida()
    {
        Escena e;
        if (e.base.motor() != Motor::SQLite)
            QSKIP("a trigger that ends the whole transaction is the embedded engine's");
        e.base.ejecutar(QStringLiteral("CREATE TRIGGER lleno BEFORE INSERT ON TMPF517DETVP "
                                       "BEGIN SELECT RAISE(ROLLBACK, 'disco lleno'); END"));
        e.ventana->elegirCarpeta(QFileInfo(
            escribirArchivoVuelos(e.base, { QStringLiteral("17/11/2026|LA2401|12|0|3|0|1|0|0|0|150|") }))
                                     .path());
        e.ventana->cmdTransferir_Click();
        const Mensaje m = e.base.mensajes().ultimo();
        QCOMPARE(m.icono, Icono::Critico);
        QVERIFY2(m.texto.startsWith(u"Error ") && m.texto.contains(u"disco lleno"), qPrintable(m.texto));
        QCOMPARE(e.ventana->lblTransferidos()->text(), QStringLiteral("0          Registros Transferidos"));
    }
};

QTEST_MAIN(TstFrmImportaVuelos)
#include "tst_frmimportavuelos.moc"
