#include "output/feed_hold.h"

#include <QTest>

class TestFeedHold : public QObject
{
    Q_OBJECT
private slots:
    void titleHolds_data();
    void titleHolds();
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

QTEST_APPLESS_MAIN(TestFeedHold)
#include "test_feed_hold.moc"
