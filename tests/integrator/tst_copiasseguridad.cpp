// The host's care of the data: backups of the embedded file taken while
// another program writes, restored over the live database; a first start
// that leaves nothing open to other accounts; and the host's tables and first
// rows made in an office's empty server database.
#include "entornoprueba.h"
#include "integrator/copiasseguridad.h"
#include "integrator/instalacion.h"
#include "integrator/lanzador.h"
#include "store/archivoini.h"
#include "store/esquema.h"
#include "store/permisos.h"
#include "support/basedeprueba.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

#include <sys/stat.h>

using namespace kv;
using namespace kv::prueba;

namespace {

const QDateTime kMomento(QDate(2026, 12, 7), QTime(10, 30, 15));

void guardarCabecera(BaseDePrueba &base, const QString &periodo)
{
    base.ejecutar(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, estado) "
                                 "VALUES (6,'20100070970',?,'0517',0)"),
                  {periodo});
}

int cabecerasEn(const QString &archivo)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("copia"));
        db.setDatabaseName(archivo);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("SELECT count(*) FROM CAB")) && q.next())
            n = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("copia"));
    return n;
}

// Other accounts may neither read nor write nor enter.
QStringList abiertosAOtros(const QString &carpeta)
{
    QStringList abiertos;
    QDirIterator it(carpeta, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString ruta = it.next();
        struct stat st{};
        if (::lstat(QFile::encodeName(ruta).constData(), &st) == 0 && !S_ISLNK(st.st_mode) && (st.st_mode & 007))
            abiertos << ruta + QStringLiteral(" %1").arg(st.st_mode & 0777, 0, 8);
    }
    return abiertos;
}

} // namespace

class TstCopiasSeguridad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copiaMientrasOtroProgramaEscribe()
    {
        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("backups are of the embedded file");
        guardarCabecera(base, QStringLiteral("202401"));
        // The module holds the database open, in the middle of a save.
        QVERIFY(!BaseDatos::abrir(base.rutaBase(), QStringLiteral("modulo")).hay());
        QSqlQuery modulo(BaseDatos::base(QStringLiteral("modulo")));
        QVERIFY(modulo.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(modulo.exec(QStringLiteral("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario) "
                                           "VALUES (6,'20100070970','202402','0517')")));

        CopiasSeguridad copias(base.rutaBase(), base.carpeta());
        QString error;
        const QString copia = copias.copiar(kMomento, &error);
        QVERIFY2(!copia.isEmpty(), qPrintable(error));
        QCOMPARE(QFileInfo(copia).fileName(), QStringLiteral("qadelia-20261207-103015.db"));
        // What was saved before the copy is in it; the save still under way is not.
        QCOMPARE(cabecerasEn(copia), 1);
        modulo.exec(QStringLiteral("COMMIT"));
        BaseDatos::cerrar(QStringLiteral("modulo"));
        QCOMPARE(base.contar(QStringLiteral("CAB")), 2);
    }

    void restaurarDevuelveLoGuardadoYGuardaLoActual()
    {
        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("backups are of the embedded file");
        guardarCabecera(base, QStringLiteral("202401"));
        CopiasSeguridad copias(base.rutaBase(), base.carpeta());
        const QString copia = QFileInfo(copias.copiar(kMomento)).fileName();
        base.ejecutar(QStringLiteral("DELETE FROM CAB"));
        guardarCabecera(base, QStringLiteral("202405"));

        QString error;
        QVERIFY2(copias.restaurar(copia, kMomento.addSecs(60), &error), qPrintable(error));
        // The open connection sees the restored rows at once.
        QCOMPARE(base.contar(QStringLiteral("CAB")), 1);
        QCOMPARE(base.valor(QStringLiteral("SELECT periodo FROM CAB")).toString(), QStringLiteral("202401"));
        // The state that was replaced is one more copy, the newest.
        QCOMPARE(copias.copias().size(), 2);
        QCOMPARE(cabecerasEn(copias.carpeta() + u'/' + copias.copias().first()), 1);

        // A file that is not a database is refused and changes nothing.
        EntornoPrueba::escribir(copias.carpeta() + QStringLiteral("/qadelia-20261208-000000.db"), "no soy una base");
        QVERIFY(!copias.restaurar(QStringLiteral("qadelia-20261208-000000.db"), kMomento.addSecs(120), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(base.valor(QStringLiteral("SELECT periodo FROM CAB")).toString(), QStringLiteral("202401"));
    }

    void soloLasDiezMasRecientes()
    {
        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("backups are of the embedded file");
        CopiasSeguridad copias(base.rutaBase(), base.carpeta());
        for (int i = 0; i < 12; ++i)
            QVERIFY(!copias.copiar(kMomento.addDays(i)).isEmpty());
        // Two in the same second are both kept.
        QVERIFY(!copias.copiar(kMomento.addDays(11)).isEmpty());
        const QStringList quedan = copias.copias();
        QCOMPARE(quedan.size(), CopiasSeguridad::kMaximo);
        QCOMPARE(quedan.first(), QStringLiteral("qadelia-20261218-103015.db"));
        QVERIFY(quedan.contains(QStringLiteral("qadelia-20261218-103015-2.db")));
        QCOMPARE(quedan.last(), QStringLiteral("qadelia-20261210-103015.db"));
    }

    void mascaraDePermisos_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<uint>("mascara");
        QTest::newRow("none: private") << "" << 077u;
        QTest::newRow("the office's group") << "007" << 007u;
        QTest::newRow("other accounts never") << "002" << 007u;
        QTest::newRow("not octal") << "8" << 077u;
        QTest::newRow("garbage") << "abc" << 077u;
    }

    void mascaraDePermisos()
    {
        QFETCH(QString, valor);
        QFETCH(uint, mascara);
        QCOMPARE(mascaraSegun(valor), mascara);
    }

    void primerInicioNoDejaNadaAbiertoAOtros()
    {
        if (motorDePrueba() != Motor::SQLite)
            QSKIP("a first start makes the embedded file");
        EntornoPrueba e;
        QVERIFY(e.escribir(e.programas() + QStringLiteral("/kv517.hlp"), "ayuda\n"));
        QFile::setPermissions(e.programas() + QStringLiteral("/kv517.hlp"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        aplicarMascaraPermisos();
        {
            MensajesGuionados mensajes;
            Lanzador lanzador(mensajes, e.programas());
            Instalacion::Opciones o = Instalacion::predeterminadas(e.programas());
            Instalacion instalacion(o, mensajes, lanzador);
            QVERIFY(instalacion.preparar(QStringLiteral("primero")));
            // The database with its journal, as the module leaves it.
            QSqlQuery q(BaseDatos::base(QStringLiteral("primero")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO ERROR VALUES ('9999','x')")));
            QVERIFY(!CopiasSeguridad(instalacion.rutaBase(), instalacion.rutaSistema()).copiar(kMomento).isEmpty());
            QCOMPARE(abiertosAOtros(e.sistemaPredeterminado()), QStringList());
            QVERIFY(QFileInfo::exists(instalacion.rutaBase() + QStringLiteral("-wal")));
            BaseDatos::cerrar(QStringLiteral("primero"));
        }
        aplicarMascaraPermisos(022);
    }

    void hostEnUnaBaseVaciaDelServidor()
    {
        if (motorDePrueba() != Motor::PostgreSQL)
            QSKIP("an office's PostgreSQL database");
        BaseDePrueba::Opciones vacia;
        vacia.tablasIntegrador = false;
        BaseDePrueba servidor(vacia);
        QVERIFY(servidor.valida());
        QVERIFY(!existeTabla(servidor.db(), QStringLiteral("CAB")));

        EntornoPrueba e;
        QDir().mkpath(e.sistemaPredeterminado());
        ArchivoIni ini(e.rutaIni());
        ini.escribir(QStringLiteral("Options"), QStringLiteral("SysPath"), e.sistemaPredeterminado());
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBEngine"), QStringLiteral("PSQL"));
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBPath"), BaseDePrueba::servidorPostgres());
        ini.escribir(QStringLiteral("Options"), QStringLiteral("DBName"), servidor.ubicacion().nombrePg);
        ini.escribir(QStringLiteral("Options"), QStringLiteral("SysUser"), QStringLiteral("OPERADOR"));
        for (int inicio = 0; inicio < 2; ++inicio) {
            MensajesGuionados mensajes;
            Lanzador lanzador(mensajes, e.programas());
            Instalacion::Opciones o = Instalacion::predeterminadas(e.programas());
            o.usuario = QStringLiteral("OPERADOR");
            Instalacion instalacion(o, mensajes, lanzador);
            QVERIFY2(instalacion.preparar(QStringLiteral("host")), qPrintable(mensajes.textos().join(u'|')));
            QVERIFY(!instalacion.primerInicio());
            BaseDatos::cerrar(QStringLiteral("host"));
        }
        // Made once: the second start found them and added nothing.
        for (const Tabla &t : tablasIntegrador())
            QVERIFY2(existeTabla(servidor.db(), t.nombre), qPrintable(t.nombre));
        QCOMPARE(servidor.contar(QStringLiteral("CLAVES"), QStringLiteral("Usuario='OPERADOR'")), 1);
        QCOMPARE(servidor.contar(QStringLiteral("PARAM"), QStringLiteral("Numero='044' AND Argumento='6'")), 1);
        QCOMPARE(servidor.contar(QStringLiteral("ERROR")), 2);
    }
};

QTEST_GUILESS_MAIN(TstCopiasSeguridad)
#include "tst_copiasseguridad.moc"
