#include "app/help_placement.h"

#include <QTest>

class TestHelpPlacement : public QObject
{
    Q_OBJECT
private slots:
    void bounds_data();
    void bounds();
};

void TestHelpPlacement::bounds_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    // The wished outer size is 570 x 650 throughout.
    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("right of the owner") << QRect(100, 50, 300, 160) << screen << QRect(408, 50, 570, 650);
    QTest::newRow("left of the owner, pulled up")
        << QRect(819, 473, 300, 160) << screen << QRect(241, 374, 570, 650);
    QTest::newRow("room on neither side: lowered into the roomiest, below")
        << QRect(400, 100, 300, 160) << QRect(0, 0, 1024, 768) << QRect(400, 268, 570, 500);
    QTest::newRow("narrowed into the roomiest, left")
        << QRect(500, 100, 300, 500) << QRect(0, 0, 1024, 768) << QRect(0, 100, 492, 650);
    QTest::newRow("room nowhere: as far right as the screen allows")
        << QRect(200, 200, 600, 300) << QRect(0, 0, 1024, 768) << QRect(454, 118, 570, 650);
    QTest::newRow("a screen smaller than the wish: the screen's size")
        << QRect(100, 100, 300, 160) << QRect(0, 0, 640, 512) << QRect(70, 0, 570, 512);
    QTest::newRow("below a panel, above the owner's top")
        << QRect(100, 0, 300, 160) << QRect(0, 30, 1280, 994) << QRect(408, 30, 570, 650);
    // A second screen right of a 1280-wide first one.
    QTest::newRow("second screen, right of the owner")
        << QRect(1300, 100, 300, 160) << QRect(1280, 0, 1920, 1080) << QRect(1608, 100, 570, 650);
    QTest::newRow("second screen, never onto the first: below the owner")
        << QRect(1290, 100, 1860, 160) << QRect(1280, 0, 1920, 1080) << QRect(1290, 268, 570, 650);
    // The first start's window at each corner of the screen.
    QTest::newRow("owner top left") << QRect(0, 0, 338, 133) << screen << QRect(346, 0, 570, 650);
    QTest::newRow("owner top right") << QRect(942, 0, 338, 133) << screen << QRect(364, 0, 570, 650);
    QTest::newRow("owner bottom left") << QRect(0, 891, 338, 133) << screen << QRect(346, 374, 570, 650);
    QTest::newRow("owner bottom right") << QRect(942, 891, 338, 133) << screen << QRect(364, 374, 570, 650);
    QTest::newRow("a wide owner at the bottom: above it")
        << QRect(100, 891, 1000, 133) << screen << QRect(100, 233, 570, 650);
}

void TestHelpPlacement::bounds()
{
    QFETCH(QRect, owner);
    QFETCH(QRect, available);
    const QRect bounds = helpWindowBounds(owner, QSize(570, 650), available);
    QTEST(bounds, "expected");
    QVERIFY(available.contains(bounds));
}

QTEST_GUILESS_MAIN(TestHelpPlacement)
#include "test_help_placement.moc"
