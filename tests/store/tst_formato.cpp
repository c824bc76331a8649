// Placeholder; replaced by the tests of decimals, numbers and formats.
#include <QTest>
class TstFormato : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TstFormato)
#include "tst_formato.moc"
