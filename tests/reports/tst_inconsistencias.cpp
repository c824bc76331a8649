// The consistency report: rows, page breaks and frame as printed, and the
// printer failures as the user is told them.
#include "support/basedeprueba.h"
#include "impresoragrabadora.h"
#include "reports/reporteinconsistencias.h"
#include "store/texto.h"

#include <QTest>

using namespace kv;
using namespace kv::prueba;

class TstInconsistencias : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RelojFijo m_reloj{QDateTime(QDate(2026, 3, 9), QTime(8, 5, 7))};

    QString mensajes(const QString &nombre, const QStringList &lineas)
    {
        const QString r = m_dir.filePath(nombre);
        QFile f(r);
        if (f.open(QIODevice::WriteOnly)) {
            for (const QString &l : lineas)
                f.write(aCp1252(l) + "\r\n");
        }
        return r;
    }
    // Messages of the given lengths, each made of its number's last digit.
    static QStringList deLargos(const QList<int> &largos)
    {
        QStringList l;
        for (int i = 0; i < largos.size(); ++i)
            l.append(QString(largos[i], QChar(u'0' + (i + 1) % 10)));
        return l;
    }
    // (x, y, text) of every row below the heading, page by page.
    static QList<QStringList> filas(const TrabajoImpreso &t)
    {
        QList<QStringList> paginas;
        for (const PaginaImpresa &p : t.paginas) {
            QStringList l;
            for (const TextoImpreso &x : p.textos) {
                if (x.y >= 1000)
                    l.append(QStringLiteral("%1,%2:%3").arg(x.x).arg(x.y).arg(x.texto));
            }
            paginas.append(l);
        }
        return paginas;
    }
    static QString marco(const PaginaImpresa &p)
    {
        if (p.lineas.size() != 4)
            return QStringLiteral("%1 lineas").arg(p.lineas.size());
        return QStringLiteral("%1,%2-%3,%4").arg(p.lineas[2].x1).arg(p.lineas[2].y1).arg(p.lineas[3].x2).arg(p.lineas[3].y2);
    }

private Q_SLOTS:
    void filasYMarco_data();
    void filasYMarco();
    void encabezado();
    void saltoDePagina_data();
    void saltoDePagina();
    void fallos_data();
    void fallos();
    void sinImpresora();
};

void TstInconsistencias::filasYMarco_data()
{
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QStringList>("esperadas");
    QTest::addColumn<QString>("cuadro");
    QTest::addColumn<QStringList>("advertencias");
    QTest::newRow("tres mensajes")
        << QStringList{"Falta el RUC", "Periodo errado", "Tipo de cambio"}
        << QStringList{"400,1000:1. Falta el RUC", "400,1270:2. Periodo errado", "400,1540:3. Tipo de cambio",
                       "500,1810: Inconsistencias Detectadas : 3"}
        << QStringLiteral("300,900-10000,2080") << QStringList{};
    QTest::newRow("archivo vacio") << QStringList{}
                                   << QStringList{"500,1000: Inconsistencias Detectadas : 0"}
                                   << QStringLiteral("300,900-10000,1270") << QStringList{};
    QTest::newRow("90 caracteres en una fila")
        << deLargos({90}) << QStringList{"400,1000:1. " + QString(90, u'1'), "500,1270: Inconsistencias Detectadas : 1"}
        << QStringLiteral("300,900-10000,1540") << QStringList{};
    QTest::newRow("91 caracteres en dos filas")
        << QStringList{QString(89, u'a') + QStringLiteral("bc")}
        << QStringList{"400,1000:1. " + QString(89, u'a') + "-", "400,1270:    bc",
                       "500,1540: Inconsistencias Detectadas : 1"}
        << QStringLiteral("300,900-10000,1810") << QStringList{};
    QTest::newRow("blancos alrededor no alargan")
        << QStringList{QStringLiteral("  ") + QString(90, u'x') + QStringLiteral("   ")}
        << QStringList{"400,1000:1.   " + QString(90, u'x') + "   ", "500,1270: Inconsistencias Detectadas : 1"}
        << QStringLiteral("300,900-10000,1540") << QStringList{};
    QTest::newRow("acentos del archivo") << QStringList{QStringLiteral("Número de órden inválido")}
                                         << QStringList{"400,1000:1. Número de órden inválido",
                                                        "500,1270: Inconsistencias Detectadas : 1"}
                                         << QStringLiteral("300,900-10000,1540") << QStringList{};
    // Warnings follow the count under their heading, numbered apart.
    QTest::newRow("una inconsistencia y dos advertencias")
        << QStringList{"Falta el RUC"}
        << QStringList{"400,1000:1. Falta el RUC", "500,1270: Inconsistencias Detectadas : 1",
                       "400,1540:Advertencias (no impiden grabar)", "400,1810:1. Vuelo LA100",
                       "400,2080:2. Casilla 393"}
        << QStringLiteral("300,900-10000,2350") << QStringList{"Vuelo LA100", "Casilla 393"};
    QTest::newRow("solo advertencias")
        << QStringList{}
        << QStringList{"500,1000: Inconsistencias Detectadas : 0", "400,1270:Advertencias (no impiden grabar)",
                       "400,1540:1. " + QString(89, u'v') + "-", "400,1810:    vv"}
        << QStringLiteral("300,900-10000,2080") << QStringList{QString(91, u'v')};
}

void TstInconsistencias::filasYMarco()
{
    QFETCH(QStringList, lineas);
    QFETCH(QStringList, esperadas);
    QFETCH(QString, cuadro);
    QFETCH(QStringList, advertencias);
    BitacoraImpresora bitacora;
    auto impresora = bitacora.fabrica()(QString());
    MensajesGuionados avisos;
    QVERIFY(RepInconsist(mensajes(QStringLiteral("Mens.txt"), lineas), *impresora, m_reloj, avisos, advertencias));
    QCOMPARE(avisos.textos(), QStringList());
    QCOMPARE(bitacora.trabajos.size(), 1);
    QVERIFY(bitacora.ultimo().terminado);
    QCOMPARE(bitacora.ultimo().paginas.size(), 1);
    QCOMPARE(filas(bitacora.ultimo()).first(), esperadas);
    QCOMPARE(marco(bitacora.ultimo().paginas.first()), cuadro);
}

void TstInconsistencias::encabezado()
{
    BitacoraImpresora bitacora;
    auto impresora = bitacora.fabrica()(QString());
    MensajesGuionados avisos;
    // A machine whose locale writes dates month first still gets dd/mm/yyyy.
    const QLocale local;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const bool impreso = RepInconsist(mensajes(QStringLiteral("uno.txt"), {QStringLiteral("x")}), *impresora, m_reloj, avisos);
    QLocale::setDefault(local);
    QVERIFY(impreso);
    const PaginaImpresa &p = bitacora.ultimo().paginas.first();
    QCOMPARE(p.textoEn(400, 30), QStringLiteral("KORVAL"));
    QCOMPARE(p.textoEn(400, 300), QStringLiteral("09/03/2026"));
    QCOMPARE(p.textoEn(4000, 300), QStringLiteral("INCONSISTENCIAS DETECTADAS "));
    QCOMPARE(p.textoEn(9000, 300), QStringLiteral("PAG. 1 "));
    QCOMPARE(p.textoEn(400, 570), QStringLiteral("08:05:07"));
    QCOMPARE(p.textoEn(3000, 570), QStringLiteral("0517 QDL-Zentorio"));
    for (const TextoImpreso &t : p.textos) {
        QCOMPARE(t.tamano, 8.0);
        QCOMPARE(t.negrita, t.y < 1000);
        QCOMPARE(t.fuente.toLower(), QStringLiteral("courier new"));
    }
}

// Long lists: a page holds 40 rows; the next message starts a new page under
// the heading with its number, and the frame closes each page.
void TstInconsistencias::saltoDePagina_data()
{
    QTest::addColumn<QList<int>>("largos");
    QTest::addColumn<QList<int>>("filasPorPagina"); // rows printed on each page, count line included
    QTest::addColumn<QStringList>("marcos");
    QTest::newRow("40 justos") << QList<int>(40, 10) << QList<int>{41}
                               << QStringList{"300,900-10000,12070"};
    QTest::newRow("41") << QList<int>(41, 10) << QList<int>{40, 2}
                        << QStringList{"300,900-10000,11800", "300,900-10000,1540"};
    QTest::newRow("100") << QList<int>(100, 10) << QList<int>{40, 40, 21}
                         << QStringList{"300,900-10000,11800", "300,900-10000,11800", "300,900-10000,6670"};
    // 39 short ones and a long one: the long one takes rows 40 and 41 on
    // the same page, the next message goes on to the next page.
    QTest::newRow("doble fila cruza el 40") << (QList<int>(39, 10) << 95 << 10) << QList<int>{41, 2}
                                            << QStringList{"300,900-10000,12070", "300,900-10000,1540"};
}

void TstInconsistencias::saltoDePagina()
{
    QFETCH(QList<int>, largos);
    QFETCH(QList<int>, filasPorPagina);
    QFETCH(QStringList, marcos);
    BitacoraImpresora bitacora;
    auto impresora = bitacora.fabrica()(QString());
    MensajesGuionados avisos;
    QVERIFY(RepInconsist(mensajes(QStringLiteral("largo.txt"), deLargos(largos)), *impresora, m_reloj, avisos));
    const TrabajoImpreso &t = bitacora.ultimo();
    QCOMPARE(t.paginas.size(), filasPorPagina.size());
    const QList<QStringList> porPagina = filas(t);
    QList<int> cuentas;
    QStringList vistos;
    for (int i = 0; i < t.paginas.size(); ++i) {
        cuentas.append(int(porPagina[i].size()));
        vistos.append(marco(t.paginas[i]));
        QCOMPARE(t.paginas[i].textoEn(9000, 300), QStringLiteral("PAG. %1 ").arg(i + 1));
        QCOMPARE(t.paginas[i].textoEn(400, 30), QStringLiteral("KORVAL"));
        QVERIFY(porPagina[i].first().startsWith(QStringLiteral("400,1000:")));
    }
    QCOMPARE(cuentas, filasPorPagina);
    QCOMPARE(vistos, marcos);
    QVERIFY(porPagina.last().last().endsWith(QStringLiteral(" Inconsistencias Detectadas : %1").arg(largos.size())));
    // Numbering goes on across pages.
    if (t.paginas.size() > 1)
        QVERIFY2(porPagina[1].first().contains(QStringLiteral(":%1. ").arg(largos.size() > 41 ? 41 : largos.size())),
                 qPrintable(porPagina[1].first()));
}

void TstInconsistencias::fallos_data()
{
    QTest::addColumn<int>("alIniciar");
    QTest::addColumn<int>("alDibujar");
    QTest::addColumn<QString>("mensaje"); // empty: none shown
    QTest::newRow("sin impresora") << 482 << 0 << QStringLiteral("No existe una impresora seleccionada.Verifique.");
    QTest::newRow("cancelada") << 0 << 20545 << QStringLiteral("La Impresión ha sido Cancelada.");
    QTest::newRow("sin informacion") << 0 << 380 << QStringLiteral("No Existe Información a Imprimir.Verifique.");
    QTest::newRow("archivo ya abierto") << 55 << 0 << QString();
    QTest::newRow("otro") << 0 << 71 << QStringLiteral("Error Técnico : (71) fallo de prueba al dibujar");
}

void TstInconsistencias::fallos()
{
    QFETCH(int, alIniciar);
    QFETCH(int, alDibujar);
    QFETCH(QString, mensaje);
    BitacoraImpresora bitacora;
    bitacora.errorAlIniciar = alIniciar;
    if (alDibujar) {
        bitacora.fallarEnDibujo = 8;
        bitacora.numeroFallo = alDibujar;
    }
    auto impresora = bitacora.fabrica()(QString());
    MensajesGuionados avisos;
    QVERIFY(!RepInconsist(mensajes(QStringLiteral("f.txt"), {QStringLiteral("a"), QStringLiteral("b")}), *impresora,
                          m_reloj, avisos));
    QCOMPARE(avisos.textos(), mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
    if (!mensaje.isEmpty()) {
        QCOMPARE(avisos.ultimo().titulo, QStringLiteral("Impresión"));
        QCOMPARE(avisos.ultimo().icono, Icono::Critico);
    }
    if (alDibujar)
        QVERIFY(bitacora.ultimo().abortado);
}

void TstInconsistencias::sinImpresora()
{
    BitacoraImpresora bitacora;
    bitacora.sinImpresora = true;
    auto impresora = bitacora.fabrica()(QStringLiteral("/carpeta/RPT/Inconsistencias.pdf"));
    MensajesGuionados avisos;
    QVERIFY(RepInconsist(mensajes(QStringLiteral("p.txt"), {QStringLiteral("a")}), *impresora, m_reloj, avisos));
    QCOMPARE(avisos.textos(), QStringList{QStringLiteral("No hay una impresora predeterminada. El reporte se guardó "
                                                         "en el archivo /carpeta/RPT/Inconsistencias.pdf")});
    QCOMPARE(avisos.ultimo().icono, Icono::Informacion);
    MensajesGuionados otros;
    auto otra = bitacora.fabrica()(QString());
    QVERIFY(!RepInconsist(m_dir.filePath(QStringLiteral("no-existe.txt")), *otra, m_reloj, otros));
    QVERIFY2(otros.ultimo().texto.startsWith(QStringLiteral("Error Técnico : (53) ")), qPrintable(otros.ultimo().texto));
}

QTEST_GUILESS_MAIN(TstInconsistencias)
#include "tst_inconsistencias.moc"
