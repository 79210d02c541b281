#include "output/feed_hold.h"

#include <QTest>

class TestFeedHold : public QObject
{
    Q_OBJECT
private slots:
    void titleHolds_data();
    void titleHolds();
    void titleShown_data();
    void titleShown();
};

void TestFeedHold::titleHolds_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("holds");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("mixed case") << "Document - SaVe As" << true;
    QTest::newRow("inside a word") << "unsaved changes" << true;
    QTest::newRow("only ascii folds") << QStringLiteral("SAV\u0130 \u017Fave") << false;
    QTest::newRow("after a nul") << QStringLiteral("Open%1Save").arg(QChar(u'\0')) << false;
    QTest::newRow("past 1023 characters") << QString(1020, u'x') + "Save" << false;
    QTest::newRow("ends at 1023") << QString(1019, u'x') + "Save" << true;
}

void TestFeedHold::titleHolds()
{
    QFETCH(QString, title);
    QTEST(titleHoldsFeed(title), "holds");
}

void TestFeedHold::titleShown_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("room"); // characters
    QTest::addColumn<QString>("shown");
    const QString title = QStringLiteral("Save file - Downloader");
    QTest::newRow("whole where it fits") << title << 22 << title;
    QTest::newRow("to a word's end after save") << title << 12 << QStringLiteral("Save file\u2026");
    QTest::newRow("save far in: the words around it")
        << "Photos of the trip - Save As - Pictures" << 12 << QStringLiteral("\u2026Save As\u2026");
    QTest::newRow("save inside a word") << "Unsaved changes in report.odt" << 16 << QStringLiteral("Unsaved changes\u2026");
    QTest::newRow("nothing fits: the word of save") << "A very long Save" << 2 << QStringLiteral("\u2026Save\u2026");
}

void TestFeedHold::titleShown()
{
    QFETCH(QString, title);
    QFETCH(int, room);
    QTEST(heldTitleShown(title, [room](const QString &text) { return text.size() <= room; }), "shown");
}

QTEST_APPLESS_MAIN(TestFeedHold)
#include "test_feed_hold.moc"
