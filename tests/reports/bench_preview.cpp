// How the preview behaves as reports grow: the time to open it on page 1,
// and the peak memory of the process while paging through every page.
// Each size runs in a child process of its own, so that one size's peak
// does not hide another's.
//
//   bench_preview                 sizes 20, 50, 100 and 200 pages
//   bench_preview 20 400 ...      the sizes given
#include "reports/escritorreporte.h"
#include "reports/ui/frmpreview.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/utilidad.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

using namespace kv;

namespace {

long vmHwmKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &l : f.readAll().split('\n')) {
        if (l.startsWith("VmHWM:"))
            return l.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// A page the size of a declaration print-out's flight pages: a header block
// of boxes and texts and 42 detail rows.
void escribirReporte(const QString &ruta, int paginas)
{
    EscritorReporte e;
    e.abrir(ruta);
    e.escribirFuente();
    e.escribirNumeroHojas(paginas);
    e.escribirOrientacion(Orientacion::Vertical);
    e.escribirColor(0x00FFFFC0);
    for (int p = 0; p < paginas; ++p) {
        if (p > 0)
            pImpLinea(0, 0, QStringLiteral("pNuevaHoja"), false, 8, p, e);
        pImpCuadro(150, 300, 8500, 1100, p, e);
        pImpCuadro(8500, 300, 11000, 1100, p, e);
        pImpLinea(9000, 400, QStringLiteral("Copia para el"), false, 8, p, e);
        pImpLinea(8600, 700, QStringLiteral("Contribuyente (Pag. %1)").arg(p + 1), false, 8, p, e);
        pImpLinea(1750, 1450, QStringLiteral("TRANSPORTES AEREOS DEL SUR S.A."), true, 9, p, e);
        pImpCuadro(150, 2610, 11300, 3150, p, e);
        for (int f = 0; f < 42; ++f)
            pImpLinea(300, 3150 + 270 * f,
                      QStringLiteral("%1/03/2026 VU%2      12    3    0    0    1    0    0    0  %3  %4    1,234.00")
                          .arg(1 + f % 28, 2, 10, QLatin1Char('0'))
                          .arg(1000 + f)
                          .arg(100 + f, 4)
                          .arg(119 + f, 5),
                      false, 9, p, e);
    }
    e.cerrar();
}

int medir(int paginas)
{
    QTemporaryDir dir;
    const QString nombre = QStringLiteral("00000001.PRN");
    QDir().mkpath(dir.filePath(QStringLiteral("RPT")));
    escribirReporte(dir.filePath(QStringLiteral("RPT/") + nombre), paginas);

    MensajesConsola mensajes;
    Utilidad utilidad;
    Contexto ctx;
    ctx.sRutaReportes = dir.filePath(QStringLiteral("RPT"));
    ctx.mensajes = &mensajes;
    ctx.utilidad = &utilidad;

    const long antes = vmHwmKb();
    QElapsedTimer reloj;
    reloj.start();
    frmPreview v(ctx);
    v.sRut = nombre;
    v.nNroHojas = paginas;
    v.nPagIni = 1;
    v.nPagFin = paginas;
    v.bImpRango = true;
    v.cargar();
    QImage primera = v.picPrevia()->grab().toImage(); // page 1 drawn, as it appears on screen
    const double msAbrir = reloj.nsecsElapsed() / 1e6;

    for (int i = 1; i < v.cuadros(); ++i) {
        v.accionSiguiente()->trigger();
        primera = v.picPrevia()->grab().toImage();
    }
    const long pico = vmHwmKb();
    std::printf("%d\t%.1f\t%ld\t%ld\t%d\n", paginas, msAbrir, pico, pico - antes, v.cuadros());
    return v.cuadros() == paginas ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("--una"))
        return medir(args[1].toInt());
    if (args.isEmpty())
        args = {QStringLiteral("20"), QStringLiteral("50"), QStringLiteral("100"), QStringLiteral("200")};
    std::printf("pages\topen_ms\tVmHWM_kB\tgrowth_kB\tpictures\n");
    std::fflush(stdout);
    int fallos = 0;
    for (const QString &n : args) {
        QProcess hijo;
        hijo.setProcessChannelMode(QProcess::ForwardedChannels);
        hijo.start(app.applicationFilePath(), {QStringLiteral("--una"), n});
        hijo.waitForFinished(-1);
        fallos += hijo.exitCode() != 0;
    }
    return fallos;
}
