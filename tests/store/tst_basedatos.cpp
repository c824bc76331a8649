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
        QVERIFY(!q.exec(vuelos.sentenciaCrear()));
        QCOMPARE(traducirError(q.lastError()).numero, kErrorTablaExiste);
        QVERIFY(!q.exec(vuelos.sentenciaClave()));
        QCOMPARE(traducirError(q.lastError()).numero, kErrorIndiceExiste);
        QVERIFY(!q.exec(QStringLiteral("SELECT * FROM NoHay")));
        const ErrorBD otro = traducirError(q.lastError());
        QCOMPARE(otro.numero, 1);
        QVERIFY(otro.texto.contains(QStringLiteral("no such table")));
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
};

QTEST_GUILESS_MAIN(TstBaseDatos)
#include "tst_basedatos.moc"
