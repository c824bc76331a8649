#include "reports/impresora.h"
#include "reports/listadotexto.h"
#include "store/texto.h"
#include "support/mensajesguionados.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

namespace {

// Writes down what a print job did, one line per call.
class ImpresoraAnotada : public Impresora
{
public:
    QStringList llamadas;
    bool fallarAlTerminar = false;

    bool iniciar(Orientacion, const QString &) override { return anotar(QStringLiteral("iniciar")); }
    void fijarFuente(const QString &n) override { m_fuente = n; }
    void fijarTamano(double p) override { m_tamano = p; }
    void fijarNegrita(bool b) override { m_negrita = b; }
    void fijarCursiva(bool b) override { m_cursiva = b; }
    void fijarSubrayado(bool b) override { m_subrayado = b; }
    bool texto(int x, int y, const QString &t) override
    {
        return anotar(QStringLiteral("%1,%2 %3 %4%5%6%7 %8")
                          .arg(x)
                          .arg(y)
                          .arg(m_fuente)
                          .arg(m_tamano)
                          .arg(m_negrita ? "N" : "")
                          .arg(m_cursiva ? "C" : "")
                          .arg(m_subrayado ? "S" : "")
                          .arg(t));
    }
    bool linea(int, int, int, int) override { return true; }
    bool nuevaPagina() override { return anotar(QStringLiteral("pagina")); }
    bool terminar() override
    {
        if (fallarAlTerminar) {
            m_error = {kErrorCancelada, QStringLiteral("cancelada")};
            return false;
        }
        return anotar(QStringLiteral("terminar"));
    }
    void abortar() override { anotar(QStringLiteral("abortar")); }
    ErrorImpresora error() const override { return m_error; }
    int altoLinea() const override { return 200; }
    QSize areaPagina() const override { return {11000, 600}; }

private:
    bool anotar(const QString &s)
    {
        llamadas << s;
        return true;
    }
    QString m_fuente;
    double m_tamano = 0;
    bool m_negrita = false, m_cursiva = false, m_subrayado = false;
    ErrorImpresora m_error;
};

} // namespace

class TstListadoTexto : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    void escribirListado(const QString &contenido)
    {
        QFile f(m_dir.filePath(QStringLiteral("LISTADO.PRN")));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(aCp1252(contenido));
    }

private Q_SLOTS:
    void etiquetas()
    {
        ListadoTexto::Estado e;
        QCOMPARE(e.fuente, QStringLiteral("Courier New"));
        QCOMPARE(e.tamano, 8);
        ListadoTexto::aplicarEtiqueta(QStringLiteral("<!font!>Arial<!/font!>"), e);
        QCOMPARE(e.fuente, QStringLiteral("Arial"));
        ListadoTexto::aplicarEtiqueta(QStringLiteral("<!fontsize!>10.5<!/fontsize!>"), e);
        QCOMPARE(e.tamano, 10); // nearest integer, halves to even
        ListadoTexto::aplicarEtiqueta(QStringLiteral("  <!bold!> <!italic!>"), e); // only the first tag counts
        QVERIFY(e.negrita);
        QVERIFY(!e.cursiva);
        ListadoTexto::aplicarEtiqueta(QStringLiteral("<!/bold!>"), e);
        QVERIFY(!e.negrita);
        ListadoTexto::aplicarEtiqueta(QStringLiteral("<!underline!>"), e);
        QVERIFY(e.subrayado);
        ListadoTexto::aplicarEtiqueta(QStringLiteral("<!otra!>"), e);
        ListadoTexto::aplicarEtiqueta(QStringLiteral("<!np!>"), e);
        QVERIFY(e.nuevaPaginaPendiente);
    }

    void aArchivo()
    {
        escribirListado(QStringLiteral("Línea uno\r\n<!bold!>\r\n   \r\n\r\n<!np!>\r\nOtra página\r\n"));
        prueba::MensajesGuionados mensajes;
        ListadoTexto motor(mensajes);
        QVERIFY(motor.convertir(m_dir.path(), QStringLiteral("LISTADO.PRN"), ListadoTexto::Modo::Archivo));
        QFile f(m_dir.filePath(QStringLiteral("LISTADO.txt")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), aCp1252(u"Línea uno\r\n \r\n \r\n\x0f\r\nOtra página\r\n"));
        QVERIFY(mensajes.mostrados().isEmpty());
    }

    void listadoInexistente()
    {
        prueba::MensajesGuionados mensajes;
        ListadoTexto motor(mensajes);
        QVERIFY(!motor.convertir(m_dir.path(), QStringLiteral("NOHAY.PRN"), ListadoTexto::Modo::Archivo));
        QCOMPARE(mensajes.ultimo().titulo, QStringLiteral("Error al Imprimir"));
        QCOMPARE(mensajes.ultimo().texto, QStringLiteral("Archivo Físico del Reporte no Existe"));
        QCOMPARE(mensajes.ultimo().icono, Icono::Critico);
    }

    void aImpresora()
    {
        // Three lines fit on a page 600 twips high; the fourth goes to the next.
        escribirListado(QStringLiteral("uno\r\n<!fontsize!>12<!/fontsize!>\r\n<!bold!>\r\ndos\r\n\r\ntres\r\n<!np!>\r\n"
                                       "<!/bold!>\r\ncuatro\r\ncinco\r\n"));
        prueba::MensajesGuionados mensajes;
        ImpresoraAnotada impresora;
        ListadoTexto motor(mensajes);
        QVERIFY(motor.convertir(m_dir.path(), QStringLiteral("LISTADO.PRN"), ListadoTexto::Modo::Impresora, &impresora));
        QCOMPARE(impresora.llamadas,
                 QStringList({QStringLiteral("iniciar"), QStringLiteral("0,0 Courier New 8 uno"),
                              QStringLiteral("0,200 Courier New 12N dos"), QStringLiteral("pagina"),
                              QStringLiteral("0,0 Courier New 12N tres"), QStringLiteral("pagina"),
                              QStringLiteral("0,0 Courier New 12 cuatro"), QStringLiteral("0,200 Courier New 12 cinco"),
                              QStringLiteral("terminar")}));
    }

    void errorDeImpresoraSeMuestraYCuentaComoHecho()
    {
        escribirListado(QStringLiteral("uno\r\n"));
        prueba::MensajesGuionados mensajes;
        ImpresoraAnotada impresora;
        impresora.fallarAlTerminar = true;
        ListadoTexto motor(mensajes);
        QVERIFY(motor.convertir(m_dir.path(), QStringLiteral("LISTADO.PRN"), ListadoTexto::Modo::Impresora, &impresora));
        QCOMPARE(mensajes.ultimo().titulo, QStringLiteral("Impresión"));
        QCOMPARE(mensajes.ultimo().texto, QStringLiteral("La Impresión ha sido Cancelada."));
        QCOMPARE(impresora.llamadas.last(), QStringLiteral("abortar"));
    }
};

QTEST_GUILESS_MAIN(TstListadoTexto)
#include "tst_listadotexto.moc"
