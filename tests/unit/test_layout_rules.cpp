#include "app/error_report.h"
#include "app/flow_layout.h"
#include "app/toolbar_images.h"
#include "app/view_geometry.h"

#include <QTest>
#include <QtMath>
#include <QWidget>

class TestLayoutRules : public QObject
{
    Q_OBJECT
private slots:
    void normalView_data();
    void normalView();
    void toolbarViewNeverMoves();
    void storedBoundsReachable_data();
    void storedBoundsReachable();
    void flowRows_data();
    void flowRows();
    void errorReportText_data();
    void errorReportText();
    void stripCutting();
    void renderedPixelArt_data();
    void renderedPixelArt();
    void pixelArtRoom_data();
    void pixelArtRoom();
    void pixelArtIconSizes();
};

namespace {
// A 3 x 2 picture with a transparent pixel, a half-transparent one and
// colours that any blending would mix.
QImage samplePicture()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgba(0, 0, 0, 0));
    image.setPixel(2, 0, qRgb(0, 0, 255));
    image.setPixel(0, 1, qRgb(0, 128, 0));
    image.setPixel(1, 1, qRgba(255, 255, 0, 128));
    image.setPixel(2, 1, qRgb(255, 255, 255));
    return image;
}

// Every pixel of `rendered` inside `area` is the source pixel it stands for
// (factor x factor blocks), and every pixel outside is fully transparent.
void checkBlocks(const QImage &rendered, const QImage &source, const QRect &area, int factor)
{
    for (int y = 0; y < rendered.height(); ++y) {
        for (int x = 0; x < rendered.width(); ++x) {
            const QPoint at(x, y);
            const QRgb expected = area.contains(at)
                                      ? source.pixel((x - area.x()) / factor, (y - area.y()) / factor)
                                      : qRgba(0, 0, 0, 0);
            if (rendered.pixel(at) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, not %4")
                                     .arg(x).arg(y).arg(rendered.pixel(at), 8, 16).arg(expected, 8, 16)));
        }
    }
}
} // namespace

void TestLayoutRules::normalView_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("current");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QRect>("expected");
    // 45 x 36 buttons, decoration 26, status 21, URL panel 26: 286 x 149.
    const QRect single(0, 0, 1024, 768);
    QTest::newRow("centred") << single << QRect(5, 5, 10, 10) << true << QRect(369, 309, 286, 149);
    QTest::newRow("stays where it is") << single << QRect(100, 700, 50, 50) << false << QRect(100, 700, 286, 149);
    QTest::newRow("pulled back to right edge") << single << QRect(900, 50, 50, 50) << false
                                               << QRect(738, 50, 286, 149);
    QTest::newRow("top never adjusted") << single << QRect(10, -40, 50, 50) << false << QRect(10, -40, 286, 149);
    // A second screen right of a 1280-wide first one, lower by 100.
    const QRect right(1280, 100, 1024, 768);
    QTest::newRow("second screen, centred on it") << right << QRect(5, 5, 10, 10) << true
                                                  << QRect(1649, 409, 286, 149);
    QTest::newRow("second screen, stays on it") << right << QRect(1300, 150, 50, 50) << false
                                                << QRect(1300, 150, 286, 149);
    QTest::newRow("second screen, pulled back to its right edge")
        << right << QRect(2200, 150, 50, 50) << false << QRect(2018, 150, 286, 149);
    // A screen left of the primary has negative coordinates.
    QTest::newRow("screen left of the primary, centred") << QRect(-1024, 0, 1024, 768) << QRect(5, 5, 10, 10) << true
                                                         << QRect(-655, 309, 286, 149);
}

void TestLayoutRules::normalView()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, current);
    QFETCH(bool, centred);
    const ViewInputs in{QSize(45, 36), 26, 21, 26};
    QTEST(normalViewBounds(in, current, screen, centred), "expected");
}

void TestLayoutRules::storedBoundsReachable_data()
{
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("expected");
    const QList<QRect> large{QRect(0, 0, 1280, 1024)};
    const QList<QRect> small{QRect(0, 0, 640, 480)};
    const QList<QRect> two{QRect(0, 0, 1280, 1024), QRect(1280, 100, 1024, 768)};
    const QRect far(5000, 5000, 400, 200);
    QTest::newRow("far off, large screen") << large << far << QRect(880, 824, 400, 200);
    QTest::newRow("far off, small screen") << small << far << QRect(240, 280, 400, 200);
    QTest::newRow("on the screen, kept") << large << QRect(10, 20, 400, 200) << QRect(10, 20, 400, 200);
    QTest::newRow("title bar above the screen") << large << QRect(100, -150, 400, 200) << QRect(100, 0, 400, 200);
    QTest::newRow("larger than the screen") << small << QRect(-50, 300, 700, 500) << QRect(0, 0, 700, 500);
    QTest::newRow("across two screens, kept") << two << QRect(1100, 200, 400, 200) << QRect(1100, 200, 400, 200);
    QTest::newRow("mostly on the second") << two << QRect(2100, 50, 400, 200) << QRect(1904, 100, 400, 200);
    QTest::newRow("nearest when on none") << two << QRect(-3000, 300, 400, 200) << QRect(0, 300, 400, 200);
}

void TestLayoutRules::storedBoundsReachable()
{
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, stored);
    QTEST(reachableBounds(stored, screens), "expected");
}

void TestLayoutRules::toolbarViewNeverMoves()
{
    const ViewInputs in{QSize(45, 36), 26, 21, 0};
    QCOMPARE(toolbarViewBounds(in, QRect(900, 700, 300, 100)), QRect(900, 700, 98, 26 + 12 + 21 + 216));
}

void TestLayoutRules::flowRows_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("rows");
    // The tool bar's items: 3 panels and 8 buttons of 45, 5 separators of 4.
    QTest::newRow("normal view") << 6 * 45 + 8 << 2;
    QTest::newRow("toolbar view") << 2 * 45 << 6;
    QTest::newRow("one wide") << 45 << 11;
    QTest::newRow("all in one row") << 11 * 45 + 5 * 4 << 1;
}

void TestLayoutRules::flowRows()
{
    QFETCH(int, width);
    QWidget host;
    auto *flow = new FlowLayout(&host);
    // D W | P C | B N | F I | Im M | H
    const char kinds[] = "bb|bb|bb|bb|bb|b";
    for (const char *k = kinds; *k; ++k) {
        auto *w = new QWidget(&host);
        w->setFixedSize(*k == '|' ? 4 : 45, 36);
        if (*k == '|') {
            w->setMinimumSize(0, 0);
            flow->addSeparator(w);
        } else {
            flow->addWidget(w);
        }
    }
    QTEST(flow->rowCount(width), "rows");
    QFETCH(int, rows);
    QCOMPARE(flow->heightForWidth(width), rows * 36);
}

void TestLayoutRules::errorReportText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter gets a stop") << "'x' is not a valid integer value" << "'x' is not a valid integer value.";
    QTest::newRow("quote sorts before stop") << "Invalid data type for 'LastURL'" << "Invalid data type for 'LastURL'";
    QTest::newRow("digit sorts after stop") << "Cannot create file c:\\a1" << "Cannot create file c:\\a1.";
    QTest::newRow("stop kept") << "Done." << "Done.";
    QTest::newRow("comma sorts before stop") << "a," << "a,";
    QTest::newRow("empty") << "" << "";
}

void TestLayoutRules::errorReportText()
{
    QFETCH(QString, message);
    QTEST(::errorReportText(message), "shown");
}

void TestLayoutRules::stripCutting()
{
    QImage strip(144, 16, QImage::Format_RGB32);
    strip.fill(qRgb(255, 0, 255));
    strip.setPixel(16 * 3 + 5, 7, qRgb(255, 0, 0));
    strip.setPixel(16 * 8 + 15, 15, qRgb(254, 0, 255));
    const QList<QImage> cells = cutToolbarStrip(strip);
    QCOMPARE(cells.size(), 9);
    QCOMPARE(cells[0].size(), QSize(16, 16));
    QCOMPARE(qAlpha(cells[0].pixel(0, 0)), 0);
    QCOMPARE(cells[3].pixel(5, 7), qRgb(255, 0, 0));
    QCOMPARE(qAlpha(cells[3].pixel(6, 7)), 0);
    // Only exactly-magenta pixels become transparent.
    QCOMPARE(cells[8].pixel(15, 15), qRgb(254, 0, 255));
}

void TestLayoutRules::renderedPixelArt_data()
{
    QTest::addColumn<QSize>("deviceSize");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("factor");
    // The sample picture is 3 x 2; the largest whole multiple fits, centred.
    QTest::newRow("exact") << QSize(3, 2) << QRect(0, 0, 3, 2) << 1;
    QTest::newRow("twice exactly") << QSize(6, 4) << QRect(0, 0, 6, 4) << 2;
    QTest::newRow("three times exactly") << QSize(9, 6) << QRect(0, 0, 9, 6) << 3;
    QTest::newRow("four times exactly") << QSize(12, 8) << QRect(0, 0, 12, 8) << 4;
    QTest::newRow("not yet three times") << QSize(8, 5) << QRect(1, 0, 6, 4) << 2;
    QTest::newRow("three times, narrow by height") << QSize(12, 6) << QRect(1, 0, 9, 6) << 3;
    QTest::newRow("1.5 times gets 1, centred") << QSize(5, 3) << QRect(1, 0, 3, 2) << 1;
}

void TestLayoutRules::renderedPixelArt()
{
    QFETCH(QSize, deviceSize);
    QFETCH(QRect, area);
    QFETCH(int, factor);
    const QImage rendered = renderPixelArt(samplePicture(), deviceSize);
    QCOMPARE(rendered.size(), deviceSize);
    checkBlocks(rendered, samplePicture(), area, factor);
}

void TestLayoutRules::pixelArtRoom_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("edge");
    // Device pixels: 16, 20 (16 centred), 33 (32), 32, 38 (32), 50 (48), 48.
    QTest::newRow("1") << 1.0 << 16;
    QTest::newRow("1.25 keeps the image as it is") << 1.25 << 16;
    QTest::newRow("1.5 makes room for twice") << 1.5 << 22;
    QTest::newRow("2") << 2.0 << 16;
    QTest::newRow("2.4 stays at twice") << 2.4 << 16;
    QTest::newRow("2.5 makes room for three times") << 2.5 << 20;
    QTest::newRow("3") << 3.0 << 16;
    QTest::newRow("no ratio") << 0.0 << 16;
}

void TestLayoutRules::pixelArtRoom()
{
    QFETCH(qreal, ratio);
    QFETCH(int, edge);
    QCOMPARE(pixelArtLogicalEdge(16, ratio), edge);
    // The room always holds the enlargement it was made for.
    const int factor = std::max(1, qRound(ratio));
    if (ratio > 0)
        QVERIFY(qFloor(edge * ratio + 1e-6) >= 16 * factor);
}

void TestLayoutRules::pixelArtIconSizes()
{
    Q_INIT_RESOURCE(serimo);
    const QImage source = cutToolbarStrip(QImage(QStringLiteral(":/bm_vemp.bmp"))).value(3);
    QCOMPARE(source.size(), QSize(16, 16));
    const QIcon icon = pixelArtIcon(source);
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
    // What a tool button asks for at 1.5: 22 logical pixels, drawn on 33.
    const QPixmap atOneAndAHalf = icon.pixmap(QSize(22, 22), 1.5);
    QCOMPARE(atOneAndAHalf.size(), QSize(33, 33));
    QCOMPARE(atOneAndAHalf.devicePixelRatio(), 1.5);
    checkBlocks(atOneAndAHalf.toImage().convertToFormat(QImage::Format_ARGB32), source, QRect(0, 0, 32, 32), 2);
    const QPixmap atTwo = icon.pixmap(QSize(16, 16), 2.0);
    QCOMPARE(atTwo.size(), QSize(32, 32));
    checkBlocks(atTwo.toImage().convertToFormat(QImage::Format_ARGB32), source, QRect(0, 0, 32, 32), 2);
}

QTEST_MAIN(TestLayoutRules)
#include "test_layout_rules.moc"
