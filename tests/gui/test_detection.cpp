#include "form_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {
const QString kHost = QStringLiteral("http://www.example.com");
}

class TestDetection : public QObject
{
    Q_OBJECT
private slots:
    void startsAsANewUserSeesIt();
    void noDetectionBeforeFirstActivation();
    void secondActivationChangesNothing();
    void editedUrlIsRedetected_data();
    void editedUrlIsRedetected();
    void sameWidthKeepsItemsNewAddressShowsRange();
    void typedItemsSurviveAWidthChange();
    void handChangedDigits_data();
    void handChangedDigits();
    void typedTextIsKept_data();
    void typedTextIsKept();
    void alphaIgnoresShortTexts();
    void digitsNotANumberIsReportedByEveryReaderUntilFixed();
    void itemsBoxKeepsWhatItsUpDownAllows_data();
    void itemsBoxKeepsWhatItsUpDownAllows();
    void itemsArrowsReachTheMaximum();
    void digitsArrowsStepTheWidth();
    void hiddenUrlBoxStillActivates();
    void statusPanelsFollowTheirText();
    void everyControlHasAnAccessibleName();
    void altIPressesTheHiddenButton();
};

void TestDetection::startsAsANewUserSeesIt()
{
    FormFixture f;
    TVempForm &form = f.start();
    QCOMPARE(form.windowTitle(), QStringLiteral("Serimo 1.0"));
    QCOMPARE(f.url(), kHost + "/members/gallery/photos/98/pic001.jpg");
    QCOMPARE(f.panel(0), QStringLiteral("../pic001.jpg"));
    QCOMPARE(f.panel(1), QStringLiteral("../pic999.jpg"));
    QCOMPARE(f.digits(), QStringLiteral("3"));
    QCOMPARE(f.items(), QStringLiteral("1"));
    QCOMPARE(child<QLabel>(form, "LabelDigits")->text(), QStringLiteral("Digits "));
    QVERIFY(child<ChangeEdit>(form, "Edit1")->hasFocus());
    QCOMPARE(child<ChangeEdit>(form, "Edit1")->cursorPosition(), f.url().size() - 5);
    QVERIFY(!child<ChangeEdit>(form, "Edit1")->hasSelectedText());
    QVERIFY(f.boxes.shown.isEmpty());
    const QList<QToolButton *> buttons =
        child<QFrame>(form, "ToolBar1")->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(buttons.size(), 8);
    for (const QToolButton *button : buttons)
        QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
}

void TestDetection::noDetectionBeforeFirstActivation()
{
    FormFixture f;
    TVempForm &form = f.create();
    child<ChangeEdit>(form, "Edit1")->setTextCascade(kHost + "/img7.gif");
    f.typeUrl(QString());
    QCOMPARE(f.digits(), QStringLiteral("1"));
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.panel(1), QStringLiteral("Ready."));
}

void TestDetection::secondActivationChangesNothing()
{
    FormFixture f;
    TVempForm &form = f.start();
    child<ChangeEdit>(form, "EditDigits")->setText(QStringLiteral("2")); // a typed width holds
    const QString panel1 = f.panel(1);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(f.digits(), QStringLiteral("2"));
    QCOMPARE(f.panel(1), panel1);
}

void TestDetection::editedUrlIsRedetected_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("digitsMode");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("panel0");
    QTest::addColumn<QString>("panel1");
    QTest::addColumn<int>("docPosition");
    QTest::addColumn<QString>("caption");
    QTest::newRow("img7") << kHost + "/img7.gif" << true << "1" << "../img7.gif" << "../img9.gif" << 0 << "Digits ";
    QTest::newRow("photo12") << kHost + "/2001/photo12.jpg" << true << "2" << "../photo12.jpg" << "../photo99.jpg"
                             << 0 << "Digits ";
    QTest::newRow("seven digits") << kHost + "/a/1234567.jpg" << true << "7" << "../1234567.jpg"
                                  << "../9999999.jpg" << 0 << "Digits ";
    QTest::newRow("escape no part of it") << kHost + "/My%20Album/pic%2099.jpg" << true << "2"
                                          << "../pic%2099.jpg" << "../pic%2099.jpg" << 0 << "Digits ";
    // A letter series shows its own short form, not the last address's.
    QTest::newRow("letter b") << kHost + "/picb.jpg" << false << "1" << "../picb.jpg" << "../pic999.jpg" << 98
                              << "Alpha";
    QTest::newRow("html") << kHost + "/gallery/index.html" << false << "1" << "../index.html" << "../pic999.jpg"
                          << 120 << "Alpha";
    QTest::newRow("folder letter") << kHost + "/gallery/c/" << false << "1" << "../c/" << "../pic999.jpg" << 99
                                   << "Alpha";
    QTest::newRow("not a url") << "12.jpg" << true << "2" << ".." << ".." << 0 << "Digits ";
}

void TestDetection::editedUrlIsRedetected()
{
    QFETCH(QString, url);
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(url);
    QCOMPARE(f.url(), url);
    QTEST(f.digitsMode(), "digitsMode");
    QCOMPARE(child<ChangeEdit>(form, "EditDigits")->isEnabled(), f.digitsMode());
    QTEST(f.digits(), "digits");
    QTEST(f.panel(0), "panel0");
    QTEST(f.panel(1), "panel1");
    QTEST(child<QLabel>(form, "LabelDigits")->text(), "caption");
    QCOMPARE(child<QLabel>(form, "LabelDigits")->accessibleName(), child<QLabel>(form, "LabelDigits")->text().trimmed());
    QFETCH(int, docPosition);
    if (!f.digitsMode())
        QCOMPARE(child<UpDown>(form, "UpDownDoc")->position(), docPosition);
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestDetection::sameWidthKeepsItemsNewAddressShowsRange()
{
    FormFixture f;
    TVempForm &form = f.start();
    for (int i = 0; i < 24; ++i)
        QTest::mouseClick(child<UpDown>(form, "UpDownItems")->nextButton(), Qt::LeftButton);
    QCOMPARE(f.items(), QStringLiteral("25"));
    f.typeUrl(kHost + "/x/img123.png");
    QCOMPARE(f.items(), QStringLiteral("25"));
    QCOMPARE(f.panel(0), QStringLiteral("../img123.png"));
    QCOMPARE(f.panel(1), QStringLiteral("../img999.png"));
    f.typeUrl(kHost + "/x/img124.png");
    QCOMPARE(f.panel(1), QStringLiteral("../img999.png"));
    f.typeUrl(kHost + "/x/img12.png");
    QCOMPARE(f.items(), QStringLiteral("1"));
    QCOMPARE(f.panel(1), QStringLiteral("../img99.png"));
}

void TestDetection::typedItemsSurviveAWidthChange()
{
    // Typing leaves the up-down's last known position at 1, so the reset to 1
    // that a width change asks for is no change at all.
    FormFixture f;
    TVempForm &form = f.start();
    child<ChangeEdit>(form, "EditNumItems")->setText(QStringLiteral("25"));
    f.typeUrl(kHost + "/x/img12.png");
    QCOMPARE(f.digits(), QStringLiteral("2"));
    QCOMPARE(f.items(), QStringLiteral("25"));
}

void TestDetection::handChangedDigits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("panel1");
    QTest::addColumn<QString>("warning");
    QTest::newRow("1") << "1" << 9 << "../pic009.jpg" << "";
    QTest::newRow("2") << "2" << 99 << "../pic099.jpg" << "";
    QTest::newRow("4 goes back to 3") << "4" << 999 << "../pic999.jpg" << "Change digits to match series.";
    QTest::newRow("long text keeps first") << "27" << 99 << "../pic099.jpg" << "";
    QTest::newRow("12 taken whole, goes back to 3") << "12" << 999 << "../pic999.jpg" << "Change digits to match series.";
}

void TestDetection::handChangedDigits()
{
    QFETCH(QString, typed);
    QFETCH(int, maximum);
    QFETCH(QString, warning);
    FormFixture f;
    TVempForm &form = f.start();
    for (int i = 0; i < 6; ++i)
        QTest::mouseClick(child<UpDown>(form, "UpDownItems")->nextButton(), Qt::LeftButton);
    QCOMPARE(f.items(), QStringLiteral("7"));
    child<ChangeEdit>(form, "EditDigits")->selectAll();
    child<ChangeEdit>(form, "EditDigits")->insert(typed);
    QCOMPARE(f.items(), QStringLiteral("1"));
    QTEST(f.panel(1), "panel1");
    if (warning.isEmpty()) {
        QVERIFY(f.boxes.shown.isEmpty());
        QCOMPARE(child<UpDown>(form, "UpDownItems")->maximum(), maximum);
        QCOMPARE(f.digits(), typed.left(1));
    } else {
        QCOMPARE(f.boxes.texts(), QStringList{warning});
        QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Warning"));
        QCOMPARE(f.boxes.shown[0].icon, MessageBoxes::Icon::Warning);
        QCOMPARE(f.url(), kHost + "/members/gallery/photos/98/pic001.jpg");
        QCOMPARE(f.digits(), QStringLiteral("3"));
        QCOMPARE(f.panel(0), QStringLiteral("../pic001.jpg"));
        QCOMPARE(child<UpDown>(form, "UpDownItems")->maximum(), maximum);
    }
}

void TestDetection::typedTextIsKept_data()
{
    QTest::addColumn<QString>("start"); // empty: the example URL
    QTest::addColumn<QString>("typed"); // over the whole text; "\b" is Backspace
    QTest::newRow("cleared") << "" << "\b";
    QTest::newRow("first key over the URL") << "" << "h";
    QTest::newRow("host alone") << "" << kHost + "/";
    QTest::newRow("host alone after a letter") << kHost + "/picb.jpg" << kHost + "/";
}

// What the user types stays; the status line says why it cannot step, and a
// step refuses until it can.
void TestDetection::typedTextIsKept()
{
    QFETCH(QString, start);
    QFETCH(QString, typed);
    FormFixture f;
    TVempForm &form = f.start();
    if (!start.isEmpty())
        f.typeUrl(start);
    child<FeedTimer>(form, "Timer1")->setEnabled(true);
    f.cursor.isBusy = true;
    child<ChangeEdit>(form, "Edit1")->selectAll();
    QTest::keyClicks(child<ChangeEdit>(form, "Edit1"), typed);
    const QString url = typed == "\b" ? QString() : typed;
    QCOMPARE(f.url(), url);
    QCOMPARE(f.panel(1), QStringLiteral("Alphabetical series URL removed."));
    QVERIFY(f.boxes.shown.isEmpty() && !child<FeedTimer>(form, "Timer1")->isEnabled() && !f.cursor.isBusy);
    QTest::mouseClick(child<QToolButton>(form, "btnClipboard2"), Qt::LeftButton);
    QCOMPARE(f.url(), url);
    QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Change digits to match series.")});
    QVERIFY(f.clipboard.writes.isEmpty());
    f.typeUrl(kHost + "/img7.gif");
    QCOMPARE(f.panel(1), QStringLiteral("../img9.gif"));
}

void TestDetection::alphaIgnoresShortTexts()
{
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(kHost + "/picb.jpg");
    QVERIFY(!f.digitsMode());
    f.typeUrl(QString());
    f.typeUrl(QStringLiteral("a.jpg"));
    QVERIFY(!f.digitsMode());
    QCOMPARE(child<UpDown>(form, "UpDownDoc")->position(), 98);
    QVERIFY(f.boxes.shown.isEmpty());
    f.typeUrl(kHost + "/pic5.jpg");
    QVERIFY(f.digitsMode());
    QCOMPARE(child<QLabel>(form, "LabelDigits")->text(), QStringLiteral("Digits"));
    QCOMPARE(f.digits(), QStringLiteral("1"));
    QCOMPARE(f.panel(0), QStringLiteral("../pic5.jpg"));
}

void TestDetection::digitsNotANumberIsReportedByEveryReaderUntilFixed()
{
    FormFixture f;
    TVempForm &form = f.start();
    child<ChangeEdit>(form, "EditDigits")->selectAll();
    QTest::keyClick(child<ChangeEdit>(form, "EditDigits"), Qt::Key_X);
    QCOMPARE(f.digits(), QStringLiteral("x"));
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Serimo"));
    QCOMPARE(f.boxes.shown[0].text, QStringLiteral("'x' is not a valid integer value."));
    QCOMPARE(f.boxes.shown[0].icon, MessageBoxes::Icon::Error);

    // Every reader of the width raises the same error until it is a number.
    const QString url = f.url();
    QTest::mouseClick(child<QToolButton>(form, "btnClipboard2"), Qt::LeftButton);
    QCOMPARE(f.boxes.shown.size(), 2);
    QCOMPARE(f.boxes.shown[1].text, QStringLiteral("'x' is not a valid integer value."));
    QCOMPARE(f.url(), url);
    QVERIFY(f.clipboard.writes.isEmpty());
}

void TestDetection::itemsBoxKeepsWhatItsUpDownAllows_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("w2 123") << kHost + "/p12.jpg" << "123" << "12";
    QTest::newRow("w1 45") << kHost + "/p1.jpg" << "45" << "4";
    QTest::newRow("w2 -5") << kHost + "/p12.jpg" << "-5" << "1";
    QTest::newRow("w3 999") << kHost + "/p123.jpg" << "999" << "999";
    QTest::newRow("w3 1000") << kHost + "/p123.jpg" << "1000" << "100";
    QTest::newRow("zero stays") << kHost + "/p12.jpg" << "0" << "0";
}

void TestDetection::itemsBoxKeepsWhatItsUpDownAllows()
{
    QFETCH(QString, url);
    QFETCH(QString, typed);
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(url);
    child<ChangeEdit>(form, "EditNumItems")->selectAll();
    child<ChangeEdit>(form, "EditNumItems")->insert(typed);
    QTEST(f.items(), "kept");
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestDetection::itemsArrowsReachTheMaximum()
{
    FormFixture f;
    TVempForm &form = f.start();
    child<ChangeEdit>(form, "EditNumItems")->setText(QStringLiteral("998"));
    child<ChangeEdit>(form, "EditNumItems")->setFocus();
    QTest::keyClick(child<ChangeEdit>(form, "EditNumItems"), Qt::Key_Up);
    QCOMPARE(f.items(), QStringLiteral("999"));
    QTest::mouseClick(child<UpDown>(form, "UpDownItems")->nextButton(), Qt::LeftButton);
    QCOMPARE(f.items(), QStringLiteral("999"));
    QTest::keyClick(child<ChangeEdit>(form, "EditNumItems"), Qt::Key_Down);
    QCOMPARE(f.items(), QStringLiteral("998"));
}

void TestDetection::digitsArrowsStepTheWidth()
{
    FormFixture f;
    TVempForm &form = f.start();
    QTest::mouseClick(child<UpDown>(form, "UpDownDigits")->previousButton(), Qt::LeftButton);
    QCOMPARE(f.digits(), QStringLiteral("2"));
    QCOMPARE(f.panel(1), QStringLiteral("../pic099.jpg"));
    QTest::mouseClick(child<UpDown>(form, "UpDownDigits")->previousButton(), Qt::LeftButton);
    QTest::mouseClick(child<UpDown>(form, "UpDownDigits")->previousButton(), Qt::LeftButton);
    QCOMPARE(f.digits(), QStringLiteral("1"));
    QCOMPARE(child<UpDown>(form, "UpDownItems")->maximum(), 9);
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestDetection::hiddenUrlBoxStillActivates()
{
    FormFixture f;
    QByteArray record(28, '\0');
    record[2] = 1;  // right 256 (bounds 0, 0, 256 x 256)
    record[14] = 1; // bottom 256
    record[21] = 1; // hints on
    record[22] = 1; // text on, URL off
    f.settings.values.insert(QStringLiteral("Serimo_099"), record);
    f.settings.values.insert(QStringLiteral("LastURL"), kHost + "/img7.gif");
    TVempForm &form = f.start();
    QVERIFY(child<QFrame>(form, "Panel_URL")->isHidden());
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.panel(0), QStringLiteral("../img7.gif"));
    child<ChangeEdit>(form, "Edit1")->setTextCascade(kHost + "/img12.gif");
    QCOMPARE(f.digits(), QStringLiteral("2"));
}

void TestDetection::statusPanelsFollowTheirText()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QLabel *panel1 = child<StatusLine>(form, "StatusBar")->panel(1);
    const QString message = QStringLiteral("Sending 12 of 345 and a rather long tail");
    child<StatusLine>(form, "StatusBar")->setPanelText(1, message);
    QCOMPARE(f.panel(1), message);
    QCOMPARE(panel1->width(), panel1->fontMetrics().horizontalAdvance(message) + 12);
    // The end of a run of no items.
    child<ChangeEdit>(form, "EditNumItems")->setTextCascade(QStringLiteral("0"));
    child<QToolButton>(form, "btnFeed")->click();
    const int readyCalls = f.cursor.readyCalls;
    f.tick();
    QCOMPARE(f.panel(1), QStringLiteral("Ready."));
    QCOMPARE(panel1->width(), panel1->fontMetrics().horizontalAdvance(QStringLiteral("Ready.")) + 12);
    QCOMPARE(f.cursor.readyCalls, readyCalls + 1);
}

void TestDetection::everyControlHasAnAccessibleName()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QList<QWidget *> controls = form.findChildren<QWidget *>();
    int named = 0;
    for (QWidget *w : controls) {
        const bool isControl = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
                               || qobject_cast<UpDown *>(w);
        if (!isControl)
            continue;
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName() + " has no accessible name"));
        ++named;
    }
    QVERIFY(named >= 20);
    QCOMPARE(child<ChangeEdit>(form, "Edit1")->accessibleName(), QStringLiteral("URL"));
    QCOMPARE(child<ChangeEdit>(form, "EditDigits")->accessibleName(), QStringLiteral("Digits"));
    QCOMPARE(child<ChangeEdit>(form, "EditNumItems")->accessibleName(), QStringLiteral("Items"));
    QCOMPARE(child<UpDown>(form, "UpDownDoc")->accessibleName(), QStringLiteral("Decrement/increment URL"));
    QCOMPARE(child<QToolButton>(form, "btnClipboard2")->accessibleName(), QStringLiteral("Next"));
    QStringList menu;
    for (const QAction *a : child<QMenu>(form, "PopupMenu1")->actions())
        if (!a->isSeparator())
            menu.append(a->text());
    QCOMPARE(menu, (QStringList{"Stay on &top", "Show &URL", "Show &hints", "Show text", "Feed &delay",
                                "&Find the end", "Down&load run...", "Copy &run", "&Save run list...", "Send run to &KGet",
                                "Send run to aria&2...", "Download &options...", "Normal view", "Toolbar view", "&About", "&Help", "&Web site"}));
}

void TestDetection::altIPressesTheHiddenButton()
{
    FormFixture f;
    TVempForm &form = f.start();
    QTest::keyClick(child<ChangeEdit>(form, "Edit1"), Qt::Key_I, Qt::AltModifier);
    QTRY_COMPARE(f.url(), kHost + "/members/gallery/photos/98/pic002.jpg");
    QCOMPARE(f.clipboard.writes, QStringList{f.url()});
}

QTEST_MAIN(TestDetection)
#include "test_detection.moc"
