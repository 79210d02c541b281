#include "app/error_report.h"
#include "app/flow_layout.h"
#include "app/toolbar_images.h"
#include "app/view_geometry.h"

#include <QTest>
#include <QWidget>

class TestLayoutRules : public QObject
{
    Q_OBJECT
private slots:
    void normalView_data();
    void normalView();
    void toolbarViewNeverMoves();
    void flowRows_data();
    void flowRows();
    void errorReportText_data();
    void errorReportText();
    void stripCutting();
};

void TestLayoutRules::normalView_data()
{
    QTest::addColumn<QRect>("current");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QRect>("expected");
    // 45 x 36 buttons, decoration 26, status 21, URL panel 26: 286 x 149.
    QTest::newRow("centred") << QRect(5, 5, 10, 10) << true << QRect(369, 309, 286, 149);
    QTest::newRow("stays where it is") << QRect(100, 700, 50, 50) << false << QRect(100, 700, 286, 149);
    QTest::newRow("pulled back to right edge") << QRect(900, 50, 50, 50) << false << QRect(738, 50, 286, 149);
    QTest::newRow("top never adjusted") << QRect(10, -40, 50, 50) << false << QRect(10, -40, 286, 149);
}

void TestLayoutRules::normalView()
{
    QFETCH(QRect, current);
    QFETCH(bool, centred);
    const ViewInputs in{QSize(45, 36), 26, 21, 26};
    QTEST(normalViewBounds(in, current, QSize(1024, 768), centred), "expected");
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

QTEST_MAIN(TestLayoutRules)
#include "test_layout_rules.moc"
