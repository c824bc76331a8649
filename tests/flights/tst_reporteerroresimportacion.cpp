// The import error report: a stored reference for a two-page case, and
// where the total goes when the last page is full.
#include "flights/importacionvuelos.h"
#include "flights/reporteerroresimportacion.h"
#include "reports/lectorreporte.h"
#include "importacionprueba.h"

#include <QTest>

using namespace kv;
using namespace kv::prueba;

namespace {

QString referencia(const QString &nombre)
{
    return qEnvironmentVariable("KV_SOURCE_DIR") + QStringLiteral("/tests/flights/datos/") + nombre;
}

// 39 refused lines, one per rule and then the same rule again, around two
// accepted ones. The first date field looks like a page-count record.
QStringList treintaYNueveRechazos()
{
    const QString cuerpo = QStringLiteral("|12|0|3|0|1|0|0|0|150|");
    QStringList l = {
        QStringLiteral("17/11/2026|LA2401|12|0|3|0|1|0|0|0|150|"),
        QStringLiteral("<!nHojas!>9<!/nHojas!>|AB123") + cuerpo,
        QStringLiteral("31/02/2026|AB124") + cuerpo,
        QStringLiteral("16/02/2003|AB125") + cuerpo,
        QStringLiteral("08/12/2026|AB126") + cuerpo,
        QStringLiteral("15/10/2026|AB127") + cuerpo,
        QStringLiteral("|AB128") + cuerpo,
        QStringLiteral("18/11/2026|") + cuerpo,
        QStringLiteral("18/11/2026|AB-129") + cuerpo,
        QStringLiteral("18/11/2026|ABCDEFGHIJKLMNOP") + cuerpo,
        QStringLiteral("18/11/2026|0000") + cuerpo,
        QStringLiteral("18/11/2026|AB130|0|0|3|0|1|0|0|0|150|"),
        QStringLiteral("18/11/2026|AB131|12|0|3|0|1|0|0|0|123456|"),
        QStringLiteral("18/11/2026|AB132|1a|0|3|0|1|0|0|0|150|"),
        QStringLiteral("18/11/2026|AB133|12|0||0|1|0|0|0|150|"),
        QStringLiteral(" 31/02/2026 | AB134 |12|0|3|0|1|0||0|150|"),
        QStringLiteral("19/11/2026|LA2402|10|2|0|0|0|0|0|0|98|"),
    };
    for (int d = 1; d <= 24; ++d)
        l << QStringLiteral("%1/11/2026|VU-%2").arg(d, 2, 10, QLatin1Char('0')).arg(100 + d) + cuerpo;
    return l;
}

} // namespace

class TstReporteErroresImportacion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dosHojas()
    {
        BaseDePrueba base;
        abrirDeclaracionVuelos(base);
        ImportacionVuelos importacion(base.contexto(), QStringLiteral("11/2026"));
        const ResultadoImportacion r
            = importacion.ImportarVuelos(escribirArchivoVuelos(base, treintaYNueveRechazos()));
        QCOMPARE(r.rechazados, qint64(39));
        QCOMPARE(r.transferidos, qint64(2));

        const ReporteRegistrado reporte = registrarReporteErrores(
            base.contexto(), importacion.periodoMostrado(), importacion.rutaErrores());
        QVERIFY2(reporte.hecho(), qPrintable(reporte.error.texto));
        QCOMPARE(reporte.ultimaHoja, 1);
        QCOMPARE(base.valor(QStringLiteral("SELECT CodRep || ' ' || doc_id_d FROM SPOOL WHERE Archivo=?"),
                         { reporte.archivo })
                     .toString(),
            QStringLiteral("ZEN003 20100070970"));
        QCOMPARE(leerBytes(base.contexto().sRutaReportes + u'/' + reporte.archivo),
            leerBytes(referencia(QStringLiteral("errores39.PRN"))));
    }

    // A full last page: the total goes alone on the next one.
    void totalSolo()
    {
        QTemporaryDir dir;
        QFile errores(dir.filePath(QStringLiteral("e.Err")));
        QVERIFY(errores.open(QIODevice::WriteOnly));
        for (int i = 0; i < 38; ++i)
            errores.write("01/11/2026  A-1              El código\r\n");
        errores.close();

        ReporteErroresImportacion reporte(kRucImportacion, QStringLiteral("X"), QStringLiteral("11/2026"),
            QDateTime(QDate(2026, 12, 7), QTime(10, 30, 15)));
        const QString ruta = dir.filePath(QStringLiteral("00000001.PRN"));
        QCOMPARE(reporte.ReporteErrores(ruta, errores.fileName()), 1);
        const DocumentoReporte doc = leerReporte(ruta);
        QVERIFY(!doc.error.hay());
        QCOMPARE(doc.saltos, 1);
        QCOMPARE(doc.paginas.size(), 2);
        QCOMPARE(doc.paginas[0].registros.size(), 8 + 38);
        QCOMPARE(doc.paginas[0].registros.last().y, 14120);
        const QList<Registro> &total = doc.paginas[1].registros;
        QCOMPARE(total.size(), 3);
        QCOMPARE(total[1].texto, QStringLiteral("Total de Errores:                          38"));
        QCOMPARE(total[1].y, 4400);
    }
};

QTEST_GUILESS_MAIN(TstReporteErroresImportacion)
#include "tst_reporteerroresimportacion.moc"
