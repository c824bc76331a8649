#include "support/basedeprueba.h"
#include "store/accesodatos.h"
#include "store/funcionessqlite.h"
#include "store/tablatasas.h"

#include <QProcess>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace kv;
using prueba::BaseDePrueba;

namespace {

QVariantMap filaVuelo()
{
    return {{QStringLiteral("tip_doc_d"), 6},
            {QStringLiteral("doc_id_d"), QStringLiteral("20100070970")},
            {QStringLiteral("periodo"), QStringLiteral("200302")},
            {QStringLiteral("formulario"), QStringLiteral("0517")},
            {QStringLiteral("fec_arribo"), QStringLiteral("2003-02-20")},
            {QStringLiteral("cod_vuelo"), QStringLiteral("LA2400")},
            {QStringLiteral("num_tripulantes"), QStringLiteral("10")},
            {QStringLiteral("num_personal"), QStringLiteral("2")},
            {QStringLiteral("num_transito"), QStringLiteral("0")},
            {QStringLiteral("num_arrfor"), QStringLiteral("0")},
            {QStringLiteral("num_diplo"), QStringLiteral("1")},
            {QStringLiteral("num_extrad"), QStringLiteral("0")},
            {QStringLiteral("num_deport"), QStringLiteral("0")},
            {QStringLiteral("num_adqanterior"), QStringLiteral("3")},
            {QStringLiteral("num_afectos"), QStringLiteral("150")},
            {QStringLiteral("mto_dolar"), QStringLiteral("2250")},
            {QStringLiteral("cnumero"), QStringLiteral("999999")}};
}

} // namespace

class TstAccesoDatos : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tasaVigente_data()
    {
        QTest::addColumn<QString>("fecha");
        QTest::addColumn<QString>("tasa");
        QTest::newRow("the day before the tax") << "20030216" << "0";
        QTest::newRow("the tax's first day") << "20030217" << "0015.00";
        QTest::newRow("any later day") << "20261207" << "0015.00";
    }
    void tasaVigente()
    {
        QFETCH(QString, fecha);
        QFETCH(QString, tasa);
        BaseDePrueba base;
        QCOMPARE(base.datos().TasaVigente(fecha), tasa);
        QCOMPARE(TablaTasas(base.datos()).vigente(fecha), tasa);
    }

    void tasaVigenteTomaLaUltimaNoPosterior()
    {
        BaseDePrueba base;
        base.ejecutar(QStringLiteral("INSERT INTO PARAM VALUES ('966','20100101','0020.00','002')"));
        QCOMPARE(base.datos().TasaVigente(QStringLiteral("20091231")), QStringLiteral("0015.00"));
        QCOMPARE(base.datos().TasaVigente(QStringLiteral("20100101")), QStringLiteral("0020.00"));
        // Read once, the table answers as the query does on either side of the change.
        const TablaTasas tasas(base.datos());
        QCOMPARE(tasas.vigente(QStringLiteral("20091231")), QStringLiteral("0015.00"));
        QCOMPARE(tasas.vigente(QStringLiteral("20100101")), QStringLiteral("0020.00"));
    }

    void codigoControlDeUnVuelo()
    {
        // Worked out by hand: 6 + 20100070970 + 200302 + 517 + 20030220 + 0 ("LA2400" is not a
        // number) = 20120302015 → "015"; the counts weigh 145+50+48+48+49+48+48+51+299+501 = 1287.
        BaseDePrueba base;
        QCOMPARE(base.datos().CodigoControl(QStringLiteral("F517DETVP"), filaVuelo(), 6), QStringLiteral("015287"));
    }

    void codigoControlDeUnPago()
    {
        // 6 + 20100070970 + 200302 + 517 + 0 + 5841 + 12345678 + 71901 + 20030310 = 20132725525;
        // "5175", "3.450", "1500" weigh 528 + 751 + 491 = 1770.
        BaseDePrueba base;
        const QVariantMap pago{{QStringLiteral("tip_doc_d"), 6},
                               {QStringLiteral("doc_id_d"), QStringLiteral("20100070970")},
                               {QStringLiteral("Periodo"), QStringLiteral("200302")},
                               {QStringLiteral("formulario"), QStringLiteral("0517")},
                               {QStringLiteral("semana"), 0},
                               {QStringLiteral("cod_boleta"), QStringLiteral("5841")},
                               {QStringLiteral("num_operacion"), QStringLiteral("12345678")},
                               {QStringLiteral("cod_tributo"), QStringLiteral("071901")},
                               {QStringLiteral("fec_pago"), QStringLiteral("2003-03-10")},
                               {QStringLiteral("mto_soles"), QStringLiteral("5175")},
                               {QStringLiteral("tip_cambio"), QStringLiteral("3.450")},
                               {QStringLiteral("mto_dolar"), QStringLiteral("1500")}};
        QCOMPARE(base.datos().CodigoControl(QStringLiteral("F517PAGPRE"), pago, 9), QStringLiteral("525770"));
    }

    void codigoControlSoloIgnoraLaColumnaDelCodigo()
    {
        BaseDePrueba base;
        const QString tabla = QStringLiteral("F517DETVP");
        const QString original = base.datos().CodigoControl(tabla, filaVuelo(), 6);

        QVariantMap otroCodigo = filaVuelo();
        otroCodigo[QStringLiteral("cnumero")] = QStringLiteral("123456");
        QCOMPARE(base.datos().CodigoControl(tabla, otroCodigo, 6), original);

        for (const QString &columna : filaVuelo().keys()) {
            if (columna == u"cnumero")
                continue;
            QVariantMap cambiada = filaVuelo();
            cambiada[columna] = columna == u"fec_arribo" ? QStringLiteral("2003-02-21") : QStringLiteral("7");
            QVERIFY2(base.datos().CodigoControl(tabla, cambiada, 6) != original, qPrintable(columna));
        }
    }

    void codigoControlDeTextoUsaWindows1252()
    {
        // "ñá": 1 × 241 + 2 × 225 = 691; trailing blanks do not count.
        const QList<ValorColumna> fila = {{1, TipoColumna::Numero},
                                          {QStringLiteral("ñá  "), TipoColumna::Texto},
                                          {QStringLiteral("x"), TipoColumna::Texto}};
        QCOMPARE(AccesoDatos::CodigoControl(fila, 1), QStringLiteral("001691"));
        const QList<ValorColumna> decimal = {{QStringLiteral("0.5"), TipoColumna::Texto},
                                             {QStringLiteral("€"), TipoColumna::Texto},
                                             {QString(), TipoColumna::Texto}};
        // 0.5 rounds to 1 in the twenty-digit sum; "€" is code 128.
        QCOMPARE(AccesoDatos::CodigoControl(decimal, 1), QStringLiteral("001128"));
    }

    // The code worked out column by column (as a save copies a working copy,
    // on the server's rows or inside SQLite) is the code of the whole row,
    // whatever the value and wherever it stands: the fast ways must give
    // way to the general rule for every text they do not take.
    void codigoControlPorColumnas_data()
    {
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<int>("tipo");
        const int texto = int(TipoColumna::Texto);
        const int fecha = int(TipoColumna::Fecha);
        const int numero = int(TipoColumna::Numero);
        QTest::newRow("digits") << QVariant(QStringLiteral("20456789120")) << texto;
        QTest::newRow("leading zeros") << QVariant(QStringLiteral("0517")) << texto;
        QTest::newRow("blanks around") << QVariant(QStringLiteral("  12 ")) << texto;
        QTest::newRow("tab before") << QVariant(QStringLiteral("\t12")) << texto;
        QTest::newRow("thousands") << QVariant(QStringLiteral("1,234")) << texto;
        QTest::newRow("in parentheses") << QVariant(QStringLiteral("(500)")) << texto;
        QTest::newRow("trailing minus") << QVariant(QStringLiteral("5-")) << texto;
        QTest::newRow("exponent") << QVariant(QStringLiteral("1E3")) << texto;
        QTest::newRow("hexadecimal") << QVariant(QStringLiteral("&HFF")) << texto;
        QTest::newRow("rate") << QVariant(QStringLiteral("3.450")) << texto;
        QTest::newRow("a half") << QVariant(QStringLiteral(".5")) << texto;
        QTest::newRow("nineteen digits") << QVariant(QStringLiteral("1234567890123456789")) << texto;
        QTest::newRow("flight code") << QVariant(QStringLiteral("LA2041")) << texto;
        QTest::newRow("accented") << QVariant(QStringLiteral("ñá 7")) << texto;
        QTest::newRow("euro") << QVariant(QStringLiteral("€5")) << texto;
        QTest::newRow("outside the plane") << QVariant(QStringLiteral("a\U0001F600b")) << texto;
        QTest::newRow("empty") << QVariant(QStringLiteral("")) << texto;
        QTest::newRow("null") << QVariant(QMetaType::fromType<QString>()) << texto;
        QTest::newRow("whole number") << QVariant(qlonglong(6)) << texto;
        QTest::newRow("negative number") << QVariant(qlonglong(-42)) << numero;
        QTest::newRow("real") << QVariant(3.25) << texto;
        QTest::newRow("numeric text") << QVariant(QStringLiteral("007")) << numero;
        QTest::newRow("ISO date") << QVariant(QStringLiteral("2024-03-15")) << fecha;
        QTest::newRow("date and time") << QVariant(QStringLiteral("2024-03-15 10:20:30")) << fecha;
        QTest::newRow("no such day") << QVariant(QStringLiteral("2024-02-30")) << fecha;
        QTest::newRow("year nought") << QVariant(QStringLiteral("0000-01-01")) << fecha;
        QTest::newRow("date as a number") << QVariant(qlonglong(20240315)) << fecha;
        QTest::newRow("slashed date") << QVariant(QStringLiteral("2024/03/15")) << fecha;
        QTest::newRow("other type") << QVariant(QStringLiteral("12")) << int(TipoColumna::Otro);
    }
    void codigoControlPorColumnas()
    {
        QFETCH(QVariant, valor);
        QFETCH(int, tipo);
        const auto t = TipoColumna(tipo);
        // The value once where it adds as a number, once where it weighs
        // its characters; the last column is the code's own.
        const QList<ValorColumna> fila = {{valor, t}, {valor, t}, {QStringLiteral("999999"), TipoColumna::Texto}};
        const QString esperado = AccesoDatos::CodigoControl(fila, 1);

        SumaCodigoControl suma(1);
        suma.agregar(fila.at(0));
        suma.agregar(fila.at(1));
        QCOMPARE(suma.codigo(), esperado);

        if (valor.typeId() == QMetaType::QString && !valor.isNull()) {
            SumaCodigoControl utf8(1);
            utf8.agregarUtf8(valor.toString().toUtf8(), t);
            utf8.agregarUtf8(valor.toString().toUtf8(), t);
            QCOMPARE(utf8.codigo(), esperado);
        }

        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            return;
        const QString tipos = QString(QLatin1Char(letraTipo(t))).repeated(2);
        QCOMPARE(base.valor(QStringLiteral("SELECT kv_codigo(1, ?, ?, ?)"), {tipos, valor, valor}).toString(),
                 esperado);
    }

    // The database's fingerprint of a set of rows: the same rows in any
    // order give the same one; any change of a value, a row more or less, or
    // two values that trade places, another.
    void huellaDeFilas()
    {
        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("the fingerprint function is the embedded engine's; a server uses its own md5");
        base.ejecutar(QStringLiteral("CREATE TABLE h (a TEXT, b INTEGER, c REAL)"));
        base.ejecutar(QStringLiteral("INSERT INTO h VALUES ('x', 1, 1.5), ('y', 2, NULL), (NULL, 3, 0)"));
        const auto huella = [&base](const QString &orden) {
            return base.valor(QStringLiteral("SELECT kv_huella(a, b, c) FROM (SELECT * FROM h ORDER BY ") + orden
                              + u')')
                .toString();
        };
        const QString original = huella(QStringLiteral("b"));
        QVERIFY(!original.isEmpty());
        QCOMPARE(huella(QStringLiteral("b DESC")), original);
        const QStringList cambios = {
            QStringLiteral("UPDATE h SET a='X' WHERE b=1"),
            QStringLiteral("UPDATE h SET b=1, c=NULL WHERE a='y'"),
            QStringLiteral("UPDATE h SET a=NULL WHERE b=1"),
            QStringLiteral("UPDATE h SET c=2.5 WHERE b=1"),
            QStringLiteral("UPDATE h SET a='' WHERE a IS NULL"),
            QStringLiteral("UPDATE h SET a='y' WHERE b=1; UPDATE h SET a='x' WHERE b=2"),
            QStringLiteral("DELETE FROM h WHERE b=3"),
            QStringLiteral("INSERT INTO h VALUES ('x', 1, 1.5)"),
        };
        for (const QString &cambio : cambios) {
            base.ejecutar(QStringLiteral("SAVEPOINT cambio"));
            for (const QString &sentencia : cambio.split(QStringLiteral("; ")))
                base.ejecutar(sentencia);
            const QString otra = huella(QStringLiteral("b"));
            QVERIFY2(otra != original, qPrintable(cambio));
            base.ejecutar(QStringLiteral("ROLLBACK TO cambio"));
            base.ejecutar(QStringLiteral("RELEASE cambio"));
            QCOMPARE(huella(QStringLiteral("b")), original);
        }
        base.ejecutar(QStringLiteral("DELETE FROM h"));
        QVERIFY(base.valor(QStringLiteral("SELECT kv_huella(a, b, c) FROM h")).isNull());
    }

    // Values bound by position straight into SQLite read back as the Qt
    // driver reads them, whatever their length and characters; a refused
    // statement reads as the driver reports it.
    void sentenciaSqliteIdaYVuelta_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::newRow("ascii") << QStringLiteral("LA2401");
        QTest::newRow("accents") << QStringLiteral("AEROLÍNEAS Ñ €");
        QTest::newRow("outside the plane") << QStringLiteral("a\U0001F600b");
        QTest::newRow("empty") << QStringLiteral("");
        QTest::newRow("null") << QString();
        QTest::newRow("longer than the buffer") << QString(5000, u'x');
        QTest::newRow("apostrophe") << QStringLiteral("O'HIGGINS'; DROP TABLE t; --");
    }
    void sentenciaSqliteIdaYVuelta()
    {
        QFETCH(QString, texto);
        BaseDePrueba base;
        if (base.motor() != Motor::SQLite)
            QSKIP("statements straight into SQLite are the embedded engine's");
        base.ejecutar(QStringLiteral("CREATE TABLE t (a TEXT, b TEXT, n INTEGER)"));
        SentenciaSqlite insertar(base.db(), QStringLiteral("INSERT INTO t VALUES (?, ?, ?)"));
        QVERIFY(insertar.preparada());
        for (int vez = 0; vez < 2; ++vez) { // the texts of one run never leak into the next
            insertar.texto(0, texto);
            insertar.texto(1, QStringLiteral("b%1").arg(vez));
            insertar.entero(2, vez);
            QVERIFY2(insertar.ejecutar(), qPrintable(insertar.error().texto));
        }
        QSqlQuery q(base.db());
        QVERIFY(q.exec(QStringLiteral("SELECT a, b, n FROM t ORDER BY n")));
        SentenciaSqlite leer(base.db(), QStringLiteral("SELECT a, b, n FROM t ORDER BY n"));
        for (int vez = 0; vez < 2; ++vez) {
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), texto);
            QCOMPARE(q.isNull(0), texto.isNull()); // a null text is stored as NULL, as Qt binds it
            QVERIFY(leer.siguiente());
            for (int c = 0; c < 3; ++c) {
                QCOMPARE(leer.valor(c), q.value(c));
                QString enSitio = QStringLiteral("lo de antes");
                leer.textoEn(c, enSitio);
                QCOMPARE(enSitio, q.value(c).toString());
                QCOMPARE(enSitio.isNull(), q.value(c).toString().isNull());
            }
        }
        QVERIFY(!leer.siguiente());
        QVERIFY(!leer.error().hay());

        base.ejecutar(QStringLiteral("CREATE UNIQUE INDEX u ON t (b)"));
        insertar.texto(0, texto);
        insertar.texto(1, QStringLiteral("b0"));
        insertar.entero(2, 9);
        QVERIFY(base.db().transaction());
        QVERIFY(!insertar.ejecutar());
        QVERIFY(!insertar.sinTransaccion()); // the statement alone was refused
        QVERIFY(base.db().rollback());
        QVERIFY(insertar.sinTransaccion());
        QSqlQuery repetida(base.db());
        QVERIFY(!repetida.exec(QStringLiteral("INSERT INTO t VALUES ('x', 'b0', 9)")));
        QCOMPARE(insertar.error().numero, traducirError(repetida.lastError()).numero);
        QCOMPARE(insertar.error().texto, traducirError(repetida.lastError()).texto);
    }

    void sumaParametrosDeLasFilasInstaladas()
    {
        BaseDePrueba base;
        QCOMPARE(base.datos().SumaParametros().texto(), QStringLiteral("966"));
    }

    void consultaContribuyentesSegunElUsuario()
    {
        BaseDePrueba::Opciones opciones;
        opciones.usuario = QStringLiteral("ANA");
        opciones.tipoUsuario = QStringLiteral("0");
        BaseDePrueba base(opciones);
        base.agregarContribuyente(QStringLiteral("20100070970"), QStringLiteral("AEROLINEA UNO"), QStringLiteral("ANA"));
        base.agregarContribuyente(QStringLiteral("20500000008"), QStringLiteral("AEROLINEA DOS"), QStringLiteral("LUIS"));
        base.agregarContribuyente(QStringLiteral("10456789"), QStringLiteral("AGENTE OCHO"), QStringLiteral("LUIS"));
        base.agregarUsuario(QStringLiteral("LUIS"), QStringLiteral("1"));

        QCOMPARE(base.datos().EntradasComboRuc(),
                 QStringList({QStringLiteral("10456789     AGENTE OCHO"), QStringLiteral("20100070970  AEROLINEA UNO"),
                              QStringLiteral("20500000008  AEROLINEA DOS")}));

        base.contexto().sUsuario = QStringLiteral("LUIS");
        QCOMPARE(base.datos().EntradasComboRuc(),
                 QStringList({QStringLiteral("10456789     AGENTE OCHO"), QStringLiteral("20500000008  AEROLINEA DOS")}));

        base.contexto().sUsuario = QStringLiteral("NADIE"); // no CLAVES row: type "1"
        QCOMPARE(base.datos().TipoUsuario(), QStringLiteral("1"));
        QVERIFY(base.datos().EntradasComboRuc().isEmpty());
    }

    void consultaContribuyentesConLongitudFija()
    {
        // A RUC entry whose length kind is "fixed" keeps only eleven-character numbers.
        BaseDePrueba base;
        QString funcion = QStringLiteral("REG. UNICO DE CONTRIBUYENTES   RUC           11").leftJustified(129, u' ');
        funcion += u'1';
        base.ejecutar(QStringLiteral("INSERT INTO PARAM VALUES ('044','6',?,'')"), {funcion});
        base.agregarContribuyente(QStringLiteral("20100070970"), QStringLiteral("UNO"), QStringLiteral("PRUEBA"));
        base.agregarContribuyente(QStringLiteral("10456789"), QStringLiteral("OCHO"), QStringLiteral("PRUEBA"));
        const ConsultaSql consulta = base.datos().ConsultaContribuyentes(QStringLiteral("0517"));
        QVERIFY(consulta.sql.contains(QStringLiteral("length(trim(Doc_id_d))=11")));
        QCOMPARE(base.datos().EntradasComboRuc(), QStringList({QStringLiteral("20100070970  UNO")}));
    }

    void nombreConApostrofeIdaYVuelta()
    {
        BaseDePrueba base;
        const QString nombre = QStringLiteral("O'HIGGINS AIR'; DROP TABLE CONT; --");
        base.agregarContribuyente(QStringLiteral("20100070970"), nombre, QStringLiteral("O'NEIL"));
        base.contexto().sUsuario = QStringLiteral("O'NEIL");
        base.agregarUsuario(QStringLiteral("O'NEIL"), QStringLiteral("1"));
        QCOMPARE(base.datos().EntradasComboRuc(), QStringList({QStringLiteral("20100070970  ") + nombre}));
        QVERIFY(base.datos().EjecutarSQL(QStringLiteral("UPDATE CONT SET Nombre=? WHERE Usuario=?"),
                                         {nombre + u'\'', QStringLiteral("O'NEIL")}));
        QCOMPARE(base.valor(QStringLiteral("SELECT Nombre FROM CONT")).toString(), nombre + u'\'');
    }

    void ejecutarSqlMuestraElError()
    {
        BaseDePrueba base;
        QVERIFY(!base.datos().EjecutarSQL(QStringLiteral("DELETE FROM NoHay")));
        const Mensaje m = base.mensajes().ultimo();
        QCOMPARE(m.titulo, QStringLiteral("Error al Ejecutar Sentencia SQL"));
        QVERIFY(m.texto.startsWith(QStringLiteral("Error Número : 1\n")));
        QCOMPARE(m.icono, Icono::Critico);
    }

    void descripcionError()
    {
        BaseDePrueba base;
        base.ejecutar(QStringLiteral("INSERT INTO ERROR VALUES ('0151','Declaración sin inconsistencias')"));
        QCOMPARE(base.datos().DescripcionError(151), QStringLiteral("Declaración sin inconsistencias"));
        QCOMPARE(base.datos().DescripcionError(152), QString());
    }

    void parametroFuncionYListaDeParametros()
    {
        BaseDePrueba base;
        QCOMPARE(base.datos().ParametroFuncion(QStringLiteral("965"), QStringLiteral("5871"), 14, 1),
                 QStringLiteral("BOLETA DE PAGO"));
        QCOMPARE(base.datos().ParametroFuncion(QStringLiteral("965"), QStringLiteral("9999"), 14, 1), QString());
        const QStringList entradas = base.datos().EntradasComboParametros(QStringLiteral("965"), QStringLiteral("*"),
                                                                           40, 1, true);
        QCOMPARE(entradas.size(), 9);
        QCOMPARE(entradas.first(), QString(75, u' '));
        // Ordered by the description; the code is padded to 12 and followed by five blanks.
        QCOMPARE(entradas.at(1).left(17), QStringLiteral("5842                 ").left(17));
        QCOMPARE(entradas.at(1), QStringLiteral("5842             BOLETA DE PAGO"));
        QCOMPARE(entradas.last(), QStringLiteral("0517             QDL 0517 ZENTOR"));
    }

    void validaDecimales_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::addColumn<QString>("despues");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("empty") << "" << true << "0.00" << "";
        QTest::newRow("three and three") << "123.456" << true << "123.456" << "";
        QTest::newRow("no point") << "345" << true << "345" << "";
        QTest::newRow("four decimals") << "3.4567" << false << "3.4567" << "Registre como máximo 1 entero y 3 decimales";
        QTest::newRow("four before the point") << "1234.5" << false << "1234.5" << "Registre como máximo 1 entero y 3 decimales";
        QTest::newRow("four digits") << "3450" << false << "3450" << "Registre como máximo 1 entero y 3 decimales";
        QTest::newRow("two points") << "3.4.5" << false << "3.4.5" << "No registre mas de un punto decimal";
    }
    void validaDecimales()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QFETCH(QString, despues);
        QFETCH(QString, mensaje);
        BaseDePrueba base;
        QCOMPARE(base.datos().ValidaDecimales(texto, 3), valido);
        QCOMPARE(texto, despues);
        QCOMPARE(base.mensajes().ultimo().texto, mensaje);
        if (!mensaje.isEmpty()) {
            QCOMPARE(base.mensajes().ultimo().titulo, QStringLiteral("Validación"));
            QCOMPARE(base.mensajes().ultimo().icono, mensaje.startsWith(u"No") ? Icono::Ninguno : Icono::Critico);
        }
    }

    void verificadorDeNumeroDeOrden()
    {
        BaseDePrueba base;
        const QString codigo = base.datos().CalculaVerificador(QStringLiteral("12345678"), QStringLiteral("00001234"));
        // Stored order numbers were checked with this very code: a change
        // of the rule would refuse them.
        QCOMPARE(codigo, QStringLiteral("36"));
        QCOMPARE(base.datos().CalculaVerificador(QStringLiteral("C0001"), QStringLiteral("12345678")),
                 QStringLiteral("71"));
        QVERIFY(base.datos().VerificaNumeroOrden(QStringLiteral("12345678"), QStringLiteral("00001234"), codigo));
        const QString otro = QString::number((codigo.toInt() + 1) % 100).rightJustified(2, u'0');
        QVERIFY(!base.datos().VerificaNumeroOrden(QStringLiteral("12345678"), QStringLiteral("00001234"), otro));
        QVERIFY(!base.datos().VerificaNumeroOrden(QStringLiteral("12345678"), QStringLiteral("00001234"),
                                                  codigo + u' '));
    }

    void asignarArchivoReporte()
    {
        BaseDePrueba base;
        base.ejecutar(QStringLiteral("INSERT INTO SPOOL VALUES ('XYZ999','000041','00000120.PRN','2026-01-01','A',6,'1')"));
        auto &datos = base.datos();
        QCOMPARE(datos.AsignarArchivoReporte(QStringLiteral("ZEN001"), 6, QStringLiteral("20100070970")),
                 QStringLiteral("00000121.PRN"));
        QCOMPARE(datos.AsignarArchivoReporte(QStringLiteral("ZEN003"), 6, QStringLiteral("20100070970")),
                 QStringLiteral("00000122.PRN"));
        QCOMPARE(datos.AsignarArchivoReporte(QStringLiteral("ZEN001"), 6, QStringLiteral("20100070970")),
                 QStringLiteral("00000123.PRN"));
        QSqlQuery q(base.db());
        QVERIFY(q.exec(QStringLiteral("SELECT CodRep, Secuencia, Fecha, Usuario, tip_doc_d, doc_id_d FROM SPOOL "
                                      "WHERE Archivo='00000123.PRN'")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ZEN001"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("000002"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("2026-12-07 10:30:15"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("PRUEBA"));
        QCOMPARE(q.value(4).toInt(), 6);
        QCOMPARE(q.value(5).toString(), QStringLiteral("20100070970"));
    }

    void asignarArchivoConNombreNoNumerico()
    {
        BaseDePrueba base;
        base.ejecutar(QStringLiteral("INSERT INTO SPOOL VALUES ('XYZ999','000001','REPORTE1.PRN','2026-01-01','A',6,'1')"));
        ErrorBD error;
        QCOMPARE(base.datos().AsignarArchivoReporte(QStringLiteral("ZEN001"), 6, QStringLiteral("1"), &error), QString());
        QVERIFY(error.hay());
        QCOMPARE(base.contar(QStringLiteral("SPOOL")), 1);
    }

    void dosProgramasNuncaRecibenElMismoArchivo()
    {
        BaseDePrueba base;
        const QString programa = QCoreApplication::applicationDirPath() + QStringLiteral("/kv_asignar_archivos");
        QProcess a, b;
        const QStringList args = {base.rutaIni(), QStringLiteral("200")};
        a.start(programa, args);
        b.start(programa, args);
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        QCOMPARE(base.contar(QStringLiteral("SPOOL")), 400);
        QCOMPARE(base.valor(QStringLiteral("SELECT count(DISTINCT Archivo) FROM SPOOL")).toInt(), 400);
        QCOMPARE(base.valor(QStringLiteral("SELECT count(DISTINCT Secuencia) FROM SPOOL")).toInt(), 400);
        QCOMPARE(base.valor(QStringLiteral("SELECT max(Archivo) FROM SPOOL")).toString(), QStringLiteral("00000400.PRN"));
    }
};

QTEST_GUILESS_MAIN(TstAccesoDatos)
#include "tst_accesodatos.moc"
