// How long the declaration print-out takes as the flights grow, and how long
// the preview of the longest one takes to show its first page. Not a test:
// run by hand (build-dir/tests/bench_impresion); one figure a line.
//
//   impresion_10000_vuelos: the report of 10,000 flights written (box array,
//       SPOOL row and file), best of five runs
//   impresion_100000_vuelos: the same with 100,000 flights
//   previa_primera_pagina_100000_vuelos: the preview of that report opened
//       on all its pages, until its first page is drawn
//   previa_ultima_pagina_100000_vuelos: from there, End pressed until the
//       last page is drawn (the rest of the file read first)
#include "reports/reporteformulario.h"
#include "reports/ui/frmpreview.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "support/basedeprueba.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <cstdio>
#include <ctime>

using namespace kv;

namespace {

const QString kRuc = QStringLiteral("20100070970");

// A saved declaration with its boxes and `vuelos` flights spread over the
// days of the month. Saving copies the working copy through its key, so the
// stored rows follow arrival date and code, as they are written here.
void guardar(QSqlDatabase db, const QString &periodo, int vuelos)
{
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, fec_pro, rectifica, bcolibrad, "
                             "nrocheque, cheque, efectivo, estado, cNumero) "
                             "VALUES (6,?,?,'0517','2026-04-02','0',' ',' ',' ','1000',0,'000000')"));
    q.addBindValue(kRuc);
    q.addBindValue(periodo);
    q.exec();
    q.prepare(QStringLiteral("INSERT INTO DET (doc_id_d, tip_doc_d, periodo, Formulario, Casilla, i_valor, idcasilla, "
                             "estado, cNumero) VALUES (?,6,?,'0517',?,?,'01',0,'000000')"));
    const char *const casillas[][2] = {{"390", "123456"}, {"391", "23456"}, {"392", "100000"}, {"393", "1500000"},
                                       {"394", "1600000"}, {"395", "100000"}, {"396", "22500000"}, {"397", "3.450"},
                                       {"401", "77625000"}, {"404", "77625000"}, {"406", "77625000"},
                                       {"410", "77625000"}, {"005", "0"}, {"872", "E"}, {"028", "4215678"}};
    for (const auto &c : casillas) {
        q.addBindValue(kRuc);
        q.addBindValue(periodo);
        q.addBindValue(QString::fromLatin1(c[0]));
        q.addBindValue(QString::fromLatin1(c[1]));
        q.exec();
    }
    q.prepare(QStringLiteral("INSERT INTO F517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo, "
                             "num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, num_extrad, "
                             "num_deport, num_adqanterior, num_afectos, mto_dolar, cnumero) "
                             "VALUES (6,?,?,'0517',?,?,?,'2','1','0','0','0','0','0',?,?,'000000')"));
    for (int i = 0; i < vuelos; ++i) {
        const int afectos = 100 + i % 150;
        q.addBindValue(kRuc);
        q.addBindValue(periodo);
        q.addBindValue(QStringLiteral("%1-%2-%3")
                           .arg(periodo.left(4), periodo.mid(4, 2))
                           .arg(1 + int(qint64(i) * 28 / vuelos), 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("VU%1").arg(i, 6, 10, QLatin1Char('0')));
        q.addBindValue(QString::number(8 + i % 7));
        q.addBindValue(QString::number(afectos));
        q.addBindValue(QString::number(afectos * 15));
        q.exec();
    }
    db.commit();
}

DeclaracionImpresion declaracion(const QString &periodo)
{
    DeclaracionImpresion d;
    d.ruc = kRuc;
    d.razonSocial = QStringLiteral("AEROLÍNEAS DEL SUR S.A.");
    d.periodo = periodo;
    return d;
}

double msCpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Best of five; the report of the last run is kept. The processor time of
// the best run goes to the error output: on a busy machine it says more
// than the clock.
double medirImpresion(prueba::BaseDePrueba &base, const QString &periodo, ReporteFormulario::Resultado &r)
{
    ReporteFormulario reporte(base.datos());
    double mejor = 1e12;
    double cpu = 0;
    for (int i = 0; i < 5; ++i) {
        if (!r.archivo.isEmpty())
            QFile::remove(base.contexto().sRutaReportes + u'/' + r.archivo);
        QElapsedTimer reloj;
        reloj.start();
        const double cpuAntes = msCpu();
        r = reporte.generar(declaracion(periodo));
        const double ms = reloj.nsecsElapsed() / 1e6;
        if (ms < mejor) {
            mejor = ms;
            cpu = msCpu() - cpuAntes;
        }
        if (!r.correcto()) {
            std::fprintf(stderr, "%s\n", qPrintable(r.error));
            return -1;
        }
    }
    std::fprintf(stderr, "%s: %d pages, %.0f ms of processor time\n", qPrintable(periodo), r.paginas, cpu);
    return mejor;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prueba::BaseDePrueba base;
    if (!base.valida())
        return 1;
    MensajesConsola mensajes;
    base.contexto().mensajes = &mensajes;
    guardar(base.db(), QStringLiteral("202603"), 10000);
    guardar(base.db(), QStringLiteral("202604"), 100000);

    ReporteFormulario::Resultado diezMil;
    ReporteFormulario::Resultado cienMil;
    const double ms10 = medirImpresion(base, QStringLiteral("202603"), diezMil);
    const double ms100 = medirImpresion(base, QStringLiteral("202604"), cienMil);
    if (ms10 < 0 || ms100 < 0)
        return 1;
    std::printf("impresion_10000_vuelos: %.0f ms\n", ms10);
    std::printf("impresion_100000_vuelos: %.0f ms\n", ms100);
    std::fflush(stdout);

    QElapsedTimer reloj;
    reloj.start();
    frmPreview v(base.contexto());
    v.sRut = cienMil.archivo;
    v.nNroHojas = cienMil.paginas;
    v.nPagIni = 1;
    v.nPagFin = cienMil.paginas;
    v.bImpRango = true;
    v.cargar();
    const QImage primera = v.picPrevia()->grab().toImage();
    const double msPrevia = reloj.nsecsElapsed() / 1e6;
    std::printf("previa_primera_pagina_100000_vuelos: %.0f ms\n", msPrevia);
    std::fflush(stdout);

    reloj.restart();
    v.ultimaHoja();
    const QImage ultima = v.picPrevia()->grab().toImage();
    std::printf("previa_ultima_pagina_100000_vuelos: %.0f ms\n", reloj.nsecsElapsed() / 1e6);
    return primera.isNull() || ultima.isNull() || v.nHojaActual() + 1 != cienMil.paginas ? 1 : 0;
}
