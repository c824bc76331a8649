// The host's sending of a saved declaration, and its command that draws a
// report file into a PDF.
#include "integrator/enviodeclaracion.h"
#include "store/accesodatos.h"
#include "store/formato.h"
#include "store/texto.h"
#include "summary/lineacomandos.h"
#include "support/basedeprueba.h"
#include "support/palabraspdf.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <sys/stat.h>

using namespace kv;
using prueba::BaseDePrueba;

namespace {

const QString kRuc = QStringLiteral("20100070970");

// Control numbers in order, so that the tests know them.
class EnvioFijo : public EnvioDeclaracion
{
public:
    using EnvioDeclaracion::EnvioDeclaracion;
    QString nuevoControl() const override { return QStringLiteral("1234567%1").arg(++m_cuenta); }

private:
    mutable int m_cuenta = 0;
};

// A saved declaration with two flights, one previous payment and its boxes,
// plus the layout rows the installer writes.
void prepararDeclaracion(BaseDePrueba &base, int estado)
{
    base.ejecutar(QStringLiteral("INSERT INTO envio_t VALUES ('0517','F517DETVP','HF517DETVP','',1,1,1,1,1,1,0,0,0)"));
    base.ejecutar(QStringLiteral("INSERT INTO envio_t VALUES ('0517','F517PAGPRE','HF517PAGPRE','',2,0,1,1,1,1,0,0,1)"));
    base.agregarContribuyente(kRuc, QStringLiteral("AEROLÍNEAS O'HIGGINS S.A."), QStringLiteral("PRUEBA"));
    base.ejecutar(QStringLiteral("INSERT INTO CAB VALUES (6,?,'200611','0517','2006-12-05','0','05','00123456',"
                                 "'5175',' ',?,'','111111')"),
                  {kRuc, estado});
    for (const auto &[casilla, valor] : {std::pair{"401", "5175"}, std::pair{"406", "5175"}, std::pair{"410", "5175"}}) {
        base.ejecutar(QStringLiteral("INSERT INTO DET VALUES (?,6,'200611','0517',?,?,'01',0,'222222')"),
                      {kRuc, QString::fromLatin1(casilla), QString::fromLatin1(valor)});
    }
    for (const char *vuelo : {"LA2400", "LP1101"}) {
        base.ejecutar(QStringLiteral("INSERT INTO F517DETVP VALUES (6,?,'200611','0517','2006-11-03',?,'10','2','0',"
                                     "'0','0','0','0','0','100','1500','333333')"),
                      {kRuc, QString::fromLatin1(vuelo)});
    }
    base.ejecutar(QStringLiteral("INSERT INTO F517PAGPRE VALUES (6,?,'200611','0517',0,'5841','00001234','071901',"
                                 "'2006-11-20','345','3.450','100','444444')"),
                  {kRuc});
    // Another taxpayer's declaration of the same period is never copied.
    base.ejecutar(QStringLiteral("INSERT INTO F517DETVP VALUES (6,'20500000008','200611','0517','2006-11-03','XX1',"
                                 "'1','0','0','0','0','0','0','0','1','15','555555')"));
}

} // namespace

class TstEnvio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enviarDosVeces()
    {
        BaseDePrueba base;
        prepararDeclaracion(base, 0);
        const QStringList guardadaAntes = base.filas(QStringLiteral("SELECT * FROM CAB"))
            + base.filas(QStringLiteral("SELECT * FROM DET")) + base.filas(QStringLiteral("SELECT * FROM F517DETVP"))
            + base.filas(QStringLiteral("SELECT * FROM F517PAGPRE"));

        EnvioFijo envio(base.contexto(), base.datos());
        const auto primero = envio.enviar(kRuc, QStringLiteral("200611"));
        QVERIFY2(primero.enviada, qPrintable(primero.mensaje));
        QCOMPARE(primero.correl, QStringLiteral("001"));
        QCOMPARE(primero.control, QStringLiteral("12345671"));
        const auto segundo = envio.enviar(kRuc, QStringLiteral("200611"));
        QVERIFY(segundo.enviada);
        QCOMPARE(segundo.correl, QStringLiteral("002"));

        for (const QString &correl : {QStringLiteral("001"), QStringLiteral("002")}) {
            QCOMPARE(base.contar(QStringLiteral("HCAB"), QStringLiteral("correl=?"), {correl}), 1);
            QCOMPARE(base.contar(QStringLiteral("HDET"), QStringLiteral("correl=?"), {correl}), 3);
            QCOMPARE(base.contar(QStringLiteral("HF517DETVP"), QStringLiteral("correl=?"), {correl}), 2);
            QCOMPARE(base.contar(QStringLiteral("HF517PAGPRE"), QStringLiteral("correl=?"), {correl}), 1);
        }
        QCOMPARE(base.contar(QStringLiteral("HF517DETVP"), QStringLiteral("doc_id_d<>?"), {kRuc}), 0);

        // The history header: sent today, state 1, its control number and a
        // check code over its own columns.
        QSqlQuery q(base.db());
        QVERIFY(q.exec(QStringLiteral("SELECT * FROM HCAB WHERE correl='002'")) && q.next());
        const QSqlRecord hcab = q.record();
        QCOMPARE(hcab.value(QStringLiteral("fec_env")).toString(), QStringLiteral("2026-12-07"));
        QCOMPARE(hcab.value(QStringLiteral("estado")).toInt(), 1);
        QCOMPARE(hcab.value(QStringLiteral("control")).toString(), QStringLiteral("12345672"));
        QCOMPARE(hcab.value(QStringLiteral("cheque")).toString(), QStringLiteral("5175"));
        QCOMPARE(hcab.value(QStringLiteral("cNumero")).toString(), base.datos().CodigoControl(QStringLiteral("HCAB"), hcab, 6));
        QVERIFY(hcab.value(QStringLiteral("cNumero")).toString() != QStringLiteral("111111"));
        // The module's rows travel with their own check codes.
        QCOMPARE(base.filas(QStringLiteral("SELECT DISTINCT cnumero FROM HF517DETVP")), QStringList{"333333"});
        QCOMPARE(base.filas(QStringLiteral("SELECT semana, cod_boleta, tip_cambio FROM HF517PAGPRE WHERE correl='001'")),
                 QStringList{"0|5841|3.450"});

        const QStringList guardadaDespues = base.filas(QStringLiteral("SELECT * FROM CAB"))
            + base.filas(QStringLiteral("SELECT * FROM DET")) + base.filas(QStringLiteral("SELECT * FROM F517DETVP"))
            + base.filas(QStringLiteral("SELECT * FROM F517PAGPRE"));
        QCOMPARE(guardadaDespues, guardadaAntes);

        // The summary program's command line for this submission.
        QCOMPARE(segundo.lineaComandos, QStringLiteral("0620100070970    0517200611012345672"));
        const LineaComandos linea = LineaComandos::leer(segundo.lineaComandos);
        QCOMPARE(linea.numeroEnvio, QStringLiteral("12345672"));
    }

    // Sent again, as a rectification or as it stands: the list and the last
    // submission say when it went and under which correlative; a
    // rectification marks the saved declaration too, with valid check
    // codes, so that the history copy and the summary's command line say so.
    void reenvio_data()
    {
        QTest::addColumn<bool>("rectificatoria");
        QTest::addColumn<QString>("marca"); // CAB, boxes 871 and 005, HCAB of the second copy
        QTest::newRow("rectificatoria") << true << "1 1 1 1";
        QTest::newRow("como esta") << false << "0 0 0 0";
    }
    void reenvio()
    {
        QFETCH(bool, rectificatoria);
        QFETCH(QString, marca);
        BaseDePrueba base;
        prepararDeclaracion(base, 0);
        for (const char *casilla : {"871", "005"})
            base.ejecutar(QStringLiteral("INSERT INTO DET VALUES (?,6,'200611','0517',?,'0','01',0,'222222')"),
                          {kRuc, QString::fromLatin1(casilla)});
        EnvioFijo envio(base.contexto(), base.datos());
        const auto lista = [&] {
            QSqlQuery q = base.datos().consultar(envio.consultaDeclaraciones());
            if (!q.next())
                return QStringLiteral("(nothing)");
            return fechaGuardada(q.value(4)).toString(Qt::ISODate) + u' ' + q.value(5).toString();
        };
        QCOMPARE(lista(), QStringLiteral(" "));
        QVERIFY(!envio.ultimoEnvio(kRuc, QStringLiteral("200611")).hay());
        QVERIFY(envio.enviar(kRuc, QStringLiteral("200611")).enviada);
        QCOMPARE(lista(), QStringLiteral("2026-12-07 001"));
        const auto previo = envio.ultimoEnvio(kRuc, QStringLiteral("200611"));
        QCOMPARE(previo.correl, QStringLiteral("001"));
        QCOMPARE(previo.fecha, QDate(2026, 12, 7));

        const auto segundo = envio.enviar(kRuc, QStringLiteral("200611"), rectificatoria);
        QVERIFY2(segundo.enviada, qPrintable(segundo.mensaje));
        QCOMPARE(lista(), QStringLiteral("2026-12-07 002"));
        const QString vista
            = base.valor(QStringLiteral("SELECT rectifica FROM CAB")).toString() + u' '
              + base.filas(QStringLiteral("SELECT i_valor FROM DET WHERE Casilla IN ('871','005') ORDER BY Casilla"))
                    .join(u' ')
              + u' ' + base.valor(QStringLiteral("SELECT rectifica FROM HCAB WHERE correl='002'")).toString();
        QCOMPARE(vista, marca);
        QCOMPARE(base.valor(QStringLiteral("SELECT rectifica FROM HCAB WHERE correl='001'")).toString(), QStringLiteral("0"));
        QCOMPARE(base.filas(QStringLiteral("SELECT i_valor FROM HDET WHERE correl='002' AND Casilla='871'")),
                 QStringList{marca.left(1)});
        QCOMPARE(segundo.lineaComandos.mid(27, 1), marca.left(1));
        // A row rewritten has its check code worked out again; the others
        // are left as they were.
        QSqlQuery q(base.db());
        QVERIFY(q.exec(QStringLiteral("SELECT * FROM CAB")) && q.next());
        QCOMPARE(q.record().value(QStringLiteral("cNumero")).toString(),
                 rectificatoria ? base.datos().CodigoControl(QStringLiteral("CAB"), q.record(), 5)
                                : QStringLiteral("111111"));
        QVERIFY(q.exec(QStringLiteral("SELECT * FROM DET WHERE Casilla IN ('871','005')")));
        int casillas = 0;
        while (q.next()) {
            ++casillas;
            const QString esperado = rectificatoria ? base.datos().CodigoControl(QStringLiteral("DET"), q.record(), 6)
                                                    : QStringLiteral("222222");
            QCOMPARE(q.record().value(QStringLiteral("cNumero")).toString(), esperado);
        }
        QCOMPARE(casillas, 2);
    }

    void conInconsistenciasNoSeEnvia()
    {
        BaseDePrueba base;
        prepararDeclaracion(base, 9);
        EnvioFijo envio(base.contexto(), base.datos());
        const auto r = envio.enviar(kRuc, QStringLiteral("200611"));
        QVERIFY(!r.enviada);
        QVERIFY(r.mensaje.contains(QStringLiteral("inconsistencias")));
        QCOMPARE(base.contar(QStringLiteral("HCAB")), 0);
        QCOMPARE(base.contar(QStringLiteral("HF517DETVP")), 0);
    }

    void unaFallaNoDejaCopiaAMedias()
    {
        BaseDePrueba base;
        prepararDeclaracion(base, 0);
        base.agregarFalla(QStringLiteral("falla"), QStringLiteral("INSERT"), QStringLiteral("HF517PAGPRE"),
                          QStringLiteral("disco lleno"));
        EnvioFijo envio(base.contexto(), base.datos());
        QVERIFY(!envio.enviar(kRuc, QStringLiteral("200611")).enviada);
        for (const char *tabla : {"HCAB", "HDET", "HF517DETVP", "HF517PAGPRE"})
            QCOMPARE(base.contar(QString::fromLatin1(tabla)), 0);
        QVERIFY(base.mensajes().ultimo().texto.contains(QStringLiteral("disco lleno")));
    }

    void declaracionesQueElUsuarioPuedeEnviar()
    {
        BaseDePrueba::Opciones opciones;
        opciones.usuario = QStringLiteral("LUIS");
        opciones.tipoUsuario = QStringLiteral("1");
        BaseDePrueba base(opciones);
        prepararDeclaracion(base, 0); // registered by PRUEBA
        base.agregarContribuyente(QStringLiteral("20500000008"), QStringLiteral("DOS"), QStringLiteral("LUIS"));
        base.ejecutar(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, estado) "
                                     "VALUES (6,'20500000008','200610','0517',9)"));
        EnvioFijo envio(base.contexto(), base.datos());
        QSqlQuery q = base.datos().consultar(envio.consultaDeclaraciones());
        QStringList vistas;
        while (q.next())
            vistas << q.value(0).toString() + u' ' + q.value(2).toString() + u' ' + q.value(3).toString();
        QCOMPARE(vistas, QStringList{QStringLiteral("20500000008 200610 9")});
    }

    void pdfDeUnReporte()
    {
        BaseDePrueba base;
        QFile prn(base.carpeta() + QStringLiteral("RPT/00000007.PRN"));
        QVERIFY(prn.open(QIODevice::WriteOnly));
        prn.write(aCp1252(u"<!font!>Courier New<!/font!>\r\n<!Orientacion!>V<!/Orientacion!>\r\n"
                          u"pPos|1440|2880|Declaración|False|10|0|\r\npNuevaHoja\r\npPos|2000|4000|SEGUNDA|True|8|1|\r\n"));
        prn.close();
        const QString pdf = base.carpeta() + QStringLiteral("salida.pdf");
        QProcess qadelia;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.remove(QStringLiteral("DISPLAY"));
        entorno.remove(QStringLiteral("QT_QPA_PLATFORM"));
        qadelia.setProcessEnvironment(entorno);
        const QString programa = qEnvironmentVariable("KV_BIN_DIR") + QStringLiteral("/qadelia");
        qadelia.start(programa, {QStringLiteral("--pdf"), QStringLiteral("00000007.PRN"), pdf});
        QVERIFY(qadelia.waitForFinished(60000));
        QCOMPARE(qadelia.exitCode(), 0);

        int paginas = 0;
        const QList<prueba::Palabra> palabras = prueba::palabrasPdf(pdf, &paginas);
        QCOMPARE(paginas, 2);
        QCOMPARE(palabras.size(), 2);
        QCOMPARE(palabras.at(0).texto, QStringLiteral("Declaración"));
        QVERIFY(qAbs(palabras.at(0).xMin - prueba::puntosEnPdfA4(1440)) <= 1.0);
        QVERIFY(qAbs(palabras.at(0).yMin - prueba::puntosEnPdfA4(2880)) <= 1.0);
        QCOMPARE(palabras.at(1).pagina, 1);
        QVERIFY(qAbs(palabras.at(1).xMin - prueba::puntosEnPdfA4(2000)) <= 1.0);
        QVERIFY(qAbs(palabras.at(1).yMin - prueba::puntosEnPdfA4(4000)) <= 1.0);

        // A file the reader cannot read: its message, and no PDF.
        QVERIFY(prn.open(QIODevice::WriteOnly | QIODevice::Truncate));
        prn.write("pPos|1|1|texto|quizas|8|0|\r\n");
        prn.close();
        QFile::remove(pdf);
        qadelia.start(programa, {QStringLiteral("--pdf"), QStringLiteral("00000007.PRN"), pdf});
        QVERIFY(qadelia.waitForFinished(60000));
        QVERIFY(qadelia.exitCode() != 0);
        QVERIFY(QString::fromLocal8Bit(qadelia.readAllStandardError()).contains(QStringLiteral("Línea 1")));
        QVERIFY(!QFile::exists(pdf));
    }

    // What qadelia --pdf says about a file it cannot draw: in UTF-8, with the
    // quoted line cut short and cleaned of control characters, at once for a
    // FIFO (which used to hang it), and the preview's words for a missing file.
    void pdfMensajesDelLector_data()
    {
        QTest::addColumn<QByteArray>("contenido"); // empty: no file; "FIFO": a named pipe
        QTest::addColumn<QByteArray>("esperado");  // standard error, UTF-8
        QTest::newRow("missing file") << QByteArray() << QByteArray("Error al Imprimir: Archivo F\xc3\xadsico del Reporte no Existe\n");
        QTest::newRow("FIFO") << QByteArray("FIFO") << QByteArray("no es un archivo regular");
        QTest::newRow("size field named in UTF-8")
            << QByteArray("pPos|1|1|texto|False|99999|0|\r\n") << QByteArray("el campo tama\xc3\xb1o (99999)");
        QTest::newRow("megabyte line")
            << QByteArray("\x1b[2J") + QByteArray(1 << 20, 'x') + "\r\n"
            << QByteArray("no se reconoce el tipo de registro en \"\xef\xbf\xbd[2J") + QByteArray(75, 'x') + "\xe2\x80\xa6\"\n";
    }
    void pdfMensajesDelLector()
    {
        QFETCH(QByteArray, contenido);
        QFETCH(QByteArray, esperado);
        BaseDePrueba base;
        const QString prn = base.carpeta() + QStringLiteral("RPT/00000009.PRN");
        if (contenido == "FIFO") {
            QCOMPARE(::mkfifo(QFile::encodeName(prn).constData(), 0600), 0);
        } else if (!contenido.isEmpty()) {
            QFile f(prn);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenido);
        }
        QProcess qadelia;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        qadelia.setProcessEnvironment(entorno);
        const QString pdf = base.carpeta() + QStringLiteral("salida.pdf");
        qadelia.start(qEnvironmentVariable("KV_BIN_DIR") + QStringLiteral("/qadelia"),
                      {QStringLiteral("--pdf"), QStringLiteral("00000009.PRN"), pdf});
        const bool termino = qadelia.waitForFinished(20000);
        if (!termino)
            qadelia.kill();
        QVERIFY(termino);
        QVERIFY(qadelia.exitCode() != 0);
        const QByteArray error = qadelia.readAllStandardError();
        QVERIFY2(error.contains(esperado), error.left(300).constData());
        QVERIFY2(error.size() < 400, QByteArray::number(error.size()).constData());
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(TstEnvio)
#include "tst_envio.moc"
