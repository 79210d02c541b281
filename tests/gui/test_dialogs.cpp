#include "form_fixture.h"

#include "app/error_report.h"
#include "common/serimo_error.h"
#include "dialogs/about_b.h"
#include "dialogs/xscrldlg.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

namespace {
// The feed delay's arguments: 100 to 9900, steps 1000 and 100.
TXScrlParams delayParams(qint32 start, std::array<qint32, 6> presets = {500, 1000, 1500, 2000, 3000, 5000})
{
    return {100, 9900, start, 1000, 100, presets, true, false};
}

// Where the dialog's visible controls lie, together.
QRect shownControls(const QDialog &d)
{
    QRect bounds;
    for (const QWidget *w : d.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisible())
            bounds |= w->geometry();
    }
    return bounds;
}

QLineEdit *edit(QDialog &d) { return child<QLineEdit>(d, "CustomSetting"); }
QScrollBar *scrollBar(QDialog &d) { return child<QScrollBar>(d, "CustomScrollBar"); }
void clickOk(QDialog &d) { QTest::mouseClick(child<QPushButton>(d, "BtnOK"), Qt::LeftButton); }

qint32 show(TXScrlParams params, const std::function<void(QDialog &)> &act, const QString &title = QStringLiteral("T"))
{
    DialogAnswer<TXScrlDlg> answer(act);
    const qint32 result = ShowXScrlDlg(title, QStringLiteral("lo"), QStringLiteral("hi"), params);
    if (!answer.acted)
        QTest::qFail("the dialog never opened", __FILE__, __LINE__);
    return result;
}
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void everyCloseButOkIsCancelled_data();
    void everyCloseButOkIsCancelled();
    void okReturnsStartClamped_data();
    void okReturnsStartClamped();
    void textRule_data();
    void textRule();
    void scrollAfterTypingRewritesTheBox();
    void presetsCloseAtOnce_data();
    void presetsCloseAtOnce();
    void withoutPresetsTheGroupsRoomGoes();
    void placedOnThePointer_data();
    void placedOnThePointer();
    void trackBarCaption_data();
    void trackBarCaption();
    void rangeErrorReachesTheReport_data();
    void rangeErrorReachesTheReport();
    void feedDelay_data();
    void feedDelay();
    void feedDelayBoxAgreesWithOk_data();
    void feedDelayBoxAgreesWithOk();
    void feedDelayDuringAFeed();
    void aboutClosesOnlyWithOk_data();
    void aboutClosesOnlyWithOk();
    void aboutLooks();
    void downloadOptionsKeptAcrossRestart();
};

void TestDialogs::everyCloseButOkIsCancelled_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Esc in the box") << 1;
    QTest::newRow("asked to close") << 2;
}

void TestDialogs::everyCloseButOkIsCancelled()
{
    QFETCH(int, how);
    const qint32 result = show(delayParams(2000), [how](QDialog &d) {
        QCOMPARE(QApplication::focusWidget(), edit(d));
        if (how == 0)
            QTest::mouseClick(child<QPushButton>(d, "BtnCancel"), Qt::LeftButton);
        else if (how == 1)
            QTest::keyClick(edit(d), Qt::Key_Escape);
        else
            d.close();
    });
    QCOMPARE(result, XScrlCancelled);
}

void TestDialogs::okReturnsStartClamped_data()
{
    QTest::addColumn<qint32>("start");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("inside") << 2000 << false << 2000;
    QTest::newRow("below the minimum") << 50 << false << 100;
    QTest::newRow("above the maximum, Enter") << 20000 << true << 9900;
}

void TestDialogs::okReturnsStartClamped()
{
    QFETCH(qint32, start);
    QFETCH(bool, byEnter);
    QFETCH(qint32, expected);
    const qint32 result = show(delayParams(start), [&](QDialog &d) {
        QCOMPARE(edit(d)->text(), QString::number(expected));
        QCOMPARE(edit(d)->selectedText(), QString::number(expected));
        QCOMPARE(scrollBar(d)->value(), expected);
        if (byEnter)
            QTest::keyClick(edit(d), Qt::Key_Return);
        else
            clickOk(d);
    });
    QCOMPARE(result, expected);
}

void TestDialogs::textRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<qint32>("expected");
    // Keystroke by keystroke over the selected start value 2000.
    QTest::newRow("5 waits for more digits, OK takes the minimum") << "5" << false << "5" << 100;
    QTest::newRow("digits past the maximum") << "99999" << false << "9900" << 9900;
    QTest::newRow("emptied box keeps the last position") << "" << false << "" << 2000;
    QTest::newRow("letters take the recovery") << "x" << false << "100" << 100;
    QTest::newRow("pasted hex") << "$1F4" << true << "$1F4" << 500;
    QTest::newRow("pasted leading zero kept") << " 0150" << true << " 0150" << 150;
    QTest::newRow("pasted beyond 32 bits") << "99999999999" << true << "100" << 100;
    QTest::newRow("pasted sign alone") << "-" << true << "100" << 100;
}

void TestDialogs::textRule()
{
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QString, shown);
    QFETCH(qint32, expected);
    const qint32 result = show(delayParams(2000), [&](QDialog &d) {
        if (pasted)
            edit(d)->insert(typed);
        else if (typed.isEmpty())
            QTest::keyClick(edit(d), Qt::Key_Backspace);
        else
            QTest::keyClicks(edit(d), typed);
        QCOMPARE(edit(d)->text(), shown);
        QVERIFY(d.isVisible());
        clickOk(d);
    });
    QCOMPARE(result, expected);
}

void TestDialogs::scrollAfterTypingRewritesTheBox()
{
    const qint32 result = show(delayParams(2000), [](QDialog &d) {
        edit(d)->insert(QStringLiteral("0150"));
        QCOMPARE(scrollBar(d)->value(), 150);
        QCOMPARE(edit(d)->text(), QStringLiteral("0150"));
        // Shift+Enter does not close; its release runs the rule once more.
        QTest::keyClick(edit(d), Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(d.isVisible());
        scrollBar(d)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(edit(d)->text(), QStringLiteral("250"));
        scrollBar(d)->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(edit(d)->text(), QStringLiteral("1250"));
        clickOk(d);
    });
    QCOMPARE(result, 1250);
}

void TestDialogs::presetsCloseAtOnce_data()
{
    QTest::addColumn<qint32>("presetC");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("c by mouse") << 1500 << false << 1500;
    QTest::newRow("c by its access key") << 1500 << true << 1500;
    QTest::newRow("c above the maximum") << 20000 << false << 9900;
    QTest::newRow("c below the minimum") << -5 << true << 100;
}

void TestDialogs::presetsCloseAtOnce()
{
    QFETCH(qint32, presetC);
    QFETCH(bool, byKey);
    const qint32 result = show(delayParams(2000, {500, 1000, presetC, 2000, 3000, 5000}), [&](QDialog &d) {
        auto *c = child<QRadioButton>(d, "PresetC");
        QCOMPARE(c->text(), QStringLiteral("&c = %1").arg(presetC));
        QCOMPARE(c->accessibleName(), QStringLiteral("c = %1").arg(presetC));
        if (byKey)
            QTest::keyClick(edit(d), Qt::Key_C, Qt::AltModifier);
        else
            QTest::mouseClick(c, Qt::LeftButton);
    });
    QTEST(result, "expected");
}

void TestDialogs::withoutPresetsTheGroupsRoomGoes()
{
    int height[2] = {};
    int roomBelow[2] = {};
    for (bool presets : {true, false}) {
        TXScrlParams params = delayParams(2000);
        params.ShowPresets = presets;
        show(params, [&](QDialog &d) {
            QCOMPARE(child<QGroupBox>(d, "GroupOptions")->isVisible(), presets);
            const QRect shown = shownControls(d);
            QVERIFY(d.rect().contains(shown));
            height[presets] = d.height();
            roomBelow[presets] = d.height() - shown.bottom();
            clickOk(d);
        });
    }
    // Shorter, with no more room below the buttons than below the group.
    QVERIFY(height[false] < height[true]);
    QVERIFY(roomBelow[false] <= roomBelow[true]);
}

void TestDialogs::placedOnThePointer_data()
{
    QTest::addColumn<int>("corner");
    QTest::newRow("top-left") << 0;
    QTest::newRow("bottom-right") << 1;
}

void TestDialogs::placedOnThePointer()
{
    QFETCH(int, corner);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCursor::setPos(corner == 0 ? screen.topLeft() : screen.bottomRight());
    QRect frame;
    show(delayParams(2000), [&](QDialog &d) {
        frame = d.frameGeometry();
        clickOk(d);
    });
    if (corner == 0)
        QCOMPARE(frame.topLeft(), screen.topLeft());
    else
        QCOMPARE(frame.bottomRight(), screen.bottomRight());
    QCursor::setPos(screen.center());
}

void TestDialogs::trackBarCaption_data()
{
    QTest::addColumn<qint32>("maximum");
    QTest::addColumn<qint32>("start");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("moved");
    QTest::addColumn<QString>("title");
    QTest::newRow("maximum below 8") << 7 << 3 << "Size" << "Size" << "Size";
    QTest::newRow("maximum 20") << 20 << 20 << "Size640x480 pixels" << "Size640x480 pixels" << "Size";
    QTest::newRow("moved by the user") << 20 << 10 << "Size320x240 pixels" << "Size352x264 pixels" << "Size";
    const QString longTitle = QStringLiteral("A title longer than the dialog's own width: Size");
    QTest::newRow("long title") << 20 << 10 << longTitle + "320x240 pixels" << longTitle + "352x264 pixels" << longTitle;
}

void TestDialogs::trackBarCaption()
{
    QFETCH(qint32, maximum);
    QFETCH(qint32, start);
    QFETCH(QString, opened);
    QFETCH(QString, moved);
    QFETCH(QString, title);
    TXScrlParams params{0, maximum, start, 1, 1, {}, false, true};
    const qint32 result = show(
        params,
        [&](QDialog &d) {
            auto *track = child<QSlider>(d, "UserTrackBar");
            QVERIFY(track->isVisible());
            QVERIFY(!scrollBar(d)->isVisible());
            auto *low = child<QLabel>(d, "LabelMin");
            QCOMPARE(low->text(), QStringLiteral("lo"));
            QCOMPARE(low->accessibleName(), QStringLiteral("lo"));
            QCOMPARE(low->x(), 10);
            QCOMPARE(d.windowTitle(), opened);
            track->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(d.windowTitle(), moved);
            // The window manager shows the whole title.
            QVERIFY(d.width() > d.fontMetrics().horizontalAdvance(moved));
            clickOk(d);
        },
        title);
    QCOMPARE(result, std::min(start + 1, maximum));
}

void TestDialogs::rangeErrorReachesTheReport_data()
{
    QTest::addColumn<bool>("trackBar");
    QTest::addColumn<QString>("report");
    QTest::newRow("scroll bar") << false << "Scrollbar property out of range.";
    QTest::newRow("track bar") << true << "QSlider property out of range.";
}

void TestDialogs::rangeErrorReachesTheReport()
{
    QFETCH(bool, trackBar);
    FormFixture f;
    TVempForm &form = f.start();
    TXScrlParams params = delayParams(2000);
    params.MinValue = 500;
    params.MaxValue = 499;
    params.UseTrackBar = trackBar;
    runGuarded(f.boxes, [&] {
        ShowXScrlDlg(QStringLiteral("T"), {}, {}, params, &form);
        f.boxes.show({}, QStringLiteral("went on after the range error"), MessageBoxes::Icon::None);
    });
    QTEST(f.boxes.texts().join(u'|'), "report");
    QCOMPARE(f.boxes.shown.front().icon, MessageBoxes::Icon::Error);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestDialogs::feedDelay_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("after");
    QTest::newRow("preset e") << 2000 << "e" << 3000;
    QTest::newRow("Cancel") << 2000 << "cancel" << 2000;
    QTest::newRow("Esc") << 750 << "esc" << 750;
    QTest::newRow("typed below the minimum") << 2000 << "5" << 100;
    QTest::newRow("typed 100") << 2000 << "100" << 100;
    QTest::newRow("typed 2500") << 2000 << "2500" << 2500;
    QTest::newRow("restored below the range, OK") << 50 << "" << 100;
    QTest::newRow("restored above the range, OK") << 20000 << "" << 9900;
}

void TestDialogs::feedDelay()
{
    QFETCH(int, before);
    QFETCH(QString, answer);
    FormFixture f;
    TVempForm &form = f.start();
    // Nothing of the dialog exists before the command runs.
    QVERIFY(form.findChildren<QDialog *>().isEmpty());
    child<FeedTimer>(form, "Timer1")->setInterval(before);
    DialogAnswer<TXScrlDlg> reply([&](QDialog &d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Set Feed Delay (msecs.) to"));
        QCOMPARE(child<QLabel>(d, "LabelMin")->text(), QStringLiteral("100"));
        QCOMPARE(child<QLabel>(d, "LabelMax")->text(), QStringLiteral("9900"));
        QCOMPARE(child<QRadioButton>(d, "PresetE")->text(), QStringLiteral("&e = 3000"));
        if (answer == u"e")
            QTest::mouseClick(child<QRadioButton>(d, "PresetE"), Qt::LeftButton);
        else if (answer == u"cancel")
            QTest::mouseClick(child<QPushButton>(d, "BtnCancel"), Qt::LeftButton);
        else if (answer == u"esc")
            QTest::keyClick(edit(d), Qt::Key_Escape);
        else {
            QTest::keyClicks(edit(d), answer);
            QTest::keyClick(edit(d), Qt::Key_Return);
        }
    });
    child<QAction>(form, "mnuFeedDelay")->trigger();
    QVERIFY(reply.acted);
    QTEST(child<FeedTimer>(form, "Timer1")->interval(), "after");
    QVERIFY(f.boxes.shown.isEmpty());
    QVERIFY(form.findChildren<QDialog *>().isEmpty());
}

void TestDialogs::feedDelayBoxAgreesWithOk_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<int>("after");
    QTest::newRow("letters typed") << 2000 << "abc" << false << 100;
    QTest::newRow("letters after digits") << 5000 << "12a" << false << 100;
    QTest::newRow("blanks typed") << 2000 << "   " << false << 100;
    QTest::newRow("blanks pasted") << 3000 << "   " << true << 100;
    QTest::newRow("Arabic-Indic digits") << 2000 << QStringLiteral("\u0663\u0660\u0660\u0660") << true << 100;
    QTest::newRow("Devanagari digits") << 2000 << QStringLiteral("\u0968\u0966\u0966") << true << 100;
    QTest::newRow("full-width digits") << 1500 << QStringLiteral("\uFF15\uFF10\uFF10") << true << 100;
    QTest::newRow("digits then a letter pasted") << 2000 << "2500x" << true << 100;
    QTest::newRow("a number still applies") << 2000 << "2500" << true << 2500;
}

// Whatever text went into the box, OK applies the number the box shows.
void TestDialogs::feedDelayBoxAgreesWithOk()
{
    QFETCH(int, before);
    QFETCH(QString, text);
    QFETCH(bool, pasted);
    FormFixture f;
    TVempForm &form = f.start();
    auto *timer = form.findChild<FeedTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    timer->setInterval(before);
    QString shown;
    DialogAnswer<TXScrlDlg> reply([&](QDialog &d) {
        if (pasted)
            edit(d)->insert(text);
        else
            QTest::keyClicks(edit(d), text);
        shown = edit(d)->text();
        clickOk(d);
    });
    form.findChild<QAction *>(QStringLiteral("mnuFeedDelay"))->trigger();
    QVERIFY(reply.acted);
    QCOMPARE(timer->interval(), shown.toInt());
    QTEST(timer->interval(), "after");
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestDialogs::feedDelayDuringAFeed()
{
    FormFixture f;
    TVempForm &form = f.start();
    child<FeedTimer>(form, "Timer1")->setInterval(9000);
    child<ChangeEdit>(form, "EditNumItems")->setTextCascade(QStringLiteral("5"));
    child<QToolButton>(form, "btnFeed")->click();
    QVERIFY(child<FeedTimer>(form, "Timer1")->isEnabled());
    DialogAnswer<TXScrlDlg> reply([](QDialog &d) { QTest::mouseClick(child<QRadioButton>(d, "PresetA"), Qt::LeftButton); });
    child<QAction>(form, "mnuFeedDelay")->trigger();
    QCOMPARE(child<FeedTimer>(form, "Timer1")->interval(), 500);
    QVERIFY(child<FeedTimer>(form, "Timer1")->isEnabled());
    // The feed goes on at the new pace, not after the old 9 s.
    QTRY_COMPARE_WITH_TIMEOUT(f.clipboard.writes.size(), 2, 3000);
    child<FeedTimer>(form, "Timer1")->setEnabled(false);
}

void TestDialogs::aboutClosesOnlyWithOk_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("mouse") << false;
    QTest::newRow("access key O") << true;
}

void TestDialogs::aboutClosesOnlyWithOk()
{
    QFETCH(bool, byKey);
    FormFixture f;
    TVempForm &form = f.start();
    DialogAnswer<TAboutForm> reply([byKey](QDialog &d) {
        QTest::keyClick(&d, Qt::Key_Escape);
        QTest::keyClick(&d, Qt::Key_Return);
        QVERIFY(d.isVisible());
        if (byKey)
            QTest::keyClick(&d, Qt::Key_O, Qt::AltModifier);
        else
            QTest::mouseClick(child<QPushButton>(d, "btnExit"), Qt::LeftButton);
    });
    child<QAction>(form, "mnuAbout")->trigger();
    QVERIFY(reply.acted);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(form.findChildren<QDialog *>().isEmpty());
}

void TestDialogs::aboutLooks()
{
    TAboutForm about;
    DialogAnswer<TAboutForm> reply([](QDialog &d) {
        QVERIFY(d.rect().contains(shownControls(d)));
        QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(d.frameGeometry().center(), d.screen()->geometry().center());
        auto *icon = child<QLabel>(d, "ImageIcon");
        auto *text = child<QLabel>(d, "About");
        // The whole picture and the whole text show.
        QVERIFY(icon->width() >= icon->pixmap().width() && icon->height() >= icon->pixmap().height());
        QVERIFY(text->width() >= text->sizeHint().width() && text->height() >= text->sizeHint().height());
        QCOMPARE(d.children().indexOf(icon) > d.children().indexOf(text), true);
        QVERIFY(text->text().contains(u"Serimo 1.0"));
        QVERIFY(text->text().contains(u"Brellix"));
        QCOMPARE(text->accessibleName(), text->text());

        const QImage image = d.grab().toImage();
        const QColor light = d.palette().color(QPalette::Light);
        const QColor dark = d.palette().color(QPalette::Dark);
        const QColor face = d.palette().color(QPalette::Button);
        QVERIFY(light != face && dark != face);
        const int w = d.width(), h = d.height();
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(image.pixelColor(w / 2, i).rgb(), light.rgb());
            QCOMPARE(image.pixelColor(i, h / 2).rgb(), light.rgb());
            QCOMPARE(image.pixelColor(w - 1 - i, h / 2).rgb(), dark.rgb());
            QCOMPARE(image.pixelColor(w / 2, h - 1 - i).rgb(), dark.rgb());
        }
        QCOMPARE(image.pixelColor(4, h / 2).rgb(), face.rgb());
        QCOMPARE(image.pixelColor(w - 5, h / 2).rgb(), face.rgb());
        QTest::mouseClick(child<QPushButton>(d, "btnExit"), Qt::LeftButton);
    });
    about.exec();
    QVERIFY(reply.acted);
}

// Typed box after box in Tab's order, taken with Enter, stored beside the
// record for the URL box's site, offered again after a restart for that site
// only and left alone by Esc. A cookies file that cannot be read is said at
// once.
void TestDialogs::downloadOptionsKeptAcrossRestart()
{
    FormFixture f;
    f.start();
    f.choosers.answer = QStringLiteral("/nowhere/cookies.txt");
    QTimer::singleShot(0, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QTimer::singleShot(5000, dialog, [dialog] { dialog->close(); }); // a test that fails, not one that hangs
        for (const char *text : {"http://g/", "Agent 1", "", "", "2.5", "8"}) {
            QWidget *box = dialog->focusWidget();
            if (qobject_cast<QPushButton *>(box))
                QTest::keyClick(box, Qt::Key_Space); // Browse...
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, text);
            QTest::keyClick(box, Qt::Key_Tab);
        }
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    child<QAction>(*f.form, "mnuDownloadOptions")->trigger();
    QCOMPARE(f.choosers.openedAt, QStringList{f.files.homeDirectory()});
    QCOMPARE(f.boxes.texts(), QStringList{"cannot read the cookies file '/nowhere/cookies.txt': No such file or directory"});
    QVERIFY(f.form->close());
    QCOMPARE(f.settings.values.value("DownloadOptionsBySite"),
             QVariant("{\"www.example.com\":{\"connections\":8,\"cookiesFile\":\"/nowhere/cookies.txt\",\"referer\":\"http://g/\","
                      "\"userAgent\":\"Agent 1\",\"waitMs\":2500}}"));
    QCOMPARE(f.settings.values.value("Serimo_099").toByteArray().size(), 28);

    // Offered for the URL box's site only; typed is typed into the first box,
    // then Return takes it (with the whole domain ticked) or Esc leaves it.
    const auto ask = [](FormFixture &form, const QString &typed, bool wholeDomain) {
        QStringList offered;
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QTimer::singleShot(5000, dialog, [dialog] { dialog->close(); });
            offered.append(child<QLabel>(*dialog, "lblSite")->text());
            for (const char *name : {"editReferer", "editUserAgent", "editCookiesFile"})
                offered.append(child<QLineEdit>(*dialog, name)->text());
            offered.append(child<QDoubleSpinBox>(*dialog, "editWait")->text());
            child<QCheckBox>(*dialog, "chkWholeDomain")->setChecked(wholeDomain);
            QTest::keyClicks(dialog->focusWidget(), typed);
            QTest::keyClick(dialog->focusWidget(), wholeDomain ? Qt::Key_Return : Qt::Key_Escape);
        });
        child<QAction>(*form.form, "mnuDownloadOptions")->trigger();
        return offered;
    };
    FormFixture g;
    g.settings.values = f.settings.values;
    g.start();
    QCOMPARE(ask(g, "http://other/", false),
             (QStringList{"For www.example.com", "http://g/", "Agent 1", "/nowhere/cookies.txt", "2.5"}));
    g.typeUrl(QStringLiteral("http://img.other.net/p1.jpg"));
    QCOMPARE(ask(g, "http://o/", true), (QStringList{"For img.other.net", "", "", "", "0.0"}));
    g.typeUrl(QStringLiteral("http://cdn.other.net/p1.jpg"));
    QCOMPARE(ask(g, "", false).mid(0, 2), (QStringList{"For cdn.other.net", "http://o/"}));
    QVERIFY(g.form->close());
    QCOMPARE(g.settings.values.value("DownloadOptionsBySite"),
             QVariant("{\".other.net\":{\"referer\":\"http://o/\"},\"www.example.com\":{\"connections\":8,\"cookiesFile\":\"/nowhere/cookies.txt\","
                      "\"referer\":\"http://g/\",\"userAgent\":\"Agent 1\",\"waitMs\":2500}}"));

    // Options kept for every site before go to the last address's site.
    FormFixture h;
    h.settings.values = {{"LastURL", "http://a.example.org/p1.jpg"}, {"Referer", "http://a/"},
                         {"Serimo_099", f.settings.values.value("Serimo_099")}};
    h.start();
    QVERIFY(h.form->close());
    QCOMPARE(h.settings.values.value("DownloadOptionsBySite"), QVariant("{\"a.example.org\":{\"referer\":\"http://a/\"}}"));
    QVERIFY(!h.settings.values.contains("Referer"));
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
