#include "entornoprueba.h"
#include "integrator/lanzador.h"
#include "support/mensajesguionados.h"

#include <QSignalSpy>
#include <QTest>

using namespace kv;
using kv::prueba::MensajesGuionados;

class TstLanzador : public QObject
{
    Q_OBJECT

private slots:
    void fallos_data();
    void fallos();
    void programaQueNoEsta_data();
    void programaQueNoEsta();
    void salidaLargaGuardaElFinal();
    void esperaAgotada();
    void entornoYCarpeta();
};

void TstLanzador::fallos_data()
{
    QTest::addColumn<QByteArray>("guion");
    QTest::addColumn<bool>("correcto");
    QTest::addColumn<QStringList>("fragmentos"); // of the one message shown; empty: none

    QTest::newRow("termina bien") << QByteArray("echo hola; exit 0") << true << QStringList();
    QTest::newRow("código 3, error y salida")
        << QByteArray("echo 'leyendo KV000.INI'; echo 'Error de Conección: no hay base' >&2; exit 3") << false
        << QStringList { QStringLiteral("El programa prog terminó con el código de salida 3."),
               QStringLiteral("leyendo KV000.INI\nError de Conección: no hay base") };
    QTest::newRow("sin mensaje") << QByteArray("exit 2") << false
                                 << QStringList { QStringLiteral("El programa no dejó ningún mensaje.") };
    QTest::newRow("muere") << QByteArray("echo antes; kill -9 $$") << false
                           << QStringList { QStringLiteral("terminó de forma anormal"),
                                  QStringLiteral("antes") };
}

// The same rules whether the host waits for the program (the installer) or
// lets it run beside its window (the module).
void TstLanzador::fallos()
{
    QFETCH(QByteArray, guion);
    QFETCH(bool, correcto);
    QFETCH(QStringList, fragmentos);

    for (const bool esperando : { true, false }) {
        EntornoPrueba e;
        QVERIFY(e.programa(QStringLiteral("prog"), guion));
        MensajesGuionados mensajes;
        Lanzador lanzador(mensajes, e.programas());
        if (esperando) {
            QCOMPARE(lanzador.ejecutar(QStringLiteral("prog"), e.raiz()), correcto);
        } else {
            QSignalSpy terminado(&lanzador, &Lanzador::terminado);
            QVERIFY(lanzador.iniciar(QStringLiteral("prog"), e.raiz()));
            QVERIFY(terminado.wait(10000));
            QCOMPARE(terminado.first().at(0).toString(), QStringLiteral("prog"));
            QCOMPARE(terminado.first().at(1).toBool(), correcto);
            QVERIFY(!lanzador.enEjecucion(QStringLiteral("prog")));
        }
        QCOMPARE(mensajes.mostrados().size(), fragmentos.isEmpty() ? 0 : 1);
        for (const QString &f : fragmentos) {
            QVERIFY2(mensajes.ultimo().texto.contains(f), qPrintable(mensajes.ultimo().texto));
            QCOMPARE(mensajes.ultimo().titulo, QStringLiteral("Qadelia"));
            QCOMPARE(mensajes.ultimo().icono, Icono::Critico);
        }
    }
}

void TstLanzador::programaQueNoEsta_data()
{
    QTest::addColumn<bool>("archivoSinPermiso"); // a file that may not be run
    QTest::newRow("no existe") << false;
    QTest::newRow("no ejecutable") << true;
}

void TstLanzador::programaQueNoEsta()
{
    QFETCH(bool, archivoSinPermiso);
    EntornoPrueba e;
    const QString ruta = e.programas() + QStringLiteral("/kv517");
    if (archivoSinPermiso)
        QVERIFY(EntornoPrueba::escribir(ruta, "#!/bin/sh\n"));
    MensajesGuionados mensajes;
    Lanzador lanzador(mensajes, e.programas());
    QVERIFY(!lanzador.existe(QStringLiteral("kv517")));
    QVERIFY(!lanzador.iniciar(QStringLiteral("kv517"), QString()));
    QVERIFY(!lanzador.ejecutar(QStringLiteral("kv517"), QString()));
    QCOMPARE(mensajes.textos(), QStringList(2, QStringLiteral("No se encontró el programa %1.").arg(ruta)));
}

void TstLanzador::salidaLargaGuardaElFinal()
{
    EntornoPrueba e;
    QVERIFY(e.programa(QStringLiteral("prog"),
        "i=0; while [ $i -lt 3000 ]; do echo \"linea $i del registro\"; i=$((i+1)); done;"
        " echo 'causa: tabla CONT inexistente' >&2; exit 1"));
    MensajesGuionados mensajes;
    Lanzador lanzador(mensajes, e.programas());
    QSignalSpy terminado(&lanzador, &Lanzador::terminado);
    QVERIFY(lanzador.iniciar(QStringLiteral("prog"), QString()));
    QVERIFY(terminado.wait(10000));
    const QString texto = mensajes.ultimo().texto;
    QVERIFY(texto.endsWith(QStringLiteral("causa: tabla CONT inexistente")));
    QVERIFY(!texto.contains(QStringLiteral("linea 0 del registro")));
    QVERIFY2(texto.size() < Lanzador::kSalidaMaxima + 200, qPrintable(QString::number(texto.size())));
    // Cut at a line start: no half line after the ellipsis.
    QVERIFY(texto.section(u'\n', 3, 3).startsWith(QStringLiteral("linea ")));
}

void TstLanzador::esperaAgotada()
{
    EntornoPrueba e;
    QVERIFY(e.programa(QStringLiteral("prog"), "echo esperando; sleep 30"));
    MensajesGuionados mensajes;
    Lanzador lanzador(mensajes, e.programas());
    QElapsedTimer reloj;
    reloj.start();
    QVERIFY(!lanzador.ejecutar(QStringLiteral("prog"), QString(), false, 500));
    QVERIFY(reloj.elapsed() < 10000);
    QVERIFY(mensajes.ultimo().texto.startsWith(
        QStringLiteral("El programa prog no terminó a tiempo y fue detenido.")));
}

void TstLanzador::entornoYCarpeta()
{
    EntornoPrueba e;
    QVERIFY(e.programa(QStringLiteral("prog"), "echo \"$XDG_CONFIG_HOME $# $(pwd -P)\" > salida.txt"));
    MensajesGuionados mensajes;
    Lanzador lanzador(mensajes, e.programas());
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("/config/del/host"));
    lanzador.fijarEntorno(entorno);
    QVERIFY(lanzador.ejecutar(QStringLiteral("prog"), e.datos()));
    // Started with no arguments, in the folder it was given.
    QCOMPARE(EntornoPrueba::leer(e.datos() + QStringLiteral("/salida.txt")).trimmed(),
        "/config/del/host 0 " + QFile::encodeName(QFileInfo(e.datos()).canonicalFilePath()));
}

QTEST_GUILESS_MAIN(TstLanzador)
#include "tst_lanzador.moc"
