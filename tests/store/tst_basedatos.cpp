#include "support/basedeprueba.h"
#include "store/basedatos.h"
#include "store/esquema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

class TstBaseDatos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void archivoInexistenteNoSeCrea()
    {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("no-existe.db"));
        const ErrorBD error = BaseDatos::abrir(ruta, QStringLiteral("t1"));
        QVERIFY(error.hay());
        QVERIFY(error.numero != kErrorBaseBloqueada);
        QVERIFY(!error.texto.isEmpty());
        QVERIFY(!QFile::exists(ruta));
        BaseDatos::cerrar(QStringLiteral("t1"));
    }

    void archivoSinPermisoDeEscrituraEs3051()
    {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("base.db"));
        QVERIFY(!BaseDatos::crear(ruta, QStringLiteral("t2")).hay());
        BaseDatos::cerrar(QStringLiteral("t2"));
        QFile::setPermissions(ruta, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        const ErrorBD error = BaseDatos::abrir(ruta, QStringLiteral("t2"));
        QCOMPARE(error.numero, kErrorBaseBloqueada);
        BaseDatos::cerrar(QStringLiteral("t2"));
    }

    void archivoQueNoEsBaseDatos()
    {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("texto.db"));
        QFile f(ruta);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(4096, 'x'));
        f.close();
        const ErrorBD error = BaseDatos::abrir(ruta, QStringLiteral("t3"));
        QVERIFY(error.hay());
        QVERIFY(error.numero != kErrorBaseBloqueada);
        BaseDatos::cerrar(QStringLiteral("t3"));
    }

    void erroresDelMotorSeTraducen()
    {
        prueba::BaseDePrueba base;
        QVERIFY(base.valida());
        QSqlQuery q(base.db());
        const Tabla &vuelos = tablasModulo().first();
        QVERIFY(!q.exec(vuelos.sentenciaCrear(base.motor())));
        QCOMPARE(traducirError(q.lastError()).numero, kErrorTablaExiste);
        QVERIFY(!q.exec(vuelos.sentenciaClave(base.motor())));
        QCOMPARE(traducirError(q.lastError()).numero, kErrorIndiceExiste);
        QVERIFY(!q.exec(QStringLiteral("SELECT * FROM NoHay")));
        const ErrorBD otro = traducirError(q.lastError());
        QCOMPARE(otro.numero, 1);
        QVERIFY2(otro.texto.contains(base.motor() == Motor::SQLite ? QStringLiteral("no such table")
                                                                     : QStringLiteral("does not exist")),
                 qPrintable(otro.texto));
    }

    void numeroConBlancoComoElRuntime()
    {
        QCOMPARE(numeroConBlanco(3051), QStringLiteral(" 3051"));
        QCOMPARE(numeroConBlanco(0), QStringLiteral(" 0"));
        QCOMPARE(numeroConBlanco(-5), QStringLiteral("-5"));
    }

    void aperturaCompartidaEnWal()
    {
        prueba::BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("the journal of the embedded file");
        QVERIFY(!BaseDatos::abrir(base.rutaBase(), QStringLiteral("segunda")).hay());
        QSqlQuery q(BaseDatos::base(QStringLiteral("segunda")));
        QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
        BaseDatos::cerrar(QStringLiteral("segunda"));
    }

    void claveDeLaTablaDeVuelos()
    {
        // Two flights of one declaration with the same date and code break the key.
        prueba::BaseDePrueba base;
        const QString sql = QStringLiteral("INSERT INTO F517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, "
                                           "cod_vuelo) VALUES (6,'20100070970','200302','0517','2003-02-20',?)");
        base.ejecutar(sql, {QStringLiteral("LA2400")});
        QSqlQuery q(base.db());
        q.prepare(sql);
        q.addBindValue(QStringLiteral("LA2400"));
        QVERIFY(!q.exec());
        base.ejecutar(sql, {QStringLiteral("LA2401")});
    }

    void ubicacionSegunKv000Ini_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("dbPath");
        QTest::addColumn<bool>("valida");
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QString>("conexion");
        QTest::newRow("no engine: the file") << "" << "/datos/" << true << false << "";
        QTest::newRow("sqlite in other letters") << "Sqlite" << "/datos/" << true << false << "";
        QTest::newRow("server") << "PSQL" << "host=db.local port=5432 user=agente" << true << true
                                << "host=db.local port=5432 user=agente";
        // A password written into KV000.INI never reaches the server or a message.
        QTest::newRow("password dropped") << "psql" << "host=db password=secreto user=agente" << true << true
                                          << "host=db user=agente";
        QTest::newRow("quoted password dropped") << "PSQL" << "password='a b\\' c' host=db" << true << true
                                                 << "host=db";
        QTest::newRow("unknown engine") << "ORACLE" << "/datos/" << false << false << "";
    }

    void ubicacionSegunKv000Ini()
    {
        QFETCH(QString, motor);
        QFETCH(QString, dbPath);
        QFETCH(bool, valida);
        QFETCH(bool, postgres);
        QFETCH(QString, conexion);
        bool ok = !valida;
        const UbicacionBase u = UbicacionBase::desdeOpciones(motor, dbPath, QStringLiteral("qadelia.db"), &ok);
        QCOMPARE(ok, valida);
        QCOMPARE(u.motor == Motor::PostgreSQL, postgres);
        if (postgres) {
            QCOMPARE(u.conexionPg, conexion);
            QCOMPARE(u.nombrePg, QStringLiteral("qadelia.db"));
        } else {
            QCOMPARE(u.ruta, dbPath + QStringLiteral("qadelia.db"));
        }
    }

    void filaBloqueadaEnElServidorEs3051()
    {
        prueba::BaseDePrueba base;
        if (base.motor() != Motor::PostgreSQL)
            QSKIP("a row lock of the server");
        QVERIFY(base.valida());
        base.ejecutar(QStringLiteral("INSERT INTO CLAVES (Usuario, Nombre, Tipo) VALUES ('A','A','1')"));
        QVERIFY(!BaseDatos::abrir(base.ubicacion(), QStringLiteral("otra")).hay());
        QSqlQuery otra(BaseDatos::base(QStringLiteral("otra")));
        QVERIFY(otra.exec(QStringLiteral("BEGIN")));
        QVERIFY(otra.exec(QStringLiteral("UPDATE CLAVES SET Tipo='0'")));
        QSqlQuery q(base.db());
        QVERIFY(!q.exec(QStringLiteral("UPDATE CLAVES SET Tipo='2'")));
        QCOMPARE(traducirError(q.lastError()).numero, kErrorBaseBloqueada);
        otra.exec(QStringLiteral("ROLLBACK"));
        BaseDatos::cerrar(QStringLiteral("otra"));
    }

    void servidorInalcanzableEs3051()
    {
        if (prueba::motorDePrueba() != Motor::PostgreSQL)
            QSKIP("a server's database");
        UbicacionBase u;
        u.motor = Motor::PostgreSQL;
        u.conexionPg = prueba::BaseDePrueba::servidorPostgres();
        u.nombrePg = QStringLiteral("no_existe_esta_base");
        const ErrorBD error = BaseDatos::abrir(u, QStringLiteral("t9"));
        QCOMPARE(error.numero, kErrorBaseBloqueada);
        QVERIFY(!error.texto.isEmpty());
        BaseDatos::cerrar(QStringLiteral("t9"));
    }

    void copiasDeTrabajoPrivadasDeCadaConexion()
    {
        prueba::BaseDePrueba base;
        QVERIFY(base.valida());
        // Two programs on one database, each editing its own declaration.
        QVERIFY(!BaseDatos::abrir(base.ubicacion(), QStringLiteral("uno")).hay());
        QVERIFY(!BaseDatos::abrir(base.ubicacion(), QStringLiteral("dos")).hay());
        QSqlDatabase uno = BaseDatos::base(QStringLiteral("uno"));
        QSqlDatabase dos = BaseDatos::base(QStringLiteral("dos"));
        for (QSqlDatabase db : {uno, dos}) {
            QVERIFY(!crearCopiasDeTrabajoPrivadas(db).hay());
            QVERIFY(!crearCopiasDeTrabajoPrivadas(db).hay()); // once is enough
        }
        const QString insertar = QStringLiteral(
            "INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo) "
            "VALUES (6,?,'202401','0517','2024-01-05','AB1')");
        QSqlQuery q1(uno), q2(dos);
        q1.prepare(insertar);
        q1.addBindValue(QStringLiteral("20100000001"));
        QVERIFY(q1.exec());
        QVERIFY(q2.exec(QStringLiteral("DELETE FROM TMPF517DETVP")));
        QVERIFY(q1.exec(QStringLiteral("SELECT doc_id_d FROM TMPF517DETVP")) && q1.next());
        QCOMPARE(q1.value(0).toString(), QStringLiteral("20100000001"));
        // The private copy keeps the key of the shared table.
        q1.prepare(insertar);
        q1.addBindValue(QStringLiteral("20100000001"));
        QVERIFY(!q1.exec());
        QCOMPARE(base.contar(QStringLiteral("TMPF517DETVP")), 0);
        BaseDatos::cerrar(QStringLiteral("uno"));
        BaseDatos::cerrar(QStringLiteral("dos"));
    }
};

QTEST_GUILESS_MAIN(TstBaseDatos)
#include "tst_basedatos.moc"
