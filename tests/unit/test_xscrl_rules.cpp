#include "dialogs/xscrl_rules.h"

#include <QTest>

class TestXScrlRules : public QObject
{
    Q_OBJECT
private slots:
    void placement_data();
    void placement();
    void pixelSizeCaption_data();
    void pixelSizeCaption();
};

void TestXScrlRules::placement_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("expected");
    const QRect screen(0, 0, 1024, 768);
    const QSize dialog(261, 164);
    QTest::newRow("centred, odd size halves down") << QPoint(500, 400) << dialog << screen << QPoint(370, 318);
    QTest::newRow("top-left corner") << QPoint(0, 0) << dialog << screen << QPoint(0, 0);
    QTest::newRow("bottom-right corner") << QPoint(1023, 767) << dialog << screen << QPoint(763, 604);
    QTest::newRow("left edge only") << QPoint(20, 400) << dialog << screen << QPoint(0, 318);
    QTest::newRow("bottom edge only") << QPoint(500, 760) << dialog << screen << QPoint(370, 604);
    QTest::newRow("larger than the screen ends flush right and bottom")
        << QPoint(10, 10) << QSize(1100, 800) << screen << QPoint(-76, -32);
    QTest::newRow("second screen to the right") << QPoint(1030, 5) << dialog << QRect(1024, 0, 800, 600)
                                                << QPoint(1024, 0);
    QTest::newRow("second screen, far corner") << QPoint(1823, 599) << dialog << QRect(1024, 0, 800, 600)
                                               << QPoint(1563, 436);
}

void TestXScrlRules::placement()
{
    QFETCH(QPoint, pointer);
    QFETCH(QSize, outer);
    QFETCH(QRect, screen);
    QTEST(placeOnPointer(pointer, outer, screen), "expected");
}

void TestXScrlRules::pixelSizeCaption_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");
    QTest::newRow("maximum below 8 keeps the title") << 7 << 5 << "Size";
    QTest::newRow("maximum 8") << 8 << 1 << "Size32x24 pixels";
    QTest::newRow("20 steps") << 20 << 20 << "Size640x480 pixels";
    QTest::newRow("zero") << 20 << 0 << "Size0x0 pixels";
    QTest::newRow("large position does not overflow") << 2147483647 << 100000000 << "Size3200000000x2400000000 pixels";
}

void TestXScrlRules::pixelSizeCaption()
{
    QFETCH(int, maximum);
    QFETCH(int, position);
    QTEST(::pixelSizeCaption(QStringLiteral("Size"), maximum, position), "expected");
}

QTEST_APPLESS_MAIN(TestXScrlRules)
#include "test_xscrl_rules.moc"
