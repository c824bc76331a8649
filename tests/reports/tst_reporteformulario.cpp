// The declaration print-out compared byte for byte with the references under
// datos/, and what it does when the report cannot be made.
#include "declaracionesimpresion.h"
#include "reports/reporteformulario.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

QByteArray leer(const QString &ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe: ") + ruta.toUtf8() + '>';
}

QString referencia(const QString &caso)
{
    return qEnvironmentVariable("KV_SOURCE_DIR") + QStringLiteral("/tests/reports/datos/") + caso
           + QStringLiteral(".PRN");
}

// The first line where two files part, for a readable failure.
QString primeraDiferencia(const QByteArray &a, const QByteArray &b)
{
    const QList<QByteArray> la = a.split('\n');
    const QList<QByteArray> lb = b.split('\n');
    for (int i = 0; i < qMax(la.size(), lb.size()); ++i) {
        if (la.value(i) != lb.value(i))
            return QStringLiteral("line %1:\n  got      %2\n  expected %3")
                .arg(i + 1)
                .arg(QString::fromLatin1(la.value(i).trimmed()), QString::fromLatin1(lb.value(i).trimmed()));
    }
    return {};
}

} // namespace

class TstReporteFormulario : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void referencias_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<int>("paginas");
        QTest::addColumn<QString>("orden"); // "": as stored; else the order number the list gives
        QTest::newRow("three flights, cash") << "efectivo3" << 2 << "";
        QTest::newRow("40 flights over two pages") << "vuelos40" << 3 << "";
        QTest::newRow("cheque, previous payments, annexes") << "cheque_anexos" << 3 << "";
        QTest::newRow("sent, order and control numbers") << "enviada" << 3 << "";
        // Sent, its order number not yet recorded: the same print-out
        // without the boxes of the control and order numbers.
        QTest::newRow("sent, no order number yet") << "enviada" << 3 << "        ";
        QTest::newRow("negative box, no flights, no payments") << "negativa" << 3 << "";
    }

    void referencias()
    {
        QFETCH(QString, caso);
        QFETCH(int, paginas);
        QFETCH(QString, orden);
        BaseDePrueba base;
        QVERIFY(base.valida());
        prepararDeclaraciones(base);

        ReporteFormulario reporte(base.datos());
        DeclaracionPrueba d = declaracionPrueba(caso);
        if (!orden.isEmpty())
            d.orden = orden;
        const ReporteFormulario::Resultado r = reporte.generar(d.impresion());
        QVERIFY2(r.correcto(), qPrintable(r.error));
        QCOMPARE(r.paginas, paginas);
        QCOMPARE(r.archivo, QStringLiteral("00000001.PRN"));
        QCOMPARE(base.valor(QStringLiteral("SELECT CodRep || ' ' || Secuencia || ' ' || tip_doc_d || ' ' || doc_id_d "
                                           "FROM SPOOL WHERE Archivo=?"),
                            {r.archivo})
                     .toString(),
                 QStringLiteral("ZEN001 000001 6 ") + d.ruc);

        const QByteArray escrito = leer(base.contexto().sRutaReportes + u'/' + r.archivo);
        QByteArray esperado = leer(referencia(caso));
        if (!orden.isEmpty()) {
            QList<QByteArray> lineas = esperado.split('\n');
            lineas.removeIf([](const QByteArray &l) {
                return l.startsWith("pCuadro|150|1640|2650|1910|") || l.startsWith("pCuadro|8500|1640|11000|1910|")
                    || l.contains("|1720|");
            });
            esperado = lineas.join('\n');
        }
        QVERIFY2(escrito == esperado, qPrintable(primeraDiferencia(escrito, esperado)));
    }

    // A report that cannot be finished leaves no file that could pass for
    // the taxpayer's copy.
    void sinArchivoAMedias()
    {
        BaseDePrueba base;
        QVERIFY(base.valida());
        prepararDeclaraciones(base);
        ReporteFormulario reporte(base.datos());
        const DeclaracionImpresion d = declaracionPrueba(QStringLiteral("efectivo3")).impresion();
        const QString ruta = base.contexto().sRutaReportes + QStringLiteral("/00000009.PRN");

        base.ejecutar(QStringLiteral("ALTER TABLE F517DETVP RENAME TO F517DETVP_X"));
        QCOMPARE(reporte.ReporteForm(ruta, d, reporte.leerCasillas(d)), 0);
        QVERIFY(reporte.error().startsWith(QStringLiteral("Error Número : ")));
        QVERIFY(!QFile::exists(ruta));

        base.ejecutar(QStringLiteral("ALTER TABLE F517DETVP_X RENAME TO F517DETVP"));
        QVERIFY(QDir(base.contexto().sRutaReportes).removeRecursively());
        const ReporteFormulario::Resultado r = reporte.generar(d);
        QVERIFY(!r.correcto());
        QVERIFY(r.error.contains(QStringLiteral("00000001.PRN")));
    }
};

QTEST_GUILESS_MAIN(TstReporteFormulario)
#include "tst_reporteformulario.moc"
