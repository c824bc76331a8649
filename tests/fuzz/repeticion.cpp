// The normal build's side of a fuzz target: its entry point run, as a test,
// on every input kept because it once found a fault and on the seeds, so
// that a fault found by fuzzing stays fixed without clang or a fuzzing run.
#include <QDir>
#include <QFile>
#include <QTest>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *datos, std::size_t largo);
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) __attribute__((weak));

class TstRepeticion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (LLVMFuzzerInitialize) {
            int argc = 0;
            char **argv = nullptr;
            LLVMFuzzerInitialize(&argc, &argv);
        }
    }

    void entrada_data()
    {
        QTest::addColumn<QString>("archivo");
        // "folder/pattern" entries, relative to the source tree.
        const QString raiz = qEnvironmentVariable("KV_SOURCE_DIR");
        const QStringList patrones = QStringLiteral(KV_FUZZ_ENTRADAS).split(u',', Qt::SkipEmptyParts);
        int filas = 0;
        for (const QString &patron : patrones) {
            const QFileInfo info(raiz + u'/' + patron);
            const QDir carpeta(info.path());
            for (const QString &nombre : carpeta.entryList({info.fileName()}, QDir::Files, QDir::Name)) {
                QTest::newRow(qPrintable(patron.section(u'/', -2, -2) + u'/' + nombre)) << carpeta.filePath(nombre);
                ++filas;
            }
        }
        if (filas == 0)
            qFatal("no inputs found for %s", KV_FUZZ_ENTRADAS);
    }
    void entrada()
    {
        QFETCH(QString, archivo);
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray datos = f.readAll();
        QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(datos.constData()),
                                        std::size_t(datos.size())),
                 0);
    }
};

QTEST_GUILESS_MAIN(TstRepeticion)
#include "repeticion.moc"
