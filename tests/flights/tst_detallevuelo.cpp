// The rules of one flight: the checks in their order, the duplicate key,
// the tax at the rate in force and the stored row, and the rate column of
// the flight grid.
#include "flights/tasavuelo.h"
#include "vuelosprueba.h"

#include <QSqlQueryModel>
#include <QTest>

using namespace kv;
using namespace kv::prueba;

class TstDetalleVuelo : public QObject
{
    Q_OBJECT

    // A rate of 20.50 from 2024 on, beside the installed 15.00 of 2003.
    static void agregarTasa2024(BaseDePrueba &base)
    {
        base.ejecutar(QStringLiteral("INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) "
                                     "VALUES ('966', '20240101', '0020.50', '002')"));
    }

private Q_SLOTS:
    void validaDatos_data()
    {
        // The finding and the box it names: "fecha", "codigo", or the count box's index.
        QTest::addColumn<QString>("fecha");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QStringList>("cantidades");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("campo");
        const QStringList iguales;
        QTest::newRow("the tax's first day") << "17/02/2003" << "AB1" << iguales << "" << "";
        QTest::newRow("the day before") << "16/02/2003" << "AB1" << iguales
                                        << "La fecha de Arribo debe ser mayor o igual al 17/02/2003" << "fecha";
        QTest::newRow("today") << "07/12/2026" << "AB1" << iguales << "" << "";
        QTest::newRow("tomorrow") << "08/12/2026" << "AB1" << iguales
                                  << "La fecha de Arribo No debe ser mayor a la actual." << "fecha";
        QTest::newRow("no such day") << "31/02/2004" << "AB1" << iguales << "La fecha ingresada es inválida. "
                                     << "fecha";
        QTest::newRow("incomplete") << "15/03/20__" << "AB1" << iguales << "Ingrese la fecha de arribo correctamente"
                                    << "fecha";
        QTest::newRow("code of zeros") << "15/03/2004" << "000" << iguales
                                       << "El código de vuelo debe ser diferente de 0." << "codigo";
        QTest::newRow("zero and a letter") << "15/03/2004" << "0A" << iguales << "" << "";
        QTest::newRow("no code") << "15/03/2004" << "  " << iguales << "Debe ingresar el código de vuelo." << "codigo";
        QTest::newRow("no crew") << "15/03/2004" << "AB1" << QStringList{"0"}
                                 << "El número de Tripulantes debe ser mayor a 0." << "0";
        QTest::newRow("every other count zero") << "15/03/2004" << "AB1"
                                                << QStringList{"1", "0", "0", "0", "0", "0", "0", "0", "0"} << "" << "";
        QTest::newRow("an empty count") << "15/03/2004" << "AB1" << QStringList{"1", "0", "0", "0", "0", ""}
                                        << "Debe ingresar todos los datos " << "5";
        QTest::newRow("the last count empty") << "15/03/2004" << "AB1"
                                              << QStringList{"1", "0", "0", "0", "0", "0", "0", "0", " "}
                                              << "Debe ingresar todos los datos " << "8";
        // Two faults at once: the first check in the window's order wins.
        QTest::newRow("no code and an empty count") << "15/03/2004" << "" << QStringList{"1", ""}
                                                    << "Debe ingresar el código de vuelo." << "codigo";
        QTest::newRow("code of zeros and no crew") << "15/03/2004" << "00" << QStringList{"0"}
                                                   << "El código de vuelo debe ser diferente de 0." << "codigo";
        QTest::newRow("no crew and an empty count") << "15/03/2004" << "AB1" << QStringList{"0", ""}
                                                    << "El número de Tripulantes debe ser mayor a 0." << "0";
        QTest::newRow("no crew typed and an empty count") << "15/03/2004" << "AB1" << QStringList{"", ""}
                                                          << "Debe ingresar todos los datos " << "0";
        QTest::newRow("tomorrow and no code") << "08/12/2026" << "" << iguales
                                              << "La fecha de Arribo No debe ser mayor a la actual." << "fecha";
        QTest::newRow("incomplete and no code") << "15/03/20__" << "" << QStringList{""}
                                                << "Ingrese la fecha de arribo correctamente" << "fecha";
    }
    void validaDatos()
    {
        QFETCH(QString, fecha);
        QFETCH(QString, codigo);
        QFETCH(QStringList, cantidades);
        QFETCH(QString, mensaje);
        QFETCH(QString, campo);
        BaseDePrueba base;
        abrirDeclaracion(base, fecha.right(4) + fecha.mid(3, 2)); // the date's own month
        DetalleVuelo detalle(base.datos());
        const auto hallazgo = detalle.ValidaDatos(vueloTecleado(fecha, codigo, cantidades), DetalleVuelo::Modo::Nuevo,
                                                  fecha.mid(3, 7));
        QCOMPARE(hallazgo ? hallazgo->mensaje : QString(), mensaje);
        if (hallazgo) {
            const QString nombrado = hallazgo->campo == CampoVuelo::Fecha    ? QStringLiteral("fecha")
                : hallazgo->campo == CampoVuelo::Codigo                      ? QStringLiteral("codigo")
                                                                             : QString::number(hallazgo->indice);
            QCOMPARE(nombrado, campo);
        }
    }

    void clavePeriodoYDuplicado()
    {
        BaseDePrueba base;
        abrirDeclaracion(base, QStringLiteral("200403"));
        DetalleVuelo detalle(base.datos());
        const QString periodo = QStringLiteral("03/2004");
        QVERIFY(detalle.GrabaDatos(vueloTecleado(QStringLiteral("15/03/2004"), QStringLiteral("AB1"))));
        // The same flight of another taxpayer is another declaration's.
        base.ejecutar(
            QStringLiteral("INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, "
                           "cod_vuelo) VALUES (6, '20100000002', '200403', '0517', '2004-03-16', 'AB1')"));

        const auto repetido
            = detalle.ValidaDatos(vueloTecleado(QStringLiteral("15/03/2004"), QStringLiteral("AB1")),
                DetalleVuelo::Modo::Nuevo, periodo);
        QCOMPARE(
            repetido ? repetido->mensaje : QString(), QStringLiteral("El Vuelo ya se encuentra registrado."));
        QVERIFY(!detalle.ValidaDatos(vueloTecleado(QStringLiteral("16/03/2004"), QStringLiteral("AB1")),
            DetalleVuelo::Modo::Nuevo, periodo));
        const auto otroMes = detalle.ValidaDatos(vueloTecleado(QStringLiteral("31/01/2004"), QStringLiteral("AB1")),
                                                 DetalleVuelo::Modo::Nuevo, periodo);
        QCOMPARE(otroMes ? otroMes->mensaje : QString(),
                 QStringLiteral("El año y mes de la fecha de Arribo deben ser iguales al período declarado"));
        // Changing the stored flight checks no key: it is the flight's own.
        QVERIFY(!detalle.ValidaDatos(vueloTecleado(QStringLiteral("15/03/2004"), QStringLiteral("AB1")),
            DetalleVuelo::Modo::Modificar, periodo));
    }

    void impuestoGuardado_data()
    {
        QTest::addColumn<QString>("fecha");
        QTest::addColumn<QString>("afectos");
        QTest::addColumn<QString>("impuesto");
        QTest::addColumn<QString>("guardado");
        QTest::newRow("100 at 15.00") << "15/03/2004" << "100" << "1500" << "1500";
        QTest::newRow("last day of the old rate") << "31/12/2023" << "3" << "45" << "45";
        QTest::newRow("first day of the new rate, half a dollar up") << "01/01/2024" << "3" << "61.5" << "62";
        QTest::newRow("no rate in force") << "16/02/2003" << "7" << "0" << "0";
        QTest::newRow("leading zeros") << "15/03/2004" << "007" << "105" << "105";
    }
    void impuestoGuardado()
    {
        QFETCH(QString, fecha);
        QFETCH(QString, afectos);
        QFETCH(QString, impuesto);
        QFETCH(QString, guardado);
        BaseDePrueba base;
        agregarTasa2024(base);
        abrirDeclaracion(base, fecha.right(4) + fecha.mid(3, 2));
        DetalleVuelo detalle(base.datos());
        DatosVuelo vuelo = vueloTecleado(fecha, QStringLiteral("XY9"));
        vuelo.cantidades[DatosVuelo::kAfectos] = afectos;
        vuelo.impuesto = detalle.calcularImpuesto(fecha, afectos);
        QCOMPARE(vuelo.impuesto, impuesto);
        QVERIFY(detalle.GrabaDatos(vuelo));
        const QVariantMap fila = filaGuardada(base, QStringLiteral("XY9"));
        QCOMPARE(fila.value(QStringLiteral("mto_dolar")).toString(), guardado);
        QCOMPARE(fila.value(QStringLiteral("num_afectos")).toString(), QString::number(afectos.toInt()));
        QCOMPARE(fila.value(QStringLiteral("fec_arribo")).toDate(),
            QDate::fromString(fecha, QStringLiteral("dd/MM/yyyy")));
        QCOMPARE(fila.value(QStringLiteral("periodo")).toString(), base.contexto().sPeriodo);
        QCOMPARE(detalle.calcularImpuesto(fecha, QString()), QString()); // no passengers, no tax
    }

    void datosModificados_data()
    {
        QTest::addColumn<int>("caja");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("modificado");
        QTest::newRow("untouched, a large tax") << -1 << "" << false;
        QTest::newRow("the same whole tax") << 9 << "12345678.4" << false;
        QTest::newRow("another tax") << 9 << "12345679" << true;
        QTest::newRow("a count") << 4 << "2" << true;
    }
    void datosModificados()
    {
        QFETCH(int, caja);
        QFETCH(QString, texto);
        QFETCH(bool, modificado);
        QVariantMap fila = {{ QStringLiteral("fec_arribo"), QDate(2004, 3, 15)},
            {QStringLiteral("cod_vuelo"), QStringLiteral("AB1")},
            {QStringLiteral("mto_dolar"), QStringLiteral("12345678")} };
        for (int i = 0; i < DatosVuelo::kCantidades; ++i)
            fila.insert(DatosVuelo::columnaCantidad(i), QStringLiteral("1"));
        DatosVuelo vuelo = DetalleVuelo::CargaDatos(fila);
        QCOMPARE(vuelo.fecha, QStringLiteral("15/03/2004"));
        if (caja == 9)
            vuelo.impuesto = texto;
        else if (caja >= 0)
            vuelo.cantidades.at(std::size_t(caja)) = texto;
        QCOMPARE(DetalleVuelo::DatosModificados(vuelo, fila), modificado);
    }

    void tasaDeCadaVueloEnLaGrilla()
    {
        BaseDePrueba base;
        agregarTasa2024(base);
        abrirDeclaracion(base, QStringLiteral("202312"));
        DetalleVuelo detalle(base.datos());
        QVERIFY(detalle.GrabaDatos(vueloTecleado(QStringLiteral("31/12/2023"), QStringLiteral("A1"))));
        base.contexto().sPeriodo = QStringLiteral("202401");
        QVERIFY(detalle.GrabaDatos(vueloTecleado(QStringLiteral("01/01/2024"), QStringLiteral("A1"))));

        QSqlQueryModel grilla;
        grilla.setQuery(QStringLiteral("SELECT fec_arribo, cod_vuelo, mto_dolar FROM TMPF517DETVP "
                                       "ORDER BY fec_arribo DESC"),
            base.db());
        ModeloTasaVuelos modelo(TablaTasas(base.datos()), 0);
        modelo.setSourceModel(&grilla);
        QCOMPARE(modelo.columnCount(), 4);
        QCOMPARE(modelo.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Tasa Vigente ( $ )"));
        QCOMPARE(modelo.index(0, 3).data().toString(), QStringLiteral("20.50"));
        QCOMPARE(modelo.index(1, 3).data().toString(), QStringLiteral("15.00"));
        QCOMPARE(modelo.index(1, 1).data().toString(), QStringLiteral("A1"));
        QCOMPARE(tasaDeVuelo(TablaTasas(base.datos()), QStringLiteral("2003-02-16")), QStringLiteral("0.00"));
    }
};

QTEST_GUILESS_MAIN(TstDetalleVuelo)
#include "tst_detallevuelo.moc"
