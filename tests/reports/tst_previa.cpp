// The preview window driven as a user would: pictures of a range, paging,
// keys, the wheel, the page field, the views, colours, printing and the
// messages.
#include "archivosprueba.h"
#include "support/basedeprueba.h"
#include "impresoragrabadora.h"
#include "reports/dibujopagina.h"
#include "reports/ui/frmpreview.h"
#include "reports/ui/hojaprevia.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTest>
#include <QTimer>

using namespace kv;
using namespace kv::prueba;

class TstPrevia : public QObject
{
    Q_OBJECT
    std::unique_ptr<BaseDePrueba> m_base;
    BitacoraImpresora m_bitacora;

    Contexto &ctx() { return m_base->contexto(); }
    void reporte(const QString &nombre, const QStringList &lineas)
    {
        QVERIFY(escribirArchivo(ctx().sRutaReportes + u'/' + nombre, lineas));
    }
    std::unique_ptr<frmPreview> abrir(const QString &nombre, int total, int inicio, int fin)
    {
        auto v = std::make_unique<frmPreview>(ctx(), m_bitacora.fabrica());
        v->sRut = nombre;
        v->nNroHojas = total;
        v->nPagIni = inicio;
        v->nPagFin = fin;
        v->bImpRango = true;
        v->cargar();
        v->completarLectura();
        return v;
    }
    // Shown and active, so that its keys reach it.
    std::unique_ptr<frmPreview> abrirVisible(const QString &nombre, int total)
    {
        auto v = abrir(nombre, total, 1, total);
        v->show();
        v->activateWindow();
        if (!QTest::qWaitForWindowActive(v.get()))
            return nullptr;
        return v;
    }
    static QString paginaVista(const frmPreview &v)
    {
        for (const Registro &r : v.paginaVisible().registros) {
            if (r.tipo == Registro::Tipo::Texto)
                return r.texto.section(u' ', 1, 1);
        }
        return QStringLiteral("-");
    }

private Q_SLOTS:
    void init()
    {
        m_base = std::make_unique<BaseDePrueba>();
        QVERIFY(m_base->valida());
        m_bitacora = BitacoraImpresora{};
    }
    void cleanup() { m_base.reset(); }

    void paginado_data();
    void paginado();
    void imprimeLoPrevisualizado_data();
    void imprimeLoPrevisualizado();
    void unaBarraPorDireccion();
    void teclas_data();
    void teclas();
    void desplazarPasaDeHoja();
    void campoHoja_data();
    void campoHoja();
    void colores_data();
    void colores();
    void archivoQueFalta();
    void errorDeLectura();
    void sinImpresoraVaAPdf();
    void exportarPdfDelRango();
    void abrePreviewDirecto();
    void abrePreviewVentana();
    void archivoLargoSeLeeEnSegundoPlano();
};

// A range of a report: which page each picture shows when paging forward
// to the end and back past the beginning.
void TstPrevia::paginado_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("inicio");
    QTest::addColumn<int>("fin");
    QTest::addColumn<QStringList>("adelante"); // shown after load, then after each "Pag Sgt"
    QTest::newRow("2 a 3 de 5") << 5 << 2 << 3 << QStringList{"2", "3", "3"};
    QTest::newRow("1 a 1 de 3") << 3 << 1 << 1 << QStringList{"1", "1"};
    QTest::newRow("2 a 2 de 3") << 3 << 2 << 2 << QStringList{"2", "2"};
    QTest::newRow("pasa del final") << 3 << 2 << 12 << QStringList{"2", "3", "3"};
    QTest::newRow("empieza despues del final") << 3 << 5 << 6 << QStringList{"-", "-"};
}

void TstPrevia::paginado()
{
    QFETCH(int, total);
    QFETCH(int, inicio);
    QFETCH(int, fin);
    QFETCH(QStringList, adelante);
    reporte(QStringLiteral("00000001.PRN"), reporteDePaginas(total));
    auto v = abrir(QStringLiteral("00000001.PRN"), total, inicio, fin);
    QCOMPARE(m_base->mensajes().mostrados().size(), 0);
    QCOMPARE(v->cuadros(), int(adelante.size()) - 1);

    QStringList vistos{paginaVista(*v)};
    for (int i = 1; i < adelante.size(); ++i) {
        v->accionSiguiente()->trigger();
        vistos.append(paginaVista(*v));
    }
    QCOMPARE(vistos, adelante);
    QCOMPARE(v->nHojaActual(), v->cuadros() - 1);

    // Back to the first, and once more: nothing moves.
    for (int i = 0; i < v->cuadros(); ++i)
        v->accionAnterior()->trigger();
    QCOMPARE(v->nHojaActual(), 0);
    QCOMPARE(paginaVista(*v), adelante.first());
    QVERIFY(v->picPrevia()->isVisibleTo(v.get()));
}

void TstPrevia::imprimeLoPrevisualizado_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("inicio");
    QTest::addColumn<int>("fin");
    QTest::addColumn<int>("impresas");
    QTest::newRow("2 a 3 de 5") << 5 << 2 << 3 << 2;
    QTest::newRow("1 a 1 de 3") << 3 << 1 << 1 << 1;
    QTest::newRow("todo") << 3 << 1 << 3 << 3;
}

void TstPrevia::imprimeLoPrevisualizado()
{
    QFETCH(int, total);
    QFETCH(int, inicio);
    QFETCH(int, fin);
    QFETCH(int, impresas);
    reporte(QStringLiteral("00000002.PRN"), reporteDePaginas(total));
    auto v = abrir(QStringLiteral("00000002.PRN"), total, inicio, fin);
    v->accionImprimir()->trigger();
    QCOMPARE(m_bitacora.trabajos.size(), 1);
    QCOMPARE(m_bitacora.ultimo().paginas.size(), impresas);
    QVERIFY(m_bitacora.ultimo().terminado);
    QCOMPARE(m_bitacora.ultimo().paginas.first().textos.first().texto,
             QStringLiteral("PAGINA %1 LINEA 0").arg(inicio));
    QCOMPARE(m_base->mensajes().textos(), QStringList{QStringLiteral("Reporte se imprimió satisfactoriamente")});
    QCOMPARE(m_base->mensajes().ultimo().titulo, QStringLiteral("Presentación Preliminar"));
    QCOMPARE(m_base->mensajes().ultimo().icono, Icono::Informacion);
    QCOMPARE(v->sOrientacion, QStringLiteral("V"));
}

// One bar a direction: as wide as the window the page moves up and down,
// whole it does not move; a bar moves the page and paging puts it back at
// the top.
void TstPrevia::unaBarraPorDireccion()
{
    reporte(QStringLiteral("00000003.PRN"), reporteDePaginas(3));
    auto v = abrirVisible(QStringLiteral("00000003.PRN"), 3);
    const auto barras = [&](Qt::Orientation o) {
        int n = 0;
        for (QScrollBar *b : v->findChildren<QScrollBar *>())
            n += b->orientation() == o && b->isVisible();
        return n;
    };
    QCOMPARE(v->vista(), frmPreview::Vista::AnchoPagina);
    QCOMPARE(barras(Qt::Vertical), 1);
    QCOMPARE(barras(Qt::Horizontal), 0);
    QCOMPARE(v->picPrevia()->width(), v->visor()->viewport()->width() - 16);
    v->vsbPic()->setValue(v->vsbPic()->maximum() / 2);
    const int arriba = v->picPrevia()->mapTo(v->visor()->viewport(), QPoint()).y();
    QVERIFY2(arriba < 0, qPrintable(QString::number(arriba)));
    v->accionSiguiente()->trigger();
    QCOMPARE(v->vsbPic()->value(), 0);

    // The page as wide as the window follows the window.
    v->resize(v->width() + 200, v->height());
    QTRY_COMPARE(v->picPrevia()->width(), v->visor()->viewport()->width() - 16);

    QTest::keyClick(v.get(), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(v->vista(), frmPreview::Vista::PaginaCompleta);
    QVERIFY(v->accionPaginaCompleta()->isChecked() && !v->accionAnchoPagina()->isChecked());
    QVERIFY(v->picPrevia()->height() <= v->visor()->viewport()->height());
    QCOMPARE(barras(Qt::Vertical) + barras(Qt::Horizontal), 0);

    // Ctrl and the wheel enlarge the page; both bars then move it.
    const double antes = v->zoom();
    QWheelEvent rueda(QPointF(50, 50), v->visor()->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, 6 * 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(v->visor()->viewport(), &rueda);
    QCOMPARE(v->vista(), frmPreview::Vista::Libre);
    QVERIFY(v->zoom() > antes * 2);
    QVERIFY(v->picPrevia()->width() > v->visor()->viewport()->width());
    QTRY_COMPARE(barras(Qt::Vertical), 1);
    QCOMPARE(barras(Qt::Horizontal), 1);
    v->HScroll1()->setValue(v->HScroll1()->maximum());
    QVERIFY(v->picPrevia()->mapTo(v->visor()->viewport(), QPoint()).x() < 0);

    QTest::keyClick(v.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(v->vista(), frmPreview::Vista::AnchoPagina);
    QCOMPARE(v->picPrevia()->width(), v->visor()->viewport()->width() - 16);
    QCOMPARE(barras(Qt::Horizontal), 0);
}

// The keys of reading: which page shows after each key, on a report of 74
// pages shown as wide as the window.
void TstPrevia::teclas_data()
{
    QTest::addColumn<QList<QKeyCombination>>("teclas");
    QTest::addColumn<QStringList>("vistas");
    QTest::newRow("Av Pag") << QList<QKeyCombination>{Qt::Key_PageDown, Qt::Key_PageDown} << QStringList{"2", "3"};
    QTest::newRow("Fin e Inicio") << QList<QKeyCombination>{Qt::Key_End, Qt::Key_Home} << QStringList{"74", "1"};
    QTest::newRow("Re Pag") << QList<QKeyCombination>{Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_PageDown}
                            << QStringList{"74", "73", "74", "74"};
    QTest::newRow("Re Pag en la primera") << QList<QKeyCombination>{Qt::Key_PageUp} << QStringList{"1"};
    QTest::newRow("Ctrl+Fin") << QList<QKeyCombination>{Qt::CTRL | Qt::Key_End, Qt::CTRL | Qt::Key_Home}
                              << QStringList{"74", "1"};
    // The side arrows turn pages when the whole width is on view.
    QTest::newRow("flechas laterales") << QList<QKeyCombination>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}
                                       << QStringList{"2", "3", "2"};
    QTest::newRow("flecha arriba en la primera") << QList<QKeyCombination>{Qt::Key_Up} << QStringList{"1"};
}

void TstPrevia::teclas()
{
    QFETCH(QList<QKeyCombination>, teclas);
    QFETCH(QStringList, vistas);
    reporte(QStringLiteral("00000012.PRN"), reporteDePaginas(74));
    auto v = abrirVisible(QStringLiteral("00000012.PRN"), 74);
    QStringList vistos;
    for (const QKeyCombination t : teclas) {
        QTest::keyClick(v.get(), t.key(), t.keyboardModifiers());
        vistos << paginaVista(*v);
    }
    QCOMPARE(vistos, vistas);
    QCOMPARE(v->txtHoja()->text(), vistas.last());
}

// The down arrow and the wheel scroll the page to its foot and then turn
// to the next page, from its top; up from the top of a page goes back to
// the foot of the one before.
void TstPrevia::desplazarPasaDeHoja()
{
    reporte(QStringLiteral("00000013.PRN"), reporteDePaginas(3));
    auto v = abrirVisible(QStringLiteral("00000013.PRN"), 3);
    QScrollBar *barra = v->vsbPic();
    QVERIFY(barra->maximum() > 0);
    int pulsaciones = 0;
    while (paginaVista(*v) == u"1" && pulsaciones < 200) {
        const int antes = barra->value();
        QTest::keyClick(v.get(), Qt::Key_Down);
        ++pulsaciones;
        if (paginaVista(*v) == u"1")
            QVERIFY(barra->value() > antes);
    }
    QCOMPARE(paginaVista(*v), QStringLiteral("2"));
    QVERIFY(pulsaciones > 2);
    QCOMPARE(barra->value(), 0);
    QTest::keyClick(v.get(), Qt::Key_Up);
    QCOMPARE(paginaVista(*v), QStringLiteral("1"));
    QCOMPARE(barra->value(), barra->maximum());

    const auto girar = [&](int muescas) {
        QWheelEvent rueda(QPointF(50, 50), v->visor()->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, muescas * 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(v->visor()->viewport(), &rueda);
    };
    girar(-1); // at the foot already
    QCOMPARE(paginaVista(*v), QStringLiteral("2"));
    QCOMPARE(barra->value(), 0);
    girar(-1); // scrolls within the page
    QCOMPARE(paginaVista(*v), QStringLiteral("2"));
    QVERIFY(barra->value() > 0);
    barra->setValue(0);
    girar(1);
    QCOMPARE(paginaVista(*v), QStringLiteral("1"));
}

// A page number typed in the toolbar: the page, or the last one past the
// end; anything else leaves the page on view.
void TstPrevia::campoHoja_data()
{
    QTest::addColumn<QString>("escrito");
    QTest::addColumn<QString>("vista");
    QTest::newRow("tercera") << "3" << "3";
    QTest::newRow("ultima") << "74" << "74";
    QTest::newRow("pasa del final") << "500" << "74";
    QTest::newRow("cero") << "0" << "1";
    QTest::newRow("vacio") << "" << "1";
}

void TstPrevia::campoHoja()
{
    QFETCH(QString, escrito);
    QFETCH(QString, vista);
    reporte(QStringLiteral("00000014.PRN"), reporteDePaginas(74));
    auto v = std::make_unique<frmPreview>(ctx(), m_bitacora.fabrica());
    v->sRut = QStringLiteral("00000014.PRN");
    v->nNroHojas = 74;
    v->nPagIni = 1;
    v->nPagFin = 74;
    v->bImpRango = true;
    v->cargar(); // the rest of the file still unread
    QCOMPARE(v->txtHoja()->text(), QStringLiteral("1"));
    QVERIFY(v->txtHoja()->accessibleName() == u"Hoja");
    v->txtHoja()->selectAll();
    QTest::keyClicks(v->txtHoja(), escrito);
    QTest::keyClick(v->txtHoja(), Qt::Key_Return);
    QCOMPARE(paginaVista(*v), vista);
    QCOMPARE(v->txtHoja()->text(), vista);
    QTRY_VERIFY(v->lecturaCompleta());
    QTRY_COMPARE(v->findChild<QLabel *>(QStringLiteral("lblTotal"))->text().trimmed(), QStringLiteral("de 74"));
}

void TstPrevia::colores_data()
{
    QTest::addColumn<QString>("registro");
    QTest::addColumn<QColor>("color");
    QTest::newRow("cian palido") << QStringLiteral("<!Color!>&H00FFFFC0&<!/Color!>") << QColor(192, 255, 255);
    QTest::newRow("fondo de ventana") << QStringLiteral("<!Color!>&H80000005&<!/Color!>")
                                      << QApplication::palette().color(QPalette::Base);
    QTest::newRow("cara de boton") << QStringLiteral("<!Color!>&H8000000F&<!/Color!>")
                                   << QApplication::palette().color(QPalette::Button);
    QTest::newRow("rojo") << QStringLiteral("<!Color!>&H000000FF&<!/Color!>") << QColor(255, 0, 0);
}

void TstPrevia::colores()
{
    QFETCH(QString, registro);
    QFETCH(QColor, color);
    QStringList lineas = reporteDePaginas(2);
    lineas.replaceInStrings(QStringLiteral("<!Color!>&H80000005&<!/Color!>"), registro);
    reporte(QStringLiteral("00000004.PRN"), lineas);
    auto v = abrir(QStringLiteral("00000004.PRN"), 2, 1, 2);
    QCOMPARE(v->colorFondo(), color);
    v->accionSiguiente()->trigger();
    QCOMPARE(v->colorFondo(), color);
    // The picture is painted in it.
    const QImage imagen = v->picPrevia()->grab().toImage();
    QCOMPARE(QColor(imagen.pixel(imagen.width() - 3, imagen.height() - 3)), color);
}

void TstPrevia::archivoQueFalta()
{
    auto v = abrir(QStringLiteral("99999999.PRN"), 3, 1, 3);
    QCOMPARE(m_base->mensajes().textos(), QStringList{QStringLiteral("Archivo Físico del Reporte no Existe")});
    QCOMPARE(m_base->mensajes().ultimo().titulo, QStringLiteral("Error al Imprimir"));
    QCOMPARE(m_base->mensajes().ultimo().icono, Icono::Critico);
    QVERIFY(v->paginaVisible().registros.isEmpty());
    m_base->mensajes().limpiar();
    v->accionImprimir()->trigger();
    QCOMPARE(m_bitacora.trabajos.size(), 0);
    QCOMPARE(m_base->mensajes().textos(), QStringList{QStringLiteral("Archivo Físico del Reporte no Existe")});
}

void TstPrevia::errorDeLectura()
{
    QStringList lineas = reporteDePaginas(3);
    lineas.insert(lineas.lastIndexOf(QStringLiteral("pNuevaHoja")), QStringLiteral("pPos|1|1|A|B|False|8|1|"));
    reporte(QStringLiteral("00000005.PRN"), lineas);
    auto v = abrir(QStringLiteral("00000005.PRN"), 3, 1, 3);
    const QString esperado = QStringLiteral("Error 13 - Línea %1: el campo negrita (\"B\") no es True, False ni un número")
                                 .arg(lineas.indexOf(QStringLiteral("pPos|1|1|A|B|False|8|1|")) + 1);
    QCOMPARE(m_base->mensajes().textos(), QStringList{esperado});
    QCOMPARE(m_base->mensajes().ultimo().titulo, QStringLiteral("Presentación Preliminar"));
    QCOMPARE(v->cuadros(), 2); // what came before stays
    // Printing stops at the same line: the job is dropped and no success is claimed.
    m_base->mensajes().limpiar();
    v->accionImprimir()->trigger();
    QCOMPARE(m_base->mensajes().textos(), QStringList{esperado});
    QCOMPARE(m_bitacora.trabajos.size(), 1);
    QVERIFY(m_bitacora.ultimo().abortado);
}

void TstPrevia::sinImpresoraVaAPdf()
{
    m_bitacora.sinImpresora = true;
    reporte(QStringLiteral("00000006.PRN"), reporteDePaginas(2));
    auto v = abrir(QStringLiteral("00000006.PRN"), 2, 1, 2);
    v->accionImprimir()->trigger();
    const QString pdf = ctx().sRutaReportes + QStringLiteral("/00000006.pdf");
    QCOMPARE(m_bitacora.ultimo().archivoPdf, pdf);
    QCOMPARE(m_base->mensajes().textos(),
             QStringList{QStringLiteral("No hay una impresora predeterminada. El reporte se guardó en el archivo ") + pdf});
}

void TstPrevia::exportarPdfDelRango()
{
    reporte(QStringLiteral("00000007.PRN"), reporteDePaginas(5));
    auto v = abrir(QStringLiteral("00000007.PRN"), 5, 2, 4);
    const QString destino = m_base->carpeta() + QStringLiteral("rango.pdf");
    QString sugerido;
    v->elegirArchivoPdf = [&](const QString &s) {
        sugerido = s;
        return destino;
    };
    v->accionExportar()->trigger();
    QCOMPARE(sugerido, ctx().sRutaReportes + QStringLiteral("/00000007.pdf"));
    QVERIFY(QFile::exists(destino));
    QFile f(destino);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll().count("/Type /Page\n") + 0, 3); // pages 2, 3 and 4
    QCOMPARE(m_base->mensajes().textos(), QStringList{QStringLiteral("El reporte se guardó en el archivo ") + destino});
    QCOMPARE(m_bitacora.trabajos.size(), 0); // the printer was not touched
}

void TstPrevia::abrePreviewDirecto()
{
    reporte(QStringLiteral("00000008.PRN"), reporteDePaginas(3, QStringLiteral("H")));
    AbrePreview(ctx(), QStringLiteral("00000008.PRN"), QStringLiteral("FILE"), 3, 2, 2, nullptr, m_bitacora.fabrica());
    QCOMPARE(m_bitacora.trabajos.size(), 1);
    QCOMPARE(m_bitacora.ultimo().paginas.size(), 3); // the whole file, the range is not used
    QCOMPARE(m_bitacora.ultimo().orientacion, Orientacion::Horizontal);
    QCOMPARE(m_base->mensajes().mostrados().size(), 0);
    reporte(QStringLiteral("00000009.PRN"), reporteDePaginas(1));
    AbrePreview(ctx(), QStringLiteral("00000009.PRN"), QStringLiteral("FILE"), 1, 1, 1, nullptr, m_bitacora.fabrica());
    QCOMPARE(m_bitacora.ultimo().orientacion, Orientacion::Vertical);
    AbrePreview(ctx(), QStringLiteral("no.PRN"), QStringLiteral("FILE"), 1, 1, 1, nullptr, m_bitacora.fabrica());
    QCOMPARE(m_base->mensajes().textos(), QStringList{QStringLiteral("Archivo Físico del Reporte no Existe")});
}

void TstPrevia::abrePreviewVentana()
{
    reporte(QStringLiteral("00000010.PRN"), reporteDePaginas(5));
    int cuadros = -1;
    QString vista;
    QTimer::singleShot(0, this, [&] {
        auto *v = qobject_cast<frmPreview *>(QApplication::activeModalWidget());
        if (!v)
            return;
        cuadros = v->cuadros();
        vista = paginaVista(*v);
        QCOMPARE(v->windowTitle(), QStringLiteral("Presentación Preliminar"));
        v->accionSalir()->trigger();
    });
    AbrePreview(ctx(), QStringLiteral("00000010.PRN"), QStringLiteral("Vprevia"), 5, 4, 5, nullptr, m_bitacora.fabrica());
    QCOMPARE(cuadros, 2);
    QCOMPARE(vista, QStringLiteral("4"));
}

// The first page of a long report shows before the file has been read to
// its end; the rest is read while the window waits, and a bad line near the
// end is still reported.
void TstPrevia::archivoLargoSeLeeEnSegundoPlano()
{
    QStringList lineas = reporteDePaginas(300);
    lineas.append(QStringLiteral("pPos|1|1|FIN|talvez|8|299|"));
    reporte(QStringLiteral("00000011.PRN"), lineas);
    auto v = std::make_unique<frmPreview>(ctx(), m_bitacora.fabrica());
    v->sRut = QStringLiteral("00000011.PRN");
    v->nPagIni = 1;
    v->nPagFin = 300;
    v->bImpRango = true;
    v->cargar();
    QCOMPARE(paginaVista(*v), QStringLiteral("1"));
    QVERIFY(!v->lecturaCompleta());
    QVERIFY(v->cuadros() < 300);
    QCOMPARE(m_base->mensajes().mostrados().size(), 0);
    // Paging ahead of the reading reads just as far as needed.
    v->accionSiguiente()->trigger();
    QCOMPARE(paginaVista(*v), QStringLiteral("2"));
    QTRY_VERIFY(v->lecturaCompleta());
    QCOMPARE(v->cuadros(), 300);
    QCOMPARE(m_base->mensajes().textos(),
             QStringList{QStringLiteral("Error 13 - Línea %1: el campo negrita (\"talvez\") no es True, False ni un número")
                             .arg(lineas.size())});
    QCOMPARE(v->nHojaActual(), 1);
}

QTEST_MAIN(TstPrevia)
#include "tst_previa.moc"
