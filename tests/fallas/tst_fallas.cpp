// Faults the programs survive, with the real programs: a save or an import
// killed at a random moment, the disk filling up under each kind of file the
// programs write, and a damaged database at start.
#include "arnes.h"
#include "integrator/copiasseguridad.h"
#include "integrator/instalacion.h"
#include "integrator/lanzador.h"
#include "store/archivoini.h"
#include "store/basedatos.h"

#include <QElapsedTimer>
#include <QTextStream>

using namespace kv;
using namespace kv::prueba;

namespace {

// The clock of every program run here: saves stamp their date.
const QString kAhora = QStringLiteral("2024-04-10T10:00:00");

QProcessEnvironment entornoFijo()
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("KV_AHORA"), kAhora);
    return e;
}

// The carrier's file of March 2024 with `vuelos` flights, all with `marca`
// passengers subject to the tax; `malas` more lines that are refused.
QString archivoVuelos(const QString &carpeta, int vuelos, const QString &marca, int malas = 0)
{
    const QString ruta = carpeta + QStringLiteral("/vuelos") + marca + QStringLiteral(".TXT");
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    QTextStream s(&f);
    for (int i = 0; i < vuelos; ++i)
        s << QStringLiteral("%1/03/2024|V%2|9|1|2|3|4|5|6|7|%3|\r\n")
                 .arg(1 + i % 31, 2, 10, QLatin1Char('0'))
                 .arg(i, 5, 10, QLatin1Char('0'))
                 .arg(marca);
    for (int i = 0; i < malas; ++i)
        s << QStringLiteral("31/02/2024|MALO%1|9|1|2|3|4|5|6|7|1|\r\n").arg(i);
    return ruta;
}

// A copy of KV000.INI whose system folder (reports, messages file, backups)
// and, when asked, database are in `carpeta`.
QString iniEn(const BaseDePrueba &base, const QString &carpeta, bool conBase)
{
    const QString ruta = carpeta + QStringLiteral("/KV000.INI");
    QFile::remove(ruta);
    QFile::copy(base.rutaIni(), ruta);
    ArchivoIni ini(ruta);
    ini.escribir(QStringLiteral("Options"), QStringLiteral("SysPath"), carpeta + u'/');
    if (conBase)
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBPath"), carpeta + u'/');
    QDir(carpeta).mkpath(QStringLiteral("RPT"));
    return ruta;
}

QSqlDatabase abrirOtra(const QString &ruta, const QString &nombre)
{
    BaseDatos::abrir(ruta, nombre);
    return BaseDatos::base(nombre);
}

} // namespace

class TstFallas : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (BaseDePrueba().motor() != Motor::SQLite)
            QSKIP("the file's own faults");
    }

    // Killed at a random moment, twenty times: what is stored is the
    // declaration as it was before or as the run would have left it, the
    // file is sound, and the next start opens it.
    void matarAMitad_data()
    {
        QTest::addColumn<QString>("operacion");
        QTest::newRow("grabando 2000 vuelos") << "grabar";
        QTest::newRow("importando 2000 vuelos y grabando") << "importar";
    }
    void matarAMitad()
    {
        QFETCH(QString, operacion);
        BaseDePrueba base;
        base.agregarContribuyente(kRucFallas, QStringLiteral("AEROLINEAS DEL SUR S.A.C."), QStringLiteral("PRUEBA"));
        const QProcessEnvironment entorno = entornoFijo();
        const auto argumentos = [&](const QString &marca) {
            return operacion == u"grabar"
                ? QStringList{base.rutaIni(), operacion, QStringLiteral("2000"), marca}
                : QStringList{base.rutaIni(), operacion, archivoVuelos(base.carpeta(), 2000, marca), marca};
        };
        const QStringList marcas = {QStringLiteral("101"), QStringLiteral("202")};
        QList<QStringList> estados;
        qint64 duracion = 0;
        for (const QString &marca : marcas) {
            QElapsedTimer reloj;
            reloj.start();
            const Salida s = correr(QStringLiteral("kv_operacion"), argumentos(marca), -1, entorno);
            QVERIFY2(s.codigo == 0, qPrintable(s.errores));
            duracion = reloj.elapsed();
            estados << declaracionGuardada(base.db());
        }
        QVERIFY(estados.at(0).contains(QStringLiteral("F517DETVP: 2000 filas")));
        QVERIFY(estados.at(0) != estados.at(1));

        int actual = 1;
        int aMitad = 0;
        int despues = 0; // runs that left the new declaration
        for (int vez = 0; vez < 20; ++vez) {
            const int otra = 1 - actual;
            const int espera = int(QRandomGenerator::global()->bounded(duracion));
            const Salida s = correr(QStringLiteral("kv_operacion"), argumentos(marcas.at(otra)), espera, entorno);
            aMitad += s.muerto ? 1 : 0;
            const QStringList guardada = declaracionGuardada(base.db());
            QVERIFY2(guardada == estados.at(0) || guardada == estados.at(1),
                     qPrintable(QStringLiteral("run %1, killed after %2 ms: %3").arg(vez).arg(espera).arg(
                         guardada.mid(0, 6).join(u'\n'))));
            QCOMPARE(integridad(base.db()), QStringLiteral("ok"));
            if (guardada == estados.at(otra)) {
                actual = otra;
                ++despues;
            }
            const Salida abrir = correr(QStringLiteral("kv_operacion"), {base.rutaIni(), QStringLiteral("abrir")});
            QVERIFY2(abrir.codigo == 0, qPrintable(abrir.errores));
            if (vez % 5 == 4) {
                QString errores;
                QVERIFY2(kv517Abre(&errores), qPrintable(errores));
            }
        }
        qInfo("%s: 20 runs of %lld ms, %d killed half way, %d left the declaration as after", qPrintable(operacion),
              duracion, aMitad, despues);
        QVERIFY(aMitad >= 10);
    }

    // The disk fills while a file is written: the user is told, no report
    // is registered without its whole file, nothing stored is lost, and
    // with room again the same operation goes through.
    void discoLleno_data()
    {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("grabando") << "grabar" << "La declaración no fue grabada";
        QTest::newRow("reporte") << "reporte" << "No se pudo escribir";
        QTest::newRow("Mens.txt") << "validar" << "No se pudo escribir el archivo de mensajes";
        QTest::newRow("errores de la importación") << "importar" << "No se pudo escribir el archivo";
        QTest::newRow("copia de seguridad") << "copia" << "No se pudo hacer la copia de seguridad";
        QTest::newRow("resumen de envío (kvr517)") << "kvr517" << "No se pudo escribir el reporte";
    }
    void discoLleno()
    {
        QFETCH(QString, operacion);
        QFETCH(QString, mensaje);
        BaseDePrueba base;
        base.agregarContribuyente(kRucFallas, QStringLiteral("AEROLINEAS DEL SUR S.A.C."), QStringLiteral("PRUEBA"));
        const QProcessEnvironment entorno = entornoFijo();
        Salida s = correr(QStringLiteral("kv_operacion"),
                          {base.rutaIni(), QStringLiteral("grabar"), QStringLiteral("300"), QStringLiteral("101")}, -1,
                          entorno);
        QVERIFY2(s.codigo == 0, qPrintable(s.errores));

        DiscoPequeno disco(base.carpeta() + QStringLiteral("lleno"), 2048);
        if (!disco.montado())
            QSKIP("mounting a small filesystem needs the superuser");
        const bool conBase = operacion == u"grabar";
        const QString ini = iniEn(base, disco.carpeta(), conBase);
        QString rutaBase = base.rutaBase();
        if (conBase) {
            rutaBase = disco.carpeta() + QStringLiteral("/qadelia.db");
            QString error;
            QVERIFY2(CopiasSeguridad::copiarBase(base.rutaBase(), rutaBase, &error), qPrintable(error));
        }
        // A backup taken before the disk filled must stay.
        QVERIFY(correr(QStringLiteral("kv_operacion"), {ini, QStringLiteral("copia")}, -1, entorno).codigo == 0);
        const QStringList copias = contenido(disco.carpeta() + QStringLiteral("/backups"));
        QSqlDatabase db = abrirOtra(rutaBase, QStringLiteral("lleno"));
        const QStringList antes = declaracionGuardada(db);
        QStringList argumentos = {ini, operacion};
        if (operacion == u"grabar")
            argumentos << QStringLiteral("2000") << QStringLiteral("202");
        if (operacion == u"importar")
            argumentos << archivoVuelos(base.carpeta(), 2000, QStringLiteral("202"), 400) << QStringLiteral("202");
        QString nombre = QStringLiteral("kv_operacion");
        QProcessEnvironment entornoOperacion = entorno;
        if (operacion == u"kvr517") {
            // Started as the host starts it: the sent declaration's line,
            // KV000.INI in the configuration folder.
            nombre = operacion;
            argumentos = QStringList{QStringLiteral("06") + kRucFallas.leftJustified(15, u' ')
                                     + QStringLiteral("05172024031000000001")};
            entornoOperacion.insert(QStringLiteral("XDG_CONFIG_HOME"), disco.carpeta());
        }
        QVERIFY(disco.llenar(operacion == u"copia" ? 64 * 1024 : 0));

        s = correr(nombre, argumentos, -1, entornoOperacion);
        if (operacion != u"kvr517")
            QCOMPARE(s.codigo, 1);
        QVERIFY2(s.errores.contains(mensaje), qPrintable(s.errores));
        QCOMPARE(integridad(db), QStringLiteral("ok"));
        QCOMPARE(declaracionGuardada(db), antes);
        QCOMPARE(contenido(disco.carpeta() + QStringLiteral("/backups")), copias);
        // Every report of the register is there whole; this one is not in it.
        const QString rpt = disco.carpeta() + QStringLiteral("/RPT/");
        QSqlQuery spool(db);
        QVERIFY(spool.exec(QStringLiteral("SELECT Archivo FROM SPOOL")));
        while (spool.next())
            QVERIFY2(QFileInfo::exists(rpt + spool.value(0).toString()), qPrintable(spool.value(0).toString()));

        disco.vaciar();
        s = correr(nombre, argumentos, -1, entornoOperacion);
        QVERIFY2(s.codigo == 0 && s.errores.isEmpty(), qPrintable(s.errores));
        spool.exec(QStringLiteral("SELECT Archivo FROM SPOOL"));
        while (spool.next())
            QVERIFY2(QFileInfo::exists(rpt + spool.value(0).toString()), qPrintable(spool.value(0).toString()));
        QCOMPARE(integridad(db), QStringLiteral("ok"));
        db = QSqlDatabase();
        BaseDatos::cerrar(QStringLiteral("lleno"));
    }

    // A damaged database at start: kv517 and the host say so and create or
    // change nothing; the host offers the newest backup, which brings back
    // the declarations it holds.
    void baseDaniada_data()
    {
        QTest::addColumn<bool>("truncada");
        QTest::newRow("truncada a la mitad") << true;
        QTest::newRow("basura en la primera página") << false;
    }
    void baseDaniada()
    {
        QFETCH(bool, truncada);
        BaseDePrueba base;
        base.agregarContribuyente(kRucFallas, QStringLiteral("AEROLINEAS DEL SUR S.A.C."), QStringLiteral("PRUEBA"));
        const QProcessEnvironment entorno = entornoFijo();
        Salida s = correr(QStringLiteral("kv_operacion"),
                          {base.rutaIni(), QStringLiteral("grabar"), QStringLiteral("2000"), QStringLiteral("101")}, -1,
                          entorno);
        QVERIFY2(s.codigo == 0, qPrintable(s.errores));
        const QStringList respaldada = declaracionGuardada(base.db());
        QVERIFY(correr(QStringLiteral("kv_operacion"), {base.rutaIni(), QStringLiteral("copia")}, -1, entorno).codigo
                == 0);
        // Saved again after the backup: the backup holds the first save.
        s = correr(QStringLiteral("kv_operacion"),
                   {base.rutaIni(), QStringLiteral("grabar"), QStringLiteral("10"), QStringLiteral("202")}, -1, entorno);
        QVERIFY2(s.codigo == 0, qPrintable(s.errores));
        BaseDatos::cerrar(base.contexto().conexion);

        QFile archivo(base.rutaBase());
        QVERIFY(archivo.open(QIODevice::ReadWrite));
        if (truncada) {
            QVERIFY(archivo.resize(archivo.size() / 2));
        } else {
            QByteArray basura(4096, '\0');
            for (char &c : basura)
                c = char(QRandomGenerator::global()->bounded(256));
            archivo.write(basura);
        }
        archivo.close();
        // kv517 writes its key into KV000.INI on every start, before it
        // opens the database; everything else stays as it is.
        const auto sinIni = [&base] {
            QStringList r = contenido(base.carpeta());
            r.removeIf([](const QString &f) { return f.startsWith(QStringLiteral("KV000.INI ")); });
            return r;
        };
        const QStringList danado = sinIni();

        QString errores;
        QVERIFY(!kv517Abre(&errores));
        QVERIFY2(errores.contains(QStringLiteral("3049")) && errores.contains(QStringLiteral("dañado")),
                 qPrintable(errores));
        QCOMPARE(sinIni(), danado);

        QProcessEnvironment host = QProcessEnvironment::systemEnvironment();
        host.insert(QStringLiteral("QADELIA_MENSAJES"), QStringLiteral("stderr"));
        s = correr(QStringLiteral("qadelia"), {}, -1, host);
        QCOMPARE(s.codigo, 1);
        QVERIFY2(s.errores.contains(QStringLiteral("está dañada"))
                     && s.errores.contains(QStringLiteral("¿Desea restaurar la copia de seguridad más reciente")),
                 qPrintable(s.errores));
        QCOMPARE(sinIni(), danado);

        // Told yes, the host puts the newest backup in its place.
        MensajesGuionados respuestas;
        respuestas.responder(Respuesta::Si);
        Lanzador lanzador(respuestas, base.carpeta() + QStringLiteral("sin-programas"));
        Instalacion::Opciones opciones;
        opciones.rutaIni = base.rutaIni();
        Instalacion instalacion(opciones, respuestas, lanzador);
        QVERIFY2(instalacion.preparar(QStringLiteral("restaurada")), qPrintable(respuestas.textos().join(u'\n')));
        QCOMPARE(declaracionGuardada(BaseDatos::base(QStringLiteral("restaurada"))), respaldada);
        QCOMPARE(integridad(BaseDatos::base(QStringLiteral("restaurada"))), QStringLiteral("ok"));
        QVERIFY(respuestas.ultimo().texto.startsWith(QStringLiteral("Se restauró la copia de seguridad qadelia-")));
        BaseDatos::cerrar(QStringLiteral("restaurada"));
        QVERIFY(QDir(base.carpeta()).entryList({QStringLiteral("qadelia.db.dañada-*")}).size() == 1);
    }
};

QTEST_MAIN(TstFallas)
#include "tst_fallas.moc"
