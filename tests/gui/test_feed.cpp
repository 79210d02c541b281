#include "form_fixture.h"

#include <QRegularExpression>
#include <QSignalBlocker>
#include <QThread>
#include <QToolButton>

#include <tuple>

namespace {
const QString kBase = QStringLiteral("http://www.example.com/members/gallery/photos/98/");

QStringList series(int first, int count)
{
    QStringList urls;
    for (int n = first; n < first + count; ++n)
        urls.append(kBase + QStringLiteral("pic%1.jpg").arg(n, 3, 10, QChar(u'0')));
    return urls;
}
} // namespace

// The feed driven tick by tick: the real timer is set far in the future and
// made to fall due by the test.
class TestFeed : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void holdLosesAndRepeatsNothing();
    void escCancelsOnlyARun();
    void feedPressedDuringRunStartsAgain();
    void urlEditedDuringRun();
    void failingStepEndsRun_data();
    void failingStepEndsRun();
    void refusedHandOverStopsRun();
    void realTimerHandsOverEachUrlOnce();
    void timerRestartsOnlyWhenAsked();

private:
    static void startFeed(FormFixture &f, const QString &items)
    {
        child<FeedTimer>(*f.form, "Timer1")->setInterval(3'600'000);
        child<ChangeEdit>(*f.form, "EditNumItems")->setTextCascade(items);
        child<QToolButton>(*f.form, "btnFeed")->click();
    }
    static void tick(FormFixture &f) { f.tick(); }
};

void TestFeed::run_data()
{
    QTest::addColumn<QString>("items");
    QTest::addColumn<QStringList>("handedOver");
    QTest::addColumn<QStringList>("statuses");
    QTest::newRow("five") << "5" << series(1, 5)
                          << QStringList{"Sending 1 of 5", "Sending 2 of 5", "Sending 3 of 5", "Sending 4 of 5",
                                         "Sending 5 of 5", "Ready."};
    QTest::newRow("one") << "1" << series(1, 1) << QStringList{"Sending 1 of 1", "Ready."};
    QTest::newRow("zero") << "0" << QStringList{} << QStringList{"Ready."};
}

void TestFeed::run()
{
    QFETCH(QStringList, handedOver);
    QFETCH(QStringList, statuses);
    FormFixture f;
    TVempForm &form = f.start();
    startFeed(f, QTest::currentDataTag() == QByteArray("zero") ? "0" : QString::number(handedOver.size()));
    QVERIFY(f.cursor.isBusy);
    QStringList seen;
    while (child<FeedTimer>(form, "Timer1")->isEnabled() && seen.size() < 10) {
        tick(f);
        seen.append(f.panel(1));
    }
    QCOMPARE(f.clipboard.writes, handedOver);
    QCOMPARE(seen, statuses);
    QCOMPARE(f.url(), handedOver.isEmpty() ? series(1, 1).first() : handedOver.last());
    QCOMPARE(f.items(), handedOver.isEmpty() ? QStringLiteral("0") : QStringLiteral("1"));
    QVERIFY(!f.cursor.isBusy);
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestFeed::holdLosesAndRepeatsNothing()
{
    FormFixture f;
    f.start().resize(700, 200);
    startFeed(f, "3");
    tick(f);
    f.foreground.currentTitle = QStringLiteral("Save File - Downloads");
    tick(f);
    tick(f);
    QCOMPARE(f.clipboard.writes, series(1, 1));
    QCOMPARE(f.panel(1), QStringLiteral("Waiting: \"Save File - Downloads\" is in front"));
    // A title too long for the status line is shortened keeping "save".
    f.foreground.currentTitle = QString(500, u'x') + " Save " + QString(500, u'x') + " end";
    tick(f);
    QCOMPARE(f.panel(1), QStringLiteral("Waiting: \"\u2026Save\u2026\" is in front"));
    f.foreground.currentTitle = QStringLiteral("Downloads");
    tick(f);
    QCOMPARE(f.panel(1), QStringLiteral("Sending 2 of 3"));
    for (int i = 0; i < 2; ++i)
        tick(f);
    QCOMPARE(f.clipboard.writes, series(1, 3));
    QCOMPARE(f.panel(1), QStringLiteral("Ready."));
}

void TestFeed::escCancelsOnlyARun()
{
    FormFixture f;
    TVempForm &form = f.start();
    QTest::keyClick(child<ChangeEdit>(form, "Edit1"), Qt::Key_Escape);
    QVERIFY(f.boxes.shown.isEmpty());

    startFeed(f, "3");
    tick(f);
    // Find the end, which sets Items, is not offered while a feed counts it down.
    QMenu *menu = child<QMenu>(form, "PopupMenu1");
    QAction *findEnd = menu->findChild<QAction *>("mnuFindEnd");
    emit menu->aboutToShow();
    QVERIFY(!findEnd->isEnabled());
    QTest::keyClick(child<ChangeEdit>(form, "Edit1"), Qt::Key_Escape);
    emit menu->aboutToShow();
    QVERIFY(findEnd->isEnabled());
    QCOMPARE(f.boxes.texts(), QStringList{"Batch cancelled."});
    QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Serimo"));
    QCOMPARE(f.boxes.shown[0].icon, MessageBoxes::Icon::None);
    QVERIFY(!child<FeedTimer>(form, "Timer1")->isEnabled());
    QCOMPARE(f.panel(1), QStringLiteral("Ready."));
    QVERIFY(!f.cursor.isBusy);
    QCOMPARE(f.url(), series(1, 1).first());
}

void TestFeed::feedPressedDuringRunStartsAgain()
{
    FormFixture f;
    TVempForm &form = f.start();
    startFeed(f, "3");
    tick(f);
    tick(f);
    child<QToolButton>(form, "btnFeed")->click(); // Items now shows 1: a run of one, the current URL again
    tick(f);
    QCOMPARE(f.panel(1), QStringLiteral("Sending 1 of 1"));
    tick(f);
    QCOMPARE(f.clipboard.writes, series(1, 2) << series(2, 1));
    QCOMPARE(f.panel(1), QStringLiteral("Ready."));
}

void TestFeed::urlEditedDuringRun()
{
    FormFixture f;
    f.start();
    startFeed(f, "3");
    tick(f);
    f.typeUrl(kBase + "pic050.jpg");
    tick(f);
    QCOMPARE(f.clipboard.writes, series(1, 1) << series(51, 1));
}

void TestFeed::failingStepEndsRun_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("typed"); // else set where no handler sees it
    QTest::newRow("counter not a number") << "http://www.example.com/picx.jpg" << "1"
                                          << "Change digits to match series." << false;
    QTest::newRow("digits box empty") << kBase + "pic001.jpg" << ""
                                      << "'' is not a valid integer value." << false;
    QTest::newRow("x typed into Digits") << kBase + "pic001.jpg" << "x" << "'x' is not a valid integer value." << true;
}

void TestFeed::failingStepEndsRun()
{
    QFETCH(QString, url);
    QFETCH(QString, digits);
    QFETCH(bool, typed);
    FormFixture f;
    TVempForm &form = f.create(); // not yet active: no detection repairs the URL
    child<ChangeEdit>(form, "Edit1")->setTextCascade(url);
    startFeed(f, "3");
    auto *digitsBox = child<ChangeEdit>(form, "EditDigits");
    std::tuple<QString, QString, QStringList> before{f.items(), url, {}};
    bool timerOffWhenBoxOpened = false;
    f.boxes.onShow = [&] {
        timerOffWhenBoxOpened = !child<FeedTimer>(form, "Timer1")->isEnabled();
        // The report is modal: a tick that falls due while it is open runs.
        if (!timerOffWhenBoxOpened)
            tick(f);
    };
    if (typed) {
        tick(f); // the run is under way
        QCOMPARE(f.panel(1), QStringLiteral("Sending 1 of 3"));
        before = {f.items(), f.url(), f.clipboard.writes};
        digitsBox->selectAll();
        QTest::keyClicks(digitsBox, digits);
    } else {
        const QSignalBlocker quiet(digitsBox);
        digitsBox->setText(digits);
        tick(f);
    }
    QTEST(f.boxes.texts().join(u'|'), "box");
    QVERIFY(timerOffWhenBoxOpened);
    QVERIFY(!f.cursor.isBusy);
    QCOMPARE(f.panel(1), QStringLiteral("Ready."));
    QCOMPARE(std::tuple(f.items(), f.url(), f.clipboard.writes), before); // the failing step changed nothing
}

void TestFeed::refusedHandOverStopsRun()
{
    FormFixture f;
    TVempForm &form = f.start();
    startFeed(f, "3");
    tick(f);
    f.clipboard.refuse = true;
    bool timerOffWhenBoxOpened = false;
    f.boxes.onShow = [&] { timerOffWhenBoxOpened = !child<FeedTimer>(form, "Timer1")->isEnabled(); };
    tick(f);
    QCOMPARE(f.boxes.texts(), QStringList{"The clipboard did not take " + series(2, 1).first() + "."});
    QVERIFY(timerOffWhenBoxOpened);
    QCOMPARE(f.panel(1), QStringLiteral("Sending 1 of 3"));
    QCOMPARE(f.items(), QStringLiteral("2"));
    QVERIFY(!f.cursor.isBusy);
}

void TestFeed::realTimerHandsOverEachUrlOnce()
{
    FormFixture f;
    TVempForm &form = f.start();
    // Each hand-over outlasts the interval, so the next tick falls due while
    // this one still processes events.
    f.clipboard.onWrite = [] { QThread::msleep(5); };
    child<ChangeEdit>(form, "EditNumItems")->setTextCascade(QStringLiteral("5"));
    child<FeedTimer>(form, "Timer1")->setInterval(1);
    child<QToolButton>(form, "btnFeed")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!child<FeedTimer>(form, "Timer1")->isEnabled(), 5000);
    QCOMPARE(f.clipboard.writes, series(1, 5));
    QCOMPARE(f.items(), QStringLiteral("1"));
    QCOMPARE(f.panel(1), QStringLiteral("Ready."));
}

void TestFeed::timerRestartsOnlyWhenAsked()
{
    // Each call is judged by the time left just before and just after it:
    // a restart raises it back to the whole interval, anything else leaves
    // it where the clock has taken it. The timer first runs a while, so a
    // restart is told from no restart however slowly the test runs.
    FeedTimer timer;
    timer.setInterval(10'000);
    timer.setEnabled(true);
    const auto restarts = [&timer](const std::function<void()> &call) {
        if (!QTest::qWaitFor([&timer] { return timer.remainingTime() < timer.interval() - 100; }))
            qFatal("the timer is not running");
        const int before = timer.remainingTime();
        call();
        return timer.remainingTime() > before;
    };
    QVERIFY(!restarts([&] { timer.setEnabled(true); }));
    QVERIFY(!restarts([&] { timer.setInterval(10'000); }));
    QVERIFY(restarts([&] {
        timer.setEnabled(false);
        timer.setEnabled(true);
    }));
    QVERIFY(restarts([&] { timer.setInterval(20'000); }));
}

QTEST_MAIN(TestFeed)
#include "test_feed.moc"
