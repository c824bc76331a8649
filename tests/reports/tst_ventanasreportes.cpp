// The page-range dialog, the consistency window, their registration with
// the window opener and the report register list.
#include "archivosprueba.h"
#include "impresoragrabadora.h"
#include "reports/rangopaginas.h"
#include "reports/ui/frmconsist.h"
#include "reports/ui/frmimpxpag.h"
#include "reports/ui/listaspool.h"
#include "reports/ui/ventanasreportes.h"
#include "store/ui/ventanas.h"
#include "support/basedeprueba.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace kv;
using namespace kv::prueba;

class TstVentanasReportes : public QObject
{
    Q_OBJECT
    std::unique_ptr<BaseDePrueba> m_base;
    BitacoraImpresora m_bitacora;
    Contexto &ctx() { return m_base->contexto(); }

private Q_SLOTS:
    void init()
    {
        m_base = std::make_unique<BaseDePrueba>();
        QVERIFY(m_base->valida());
        m_bitacora = BitacoraImpresora{};
    }
    void cleanup() { m_base.reset(); }

    void rango_data();
    void rango();
    void dialogoRango();
    void teclasDeLasPaginas_data();
    void teclasDeLasPaginas();
    void consistencia();
    void registro();
    void listaSpool();
};

void TstVentanasReportes::rango_data()
{
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<int>("inicio");
    QTest::addColumn<int>("fin");
    QTest::newRow("vacio") << " " << "2" << "Ingrese página de inicio." << 0 << 0;
    QTest::newRow("cero") << "0" << "2" << "Página inicial debe ser a partir de 1." << 0 << 0;
    QTest::newRow("sin numero") << "." << "2" << "Página inicial debe ser a partir de 1." << 0 << 0;
    QTest::newRow("fin vacio") << "1" << "  " << "Ingrese página de Fin." << 0 << 0;
    QTest::newRow("al reves") << "3" << "2" << "Página de Inicio debe ser mayor a página de Fin." << 0 << 0;
    QTest::newRow("misma pagina") << "2" << "2" << QString() << 2 << 2;
    QTest::newRow("mitad al par") << "2.5" << "3.5" << QString() << 2 << 4;
    QTest::newRow("blancos y decimales") << " 1 " << "1 0" << QString() << 1 << 10;
    QTest::newRow("mas alla del total") << "7" << "9" << QString() << 7 << 9;
    // Two faults at once: the first check wins.
    QTest::newRow("cero y fin vacio") << "0" << "" << "Página inicial debe ser a partir de 1." << 0 << 0;
    QTest::newRow("vacio y fin vacio") << "" << "" << "Ingrese página de inicio." << 0 << 0;
    QTest::newRow("vacio y al reves") << " " << "0" << "Ingrese página de inicio." << 0 << 0;
    QTest::newRow("negativo y al reves") << "-2" << "-3" << "Página inicial debe ser a partir de 1." << 0 << 0;
    QTest::newRow("fin vacio con inicio mayor") << "9" << " " << "Ingrese página de Fin." << 0 << 0;
    QTest::newRow("fraccion menor que el inicio") << "2.6" << "2.5" << "Página de Inicio debe ser mayor a página de Fin."
                                                  << 0 << 0;
}

void TstVentanasReportes::rango()
{
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    QFETCH(QString, mensaje);
    QFETCH(int, inicio);
    QFETCH(int, fin);
    const ValidacionRango v = validarRangoPaginas(desde, hasta);
    QCOMPARE(v.mensaje, mensaje);
    if (v.valido()) {
        QCOMPARE(v.desde, inicio);
        QCOMPARE(v.hasta, fin);
    }
}

void TstVentanasReportes::dialogoRango()
{
    frmImpxPag d(ctx(), m_bitacora.fabrica());
    d.nTotPaginas = 12;
    d.sNombreRep = QStringLiteral("00000042.PRN");
    d.cargar();
    QCOMPARE(d.windowTitle(), QStringLiteral("Impresión por páginas"));
    QCOMPARE(d.txtTotPaginas()->text(), QStringLiteral("12"));
    QVERIFY(d.txtTotPaginas()->isReadOnly());
    QCOMPARE(d.txtPagDesde()->text(), QStringLiteral("1"));
    QCOMPARE(d.txtPagHasta()->text(), QStringLiteral("1"));
    QCOMPARE(d.cmdAccion(0)->text(), QStringLiteral("&Preliminar"));
    QCOMPARE(d.cmdAccion(1)->text(), QStringLiteral("&Cancelar"));
    QVERIFY(d.aviso()->text().startsWith(QStringLiteral("El reporte generado contiene ")));
    QVERIFY(d.aviso()->text().contains(QStringLiteral("saturación de la memoria de la \ncomputadora.")));
    // The count box covers the gap of the notice's first line, not its words.
    const QFontMetrics fm(d.aviso()->font());
    const QRect caja = d.txtTotPaginas()->geometry();
    const int antes = d.aviso()->x() + fm.horizontalAdvance(QStringLiteral("El reporte generado contiene "));
    const int despues = antes + fm.horizontalAdvance(QString(18, u' '));
    QVERIFY2(caja.left() >= antes - 1, qPrintable(QString::number(caja.left())));
    QVERIFY2(caja.right() < despues, qPrintable(QStringLiteral("%1 %2").arg(caja.right()).arg(despues)));
    QVERIFY(caja.top() <= d.aviso()->y() + fm.lineSpacing() / 2);
    QVERIFY(caja.bottom() >= d.aviso()->y() + fm.lineSpacing() / 2);

    QList<QList<int>> aperturas;
    QString archivo;
    d.abrirPrevia = [&](const QString &a, int paginas, int desde, int hasta) {
        archivo = a;
        aperturas.append({paginas, desde, hasta});
    };
    d.txtPagDesde()->setText(QStringLiteral("3"));
    d.txtPagHasta()->setText(QStringLiteral("2"));
    QTest::mouseClick(d.cmdAccion(0), Qt::LeftButton);
    QCOMPARE(m_base->mensajes().textos(), QStringList{QStringLiteral("Página de Inicio debe ser mayor a página de Fin.")});
    QCOMPARE(m_base->mensajes().ultimo().titulo, QStringLiteral("Impresión por páginas"));
    QCOMPARE(m_base->mensajes().ultimo().icono, Icono::Critico);
    QVERIFY(aperturas.isEmpty());

    d.txtPagHasta()->setText(QStringLiteral("4.5"));
    QTest::mouseClick(d.cmdAccion(0), Qt::LeftButton);
    QCOMPARE(aperturas, (QList<QList<int>>{{12, 3, 4}}));
    QCOMPARE(archivo, QStringLiteral("00000042.PRN"));
}

void TstVentanasReportes::teclasDeLasPaginas_data()
{
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("queda");
    QTest::newRow("letras fuera") << "a1b2" << "12";
    QTest::newRow("punto y blanco pasan") << "1. 5" << "1. 5";
    QTest::newRow("signos fuera") << "-3,+4" << "34";
}

void TstVentanasReportes::teclasDeLasPaginas()
{
    QFETCH(QString, tecleado);
    QFETCH(QString, queda);
    frmImpxPag d(ctx(), m_bitacora.fabrica());
    d.cargar();
    d.show();
    QVERIFY(QTest::qWaitForWindowActive(&d) || true);
    for (QLineEdit *campo : {d.txtPagDesde(), d.txtPagHasta()}) {
        campo->clear();
        campo->setFocus();
        QTest::keyClicks(campo, tecleado);
        QCOMPARE(campo->text(), queda);
    }
    // Enter moves on to the next box.
    d.txtPagDesde()->setFocus();
    QTest::keyClick(d.txtPagDesde(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), d.txtPagHasta());
}

void TstVentanasReportes::consistencia()
{
    const QString archivo = m_base->carpeta() + QStringLiteral("Mens.txt");
    {
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(aCp1252(u"Falta el número de RUC\r\nPeríodo inválido\r\n"));
    }
    FrmConsist v(ctx(), m_bitacora.fabrica());
    v.sFileError = archivo;
    v.cargar();
    QCOMPARE(v.windowTitle(), QStringLiteral("Inconsistencias detectadas"));
    QCOMPARE(v.TxtPreliminar()->toPlainText(), QStringLiteral("Falta el número de RUC\nPeríodo inválido\n"));
    QVERIFY(v.TxtPreliminar()->isReadOnly());
    QCOMPARE(v.cmdImprimir()->text(), QStringLiteral("&Imprimir"));
    QCOMPARE(v.CmdGrabar()->text(), QStringLiteral("&Aceptar"));
    bool hayEtiqueta = false;
    for (const QLabel *l : v.findChildren<QLabel *>())
        hayEtiqueta |= l->text() == QStringLiteral("En su declaración se han detectado las siguientes inconsistencias :");
    QVERIFY(hayEtiqueta);

    QTest::mouseClick(v.cmdImprimir(), Qt::LeftButton);
    QCOMPARE(m_bitacora.trabajos.size(), 1);
    QCOMPARE(m_bitacora.ultimo().paginas.first().textoEn(400, 1270), QStringLiteral("2. Período inválido"));
    QCOMPARE(m_bitacora.ultimo().paginas.first().textoEn(400, 570), QStringLiteral("10:30:15"));
    QCOMPARE(m_base->mensajes().mostrados().size(), 0);
    QVERIFY(!QApplication::overrideCursor());

    // A missing file is told, and the window shows nothing.
    FrmConsist otra(ctx(), m_bitacora.fabrica());
    otra.sFileError = m_base->carpeta() + QStringLiteral("no.txt");
    otra.cargar();
    QCOMPARE(otra.TxtPreliminar()->toPlainText(), QString());
    QCOMPARE(m_base->mensajes().mostrados().size(), 1);
}

void TstVentanasReportes::registro()
{
    RegistroVentanas ventanas;
    registrarVentanasReportes(ventanas, ctx(), nullptr, m_bitacora.fabrica());
    QVERIFY(ventanas.contiene(QStringLiteral("Validar")));
    QVERIFY(ventanas.contiene(QStringLiteral("ImprimirxPaginas")));

    QString archivoVisto;
    QString totalVisto;
    QString nombreVisto;
    QTimer::singleShot(0, this, [&] {
        if (auto *v = qobject_cast<FrmConsist *>(QApplication::activeModalWidget())) {
            archivoVisto = v->sFileError;
            v->CmdGrabar()->click();
        }
    });
    QVERIFY(ventanas.AbrirVentana(QStringLiteral("Validar"), QString(), false, QStringLiteral("/x/Mens.txt")));
    QCOMPARE(archivoVisto, QStringLiteral("/x/Mens.txt"));
    m_base->mensajes().limpiar();

    QTimer::singleShot(0, this, [&] {
        if (auto *d = qobject_cast<frmImpxPag *>(QApplication::activeModalWidget())) {
            totalVisto = d->txtTotPaginas()->text();
            nombreVisto = d->sNombreRep;
            d->cmdAccion(1)->click();
        }
    });
    QVERIFY(ventanas.AbrirVentana(QStringLiteral("ImprimirxPaginas"), QString(), false,
                                  QStringLiteral("00000007.PRN"), 14));
    QCOMPARE(totalVisto, QStringLiteral("14"));
    QCOMPARE(nombreVisto, QStringLiteral("00000007.PRN"));
}

void TstVentanasReportes::listaSpool()
{
    const QVariantList filas[] = {
        {QStringLiteral("ZEN001"), QStringLiteral("000001"), QStringLiteral("00000001.PRN"),
         QStringLiteral("2026-01-05 10:00:00"), QStringLiteral("ANA"), 6, QStringLiteral("20100047218")},
        {QStringLiteral("ZEN003"), QStringLiteral("000001"), QStringLiteral("00000002.PRN"),
         QStringLiteral("2026-01-06 09:00:00"), QStringLiteral("LUIS"), 6, QStringLiteral("20100047218")},
        {QStringLiteral("ZEN001"), QStringLiteral("000002"), QStringLiteral("00000010.PRN"),
         QStringLiteral("2026-02-01 08:00:00"), QStringLiteral("ANA"), 6, QStringLiteral("20512345678")},
    };
    for (const QVariantList &f : filas)
        m_base->ejecutar(QStringLiteral("INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, "
                                        "doc_id_d) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                         f);
    QVERIFY(escribirArchivo(ctx().sRutaReportes + QStringLiteral("/00000010.PRN"), reporteDePaginas(4)));
    // The period as each writer puts it in its heading; a later page does
    // not count.
    QVERIFY(escribirArchivo(ctx().sRutaReportes + QStringLiteral("/00000001.PRN"),
                            {QStringLiteral("<!font!>Courier New<!/font!>"),
                             QStringLiteral("pPos|2000|400|QDL Zentorio|True|9|0|"),
                             QStringLiteral("pPos|4300|850|Período 04-2026|False|7|0|")}));
    QVERIFY(escribirArchivo(ctx().sRutaReportes + QStringLiteral("/00000002.PRN"),
                            {QStringLiteral("pPos|300|890|REPORTE DE ERRORES DE IMPORTACION - PERIODO 11/2025|False|10|0|")}));
    QStringList segunda = reporteDePaginas(4);
    segunda.append(QStringLiteral("pPos|300|2250|PERIODO         : 11/2006|False|10|1|"));
    QVERIFY(escribirArchivo(ctx().sRutaReportes + QStringLiteral("/00000010.PRN"), segunda));
    for (const auto &[codigo, descripcion] : {std::pair{"ZEN001", "Zentor 0517 – Declaración"},
                                              std::pair{"ZEN002", "Reporte de Envío 2003 -  0517"}})
        m_base->ejecutar(QStringLiteral("INSERT INTO Reportes VALUES (?,?,1)"),
                         {QString::fromLatin1(codigo), QString::fromUtf8(descripcion)});

    m_base->agregarContribuyente(QStringLiteral("20512345678"), QStringLiteral("DOS S.A."), QStringLiteral("ANA"));
    ListaSpool lista(ctx(), m_bitacora.fabrica());
    QCOMPARE(lista.filas(), 3);
    QStringList archivos;
    for (int i = 0; i < 3; ++i)
        archivos.append(lista.modelo()->index(i, 2).data().toString());
    QCOMPARE(archivos, (QStringList{"00000010.PRN", "00000002.PRN", "00000001.PRN"}));
    QCOMPARE(lista.modelo()->index(0, 0).data().toString(), QStringLiteral("ZEN001"));
    QCOMPARE(lista.modelo()->index(0, 1).data().toString(), QStringLiteral("000002"));
    QCOMPARE(lista.modelo()->index(0, 4).data().toString(), QStringLiteral("ANA"));
    QCOMPARE(lista.modelo()->index(0, 5).data().toString(), QStringLiteral("RUC 20512345678"));
    QCOMPARE(lista.modelo()->index(0, ListaSpool::Fecha).data().toString(), QStringLiteral("01/02/2026 08:00:00"));
    QCOMPARE(lista.modelo()->index(0, ListaSpool::Contribuyente).data().toString(), QStringLiteral("DOS S.A."));
    QCOMPARE(lista.archivoSeleccionado(), QStringLiteral("00000010.PRN"));
    // What each report is, from the catalogue (a code it lacks has none),
    // and its declaration's period.
    QStringList descripciones, periodos;
    for (int i = 0; i < 3; ++i) {
        descripciones << lista.modelo()->index(i, ListaSpool::Descripcion).data().toString();
        periodos << lista.modelo()->index(i, ListaSpool::Periodo).data().toString();
    }
    QCOMPARE(descripciones, (QStringList{QStringLiteral("Zentor 0517 – Declaración"), QString(),
                                         QStringLiteral("Zentor 0517 – Declaración")}));
    QCOMPARE(periodos, (QStringList{QString(), QStringLiteral("11/2025"), QStringLiteral("04/2026")}));
    QHeaderView *cabecera = lista.grilla()->horizontalHeader();
    QStringList titulos;
    for (int visual = 0; visual < 3; ++visual)
        titulos << lista.modelo()->headerData(cabecera->logicalIndex(visual), Qt::Horizontal).toString();
    QCOMPARE(titulos, (QStringList{QStringLiteral("Código"), QStringLiteral("Descripción"), QStringLiteral("Periodo")}));

    QStringList abiertos;
    lista.abrirReporte = [&](const QString &a) { abiertos.append(a); };
    lista.verSeleccionado();
    lista.grilla()->setCurrentIndex(lista.modelo()->index(2, 0));
    lista.verSeleccionado();
    QCOMPARE(abiertos, (QStringList{"00000010.PRN", "00000001.PRN"}));
    QCOMPARE(ListaSpool::contarPaginas(ctx().sRutaReportes + QStringLiteral("/00000010.PRN")), 4);
    QCOMPARE(ListaSpool::contarPaginas(ctx().sRutaReportes + QStringLiteral("/nada.PRN")), 0);
}

QTEST_MAIN(TstVentanasReportes)
#include "tst_ventanasreportes.moc"
