// Not a test: run by hand (build-dir/tests/bench_instalador) to see how the
// installation time grows with the length of the layout file. Prints one
// figure a line, "name: value unit".
#include "installer/instalador.h"
#include "support/basedeprueba.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

using namespace kv;

namespace {

// One installation on a fresh host (and, with `veces` 2, a second one that
// finds every row), with a layout file of `lineas` lines; milliseconds of
// the last run.
qint64 instalar(int lineas, int veces)
{
    prueba::BaseDePrueba base(prueba::BaseDePrueba::Opciones{.tablasModulo = false, .parametrosInstalados = false});
    QFile archivo(base.carpeta() + QStringLiteral("tmp/env517.txt"));
    if (!archivo.open(QIODevice::WriteOnly))
        qFatal("cannot write the layout file");
    for (int i = 0; i < lineas; ++i)
        archivo.write(QByteArrayLiteral("0517|T") + QByteArray::number(i) + "|H" + QByteArray::number(i)
                      + "||1|0|1|1|1|1|0|0|0|\r\n");
    archivo.close();

    qint64 ms = 0;
    for (int v = 0; v < veces; ++v) {
        prueba::MensajesGuionados mensajes;
        Instalador instalador(mensajes, base.rutaIni(), QStringLiteral("bench"));
        QElapsedTimer reloj;
        reloj.start();
        if (instalador.ejecutar() != Instalador::Resultado::Completa)
            qFatal("the installation did not finish");
        ms = reloj.elapsed();
    }
    if (base.contar(QStringLiteral("envio_t")) != lineas)
        qFatal("wrong row count");
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("envio_16000_lineas: %lld ms\n", static_cast<long long>(instalar(16000, 1)));
    std::printf("envio_100000_lineas: %lld ms\n", static_cast<long long>(instalar(100000, 1)));
    std::printf("envio_100000_lineas_reinstalacion: %lld ms\n", static_cast<long long>(instalar(100000, 2)));
    return 0;
}
