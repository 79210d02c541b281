#include "form_fixture.h"
#include "series/series_run.h"
#include "series/series_text.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QToolButton>

namespace {
const QString kHost = QStringLiteral("http://www.example.com");
}

class TestStepping : public QObject
{
    Q_OBJECT
private slots:
    void digitsSteps_data();
    void digitsSteps();
    void alphaSteps_data();
    void alphaSteps();
    void runIsWhatNextGives_data();
    void runIsWhatNextGives();
    void halfOfAPairIsNotStepped();
    void alphaBackReachesDigits();
    void hiddenButtonInAlphaCopiesSameLetter();
    void upDownStepsWithoutClipboard();
    void feedTicks_data();
    void feedTicks();
    void counterNotANumberStopsTheStep();
    void pasteTakesTheClipboard_data();
    void pasteTakesTheClipboard();
    void pasteWithoutTextChangesNothing_data();
    void pasteWithoutTextChangesNothing();
    void pasteAlphaShowsItsShortForm();
    void copyThenPaste();
    void charactersBeyondLatin1SurviveSteps();
    void selectionChoosesTheCounter_data();
    void selectionChoosesTheCounter();
    void choiceIsHeldAndStored();
};

namespace {
// Selects the URL's last `text` by a double click on its last character, or by Shift+Left.
void selectInUrl(ChangeEdit *edit, const QString &text, bool doubleClick)
{
    const qsizetype end = edit->text().lastIndexOf(text) + text.size();
    edit->setCursorPosition(int(end - 1));
    if (doubleClick) {
        QPoint on(edit->width(), edit->height() / 2); // the rightmost point before the character's middle
        while (on.x() > 0 && edit->cursorPositionAt(on) != end - 1)
            on.rx()--;
        QTest::mouseDClick(edit, Qt::LeftButton, {}, on);
    } else {
        edit->setCursorPosition(int(end));
        for (qsizetype i = 0; i < text.size(); ++i)
            QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
    }
}
} // namespace

void TestStepping::digitsSteps_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("handWidth");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("panel0");
    QTest::newRow("001 next") << "/pic001.jpg" << "" << "Next" << "/pic002.jpg" << "3" << "../pic002.jpg";
    QTest::newRow("9 next widens") << "/pic9.jpg" << "" << "Next" << "/pic10.jpg" << "2" << "../pic10.jpg";
    QTest::newRow("99 next widens") << "/pic99.jpg" << "" << "Next" << "/pic100.jpg" << "3" << "../pic100.jpg";
    QTest::newRow("999 next widens") << "/pic999.jpg" << "" << "Next" << "/pic1000.jpg" << "4" << "../pic1000.jpg";
    QTest::newRow("9999 next grows") << "/pic9999.jpg" << "" << "Next" << "/pic10000.jpg" << "5" << "../pic10000.jpg";
    QTest::newRow("0999 next") << "/pic0999.jpg" << "" << "Next" << "/pic1000.jpg" << "4" << "../pic1000.jpg";
    QTest::newRow("10000 back narrows") << "/pic10000.jpg" << "" << "Back" << "/pic9999.jpg" << "4" << "../pic9999.jpg";
    QTest::newRow("10 back narrows") << "/pic10.jpg" << "" << "Back" << "/pic9.jpg" << "1" << "../pic9.jpg";
    QTest::newRow("1000 back narrows") << "/pic1000.jpg" << "" << "Back" << "/pic999.jpg" << "3" << "../pic999.jpg";
    QTest::newRow("010 back keeps width") << "/pic010.jpg" << "" << "Back" << "/pic009.jpg" << "3" << "../pic009.jpg";
    QTest::newRow("000 back floors") << "/pic000.jpg" << "" << "Back" << "/pic000.jpg" << "3" << "../pic000.jpg";
    QTest::newRow("19 at hand width 1") << "/pic19.jpg" << "1" << "Next" << "/pic110.jpg" << "3" << "../pic110.jpg";
    QTest::newRow("999999 grows") << "/p999999.jpg" << "" << "Next" << "/p1000000.jpg" << "7" << "../p1000000.jpg";
    QTest::newRow("escape kept") << "/My%20Album/pic%2099.jpg" << "" << "Next" << "/My%20Album/pic%20100.jpg" << "3"
                                 << "../pic%20100.jpg";
    QTest::newRow("escape kept back") << "/pic%20100.jpg" << "" << "Back" << "/pic%2099.jpg" << "2" << "../pic%2099.jpg";
    QTest::newRow("query before a letter") << "/archive/index.php?id=0042&lang=en" << "" << "Next"
                                           << "/archive/index.php?id=0043&lang=en" << "4" << "../index.php?id=0043&lang=en";
    QTest::newRow("alt+i steps") << "/pic001.jpg" << "" << "Alt+I" << "/pic002.jpg" << "3" << "../pic002.jpg";
    QTest::newRow("10 digits back narrows") << "/1000000000.jpg" << "" << "Back" << "/999999999.jpg" << "9" << "../999999999.jpg";
    QTest::newRow("13 digits back") << "/1700000001000.jpg" << "" << "Back" << "/1700000000999.jpg" << "13"
                                    << "../1700000000999.jpg";
    QTest::newRow("18 digits back") << "/999999999999999999.jpg" << "" << "Back" << "/999999999999999998.jpg" << "18"
                                    << "../999999999999999998.jpg";
    QTest::newRow("13 digits at hand width 3") << "/1700000000999.jpg" << "3" << "Next" << "/17000000001000.jpg" << "14"
                                               << "../17000000001000.jpg";
    const QString tooLong = QStringLiteral("The number has more than 18 digits: it cannot be stepped.");
    QTest::newRow("19 digits refused") << "/p1234567890123456789.jpg" << "" << "Next" << "" << "" << tooLong;
    // Digits 1 on eighteen nines: the carry would make nineteen digits.
    QTest::newRow("18 nines at hand width 1 never wrap") << "/p999999999999999999.jpg" << "1" << "Next" << "" << "" << tooLong;
}

void TestStepping::digitsSteps()
{
    QFETCH(QString, before);
    QFETCH(QString, handWidth);
    QFETCH(QString, button);
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(kHost + before);
    if (!handWidth.isEmpty()) {
        child<ChangeEdit>(form, "EditDigits")->selectAll();
        child<ChangeEdit>(form, "EditDigits")->insert(handWidth);
    }
    if (button == "Alt+I")
        child<QPushButton>(form, "btnClipboard")->click();
    else
        QTest::mouseClick(button == "Next" ? child<QToolButton>(form, "btnClipboard2") : child<QToolButton>(form, "btnClipboardDec"), Qt::LeftButton);
    QFETCH(QString, panel0);
    if (!panel0.startsWith(u"..")) { // refused: the warning, and nothing changes
        QCOMPARE(f.boxes.texts(), QStringList{panel0});
        QVERIFY(f.url() == kHost + before && f.clipboard.writes.isEmpty());
        return;
    }
    QFETCH(QString, after);
    QCOMPARE(f.url(), kHost + after);
    QTEST(f.digits(), "width");
    QTEST(f.panel(0), "panel0");
    QCOMPARE(f.clipboard.writes, QStringList{kHost + after});
    // Just before the counter's last digit.
    QCOMPARE(child<ChangeEdit>(form, "Edit1")->cursorPosition(), counterEnd(f.url()) - 1);
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestStepping::runIsWhatNextGives_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("handWidth");
    QTest::addColumn<int>("count");
    QTest::newRow("digits") << "/pic001.jpg" << "" << 4;
    QTest::newRow("widens at 9 and 19") << "/pic8.jpg" << "" << 13;
    QTest::newRow("widens at 99") << "/pic98.jpg" << "" << 3;
    QTest::newRow("widens at 999") << "/pic998.png" << "" << 3;
    QTest::newRow("hand width 1") << "/pic19.jpg" << "1" << 3;
    QTest::newRow("alpha") << "/picy.jpg" << "" << 4;
    QTest::newRow("alpha passes over 0") << QStringLiteral("/pic\u00fe.gif") << "" << 3;
    QTest::newRow("alpha into digits") << "/pic..jpg" << "" << 13;
    QTest::newRow(".jpeg") << "/pic009.jpeg" << "" << 3;
    QTest::newRow("query") << "/photo9.jpg?w=800" << "" << 3;
    QTest::newRow("bare number") << "/page/9" << "" << 3;
    QTest::newRow(".html letter") << "/gallery/index.html" << "" << 3;
    QTest::newRow("letter after digits stops at z") << "/pic7y.jpg" << "" << 4;
    QTest::newRow("folder letter stops at z") << "/section-y/" << "" << 4;
    QTest::newRow("grows past the nines") << "/DSC_9998.JPG" << "" << 3;
    QTest::newRow("escape before the number") << "/pic%2098.jpg" << "" << 4;
    QTest::newRow("query before a letter") << "/index.php?id=0098&lang=en" << "" << 4;
    QTest::newRow("grows to ten digits") << "/p999999998.jpg" << "" << 3;
    QTest::newRow("stops at the longest number") << "/p999999999999999998.jpg" << "" << 3;
}

// The run without the window is the run Next steps through in it.
void TestStepping::runIsWhatNextGives()
{
    QFETCH(QString, start);
    QFETCH(QString, handWidth);
    QFETCH(int, count);
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(kHost + start);
    if (!handWidth.isEmpty()) {
        child<ChangeEdit>(form, "EditDigits")->selectAll();
        child<ChangeEdit>(form, "EditDigits")->insert(handWidth);
    }
    const QStringList run = seriesRun(f.url(), f.digitsMode() ? SeriesMode::Digits : SeriesMode::Alpha,
                                      f.digits().toInt(), count);
    QStringList stepped{f.url()};
    // The run ends where Next warns that the series ends.
    for (int k = 1; k < count && f.boxes.shown.isEmpty(); ++k) {
        QTest::mouseClick(child<QToolButton>(form, "btnClipboard2"), Qt::LeftButton);
        if (f.boxes.shown.isEmpty())
            stepped.append(f.url());
    }
    QCOMPARE(run, stepped);
    QCOMPARE(f.clipboard.writes, stepped.mid(1));
    const qsizetype tail = stepped.front().size() - counterEnd(stepped.front());
    QCOMPARE(child<ChangeEdit>(form, "Edit1")->cursorPosition(), f.url().size() - tail - 1);
}

void TestStepping::alphaSteps_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("next");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("panel0");
    QTest::newRow("b next") << "/picb.jpg" << true << "/picc.jpg" << "..c.jpg";
    QTest::newRow("z next stops") << "/picz.jpg" << true << "/picz.jpg" << "The series of letters ends at z.";
    QTest::newRow("Z next stops") << "/gallery/Z/" << true << "/gallery/Z/" << "The series of letters ends at Z.";
    QTest::newRow("a back stops") << "/pica.jpg" << false << "/pica.jpg" << "The series of letters ends at a.";
    QTest::newRow("A back stops") << "/picA.jpg" << false << "/picA.jpg" << "The series of letters ends at A.";
    QTest::newRow("y next") << "/gallery/y/" << true << "/gallery/z/" << "..z/";
    QTest::newRow("{ next as before") << "/pic{.jpg" << true << "/pic|.jpg" << "..|.jpg";
    QTest::newRow("255 next passes over 0") << QStringLiteral("/pic\u00ff.jpg") << true
                                            << QStringLiteral("/pic\u0001.jpg") << QStringLiteral("..\u0001.jpg");
    QTest::newRow("1 back passes over 0") << QStringLiteral("/pic\u0001.jpg") << false
                                          << QStringLiteral("/pic\u00ff.jpg") << QStringLiteral("..\u00ff.jpg");
    QTest::newRow("beyond 255 by whole letters") << QStringLiteral("/pic\u0109.jpg") << true
                                                 << QStringLiteral("/pic\u010a.jpg") << QStringLiteral("..\u010a.jpg");
    QTest::newRow("256 back to 255") << QStringLiteral("/pic\u0100.jpg") << false
                                     << QStringLiteral("/pic\u00ff.jpg") << QStringLiteral("..\u00ff.jpg");
}

void TestStepping::alphaSteps()
{
    QFETCH(QString, before);
    QFETCH(bool, next);
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(kHost + before);
    QVERIFY(!f.digitsMode());
    const int position = child<UpDown>(form, "UpDownDoc")->position();
    QTest::mouseClick(next ? child<QToolButton>(form, "btnClipboard2") : child<QToolButton>(form, "btnClipboardDec"), Qt::LeftButton);
    QFETCH(QString, after);
    QCOMPARE(f.url(), kHost + after);
    QVERIFY(!f.digitsMode());
    QFETCH(QString, panel0); // or the warning of a step that cannot be made
    if (after == before) {
        QCOMPARE(f.boxes.texts(), QStringList{panel0});
        QVERIFY(f.clipboard.writes.isEmpty());
        // The up-down's own arrow stops there as well.
        auto *upDown = child<UpDown>(form, "UpDownDoc");
        QTest::mouseClick(next ? upDown->nextButton() : upDown->previousButton(), Qt::LeftButton);
        QCOMPARE(f.url(), kHost + after);
        QCOMPARE(upDown->position(), position);
        return;
    }
    QCOMPARE(f.panel(0), panel0);
    QCOMPARE(f.clipboard.writes, QStringList{kHost + after});
}

void TestStepping::halfOfAPairIsNotStepped()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QString url = kHost + QString::fromUtf8("/pic\xf0\x9f\x98\x80.jpg");
    f.typeUrl(url);
    QTest::mouseClick(child<QToolButton>(form, "btnClipboard2"), Qt::LeftButton);
    QCOMPARE(f.url(), url);
    QCOMPARE(f.boxes.texts(), QStringList{"The character before the extension cannot be stepped."});
    QVERIFY(f.clipboard.writes.isEmpty());
}

void TestStepping::alphaBackReachesDigits()
{
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(kHost + "/pic@.jpg");
    for (int i = 0; i < 6; ++i)
        QTest::mouseClick(child<QToolButton>(form, "btnClipboardDec"), Qt::LeftButton);
    QCOMPARE(f.url(), kHost + "/pic:.jpg");
    QVERIFY(!f.digitsMode());
    QTest::mouseClick(child<QToolButton>(form, "btnClipboardDec"), Qt::LeftButton);
    QCOMPARE(f.url(), kHost + "/pic9.jpg");
    QVERIFY(f.digitsMode());
    QCOMPARE(f.digits(), QStringLiteral("1"));
    QCOMPARE(child<QLabel>(form, "LabelDigits")->text(), QStringLiteral("Digits"));
    QCOMPARE(f.panel(0), QStringLiteral("..9.jpg"));
}

void TestStepping::hiddenButtonInAlphaCopiesSameLetter()
{
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(kHost + "/picq.jpg");
    child<QPushButton>(form, "btnClipboard")->click();
    QCOMPARE(f.url(), kHost + "/picq.jpg");
    QCOMPARE(f.clipboard.writes, QStringList{kHost + "/picq.jpg"});
    QCOMPARE(f.panel(0), QStringLiteral("..q.jpg"));
}

void TestStepping::upDownStepsWithoutClipboard()
{
    FormFixture f;
    TVempForm &form = f.start();
    QTest::mouseClick(child<UpDown>(form, "UpDownDoc")->nextButton(), Qt::LeftButton);
    QTest::mouseClick(child<UpDown>(form, "UpDownDoc")->nextButton(), Qt::LeftButton);
    QCOMPARE(f.url(), kHost + "/members/gallery/photos/98/pic003.jpg");
    QTest::mouseClick(child<UpDown>(form, "UpDownDoc")->previousButton(), Qt::LeftButton);
    QCOMPARE(f.url(), kHost + "/members/gallery/photos/98/pic002.jpg");
    QCOMPARE(f.panel(0), QStringLiteral("../pic002.jpg"));
    QVERIFY(f.clipboard.writes.isEmpty());
    QCOMPARE(child<ChangeEdit>(form, "Edit1")->cursorPosition(), f.url().size() - 5);

    f.typeUrl(kHost + "/picm.jpg");
    QTest::mouseClick(child<UpDown>(form, "UpDownDoc")->previousButton(), Qt::LeftButton);
    QCOMPARE(f.url(), kHost + "/picl.jpg");
    QTest::mouseClick(child<UpDown>(form, "UpDownDoc")->nextButton(), Qt::LeftButton);
    QTest::mouseClick(child<UpDown>(form, "UpDownDoc")->nextButton(), Qt::LeftButton);
    QCOMPARE(f.url(), kHost + "/picn.jpg");
    QVERIFY(f.clipboard.writes.isEmpty());
}

void TestStepping::feedTicks_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("ticksBefore");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("handedOver");
    QTest::addColumn<QString>("after");
    QTest::newRow("first tick keeps digits") << "/p07.jpg" << 0 << "tick" << QStringList{"/p07.jpg"} << "/p07.jpg";
    QTest::newRow("later tick steps digits") << "/p07.jpg" << 1 << "tick" << QStringList{"/p07.jpg", "/p08.jpg"}
                                             << "/p08.jpg";
    QTest::newRow("first tick keeps letter") << "/pick.jpg" << 0 << "tick" << QStringList{"/pick.jpg"} << "/pick.jpg";
    QTest::newRow("later tick steps letter") << "/pick.jpg" << 1 << "tick" << QStringList{"/pick.jpg", "/picl.jpg"}
                                             << "/picl.jpg";
    QTest::newRow("back during feed, letter") << "/pick.jpg" << 1 << "back"
                                              << QStringList{"/pick.jpg", "/pick.jpg"} << "/pick.jpg";
    QTest::newRow("back during feed, digits") << "/p07.jpg" << 1 << "back" << QStringList{"/p07.jpg", "/p06.jpg"}
                                              << "/p06.jpg";
    // A page of one: its first URL as it was, then one step.
    QTest::newRow("image page, digits") << "/p07.jpg" << 0 << "images" << QStringList{} << "/p08.jpg";
    QTest::newRow("image page, letter") << "/pick.jpg" << 0 << "images" << QStringList{} << "/picl.jpg";
}

void TestStepping::feedTicks()
{
    QFETCH(QString, url);
    QFETCH(int, ticksBefore);
    QFETCH(QString, action);
    QFETCH(QStringList, handedOver);
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(kHost + url);
    auto *timer = child<FeedTimer>(form, "Timer1");
    if (action == "images") {
        child<ChangeEdit>(form, "EditNumItems")->setTextCascade(QStringLiteral("1"));
        child<QToolButton>(form, "btnImages")->click();
    } else {
        timer->setInterval(3'600'000);
        child<ChangeEdit>(form, "EditNumItems")->setTextCascade(QStringLiteral("3"));
        child<QToolButton>(form, "btnFeed")->click();
        for (int i = 0; i < ticksBefore; ++i)
            f.tick();
        if (action == "tick")
            f.tick();
        else
            child<QToolButton>(form, "btnClipboardDec")->click();
    }
    QFETCH(QString, after);
    QCOMPARE(f.url(), kHost + after);
    for (QString &name : handedOver)
        name.prepend(kHost);
    QCOMPARE(f.clipboard.writes, handedOver);
    QCOMPARE(timer->isEnabled(), action != "images");
    QVERIFY(f.boxes.shown.isEmpty());
    timer->setEnabled(false);
}

void TestStepping::counterNotANumberStopsTheStep()
{
    FormFixture f;
    TVempForm &form = f.create(); // not yet active: no detection repairs the URL
    child<ChangeEdit>(form, "Edit1")->setTextCascade(kHost + "/picx.jpg");
    child<FeedTimer>(form, "Timer1")->setEnabled(true);
    f.cursor.isBusy = true;
    child<QToolButton>(form, "btnClipboard2")->click();
    QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Change digits to match series.")});
    QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Warning"));
    QCOMPARE(f.url(), kHost + "/picx.jpg");
    QVERIFY(!child<FeedTimer>(form, "Timer1")->isEnabled());
    QVERIFY(!f.cursor.isBusy);
    QVERIFY(f.clipboard.writes.isEmpty());
}

void TestStepping::pasteTakesTheClipboard_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("digitsMode");
    QTest::addColumn<QString>("digits");
    const QString filler(1023 - 30, QChar(u'a'));
    const QString longUrl = kHost + "/" + filler.left(1023 - kHost.size() - 1 - 12) + "pic00042.jpg";
    QTest::newRow("plain") << kHost + "/pic9.jpg" << kHost + "/pic9.jpg" << true << "1";
    QTest::newRow("longer than 1023") << longUrl + "/tail/more.gif" << longUrl << true << "5";
    QTest::newRow("cut at NUL") << kHost + QStringLiteral("/p12.jpg") + QChar(u'\0') + "junk" << kHost + "/p12.jpg"
                                << true << "2";
    QTest::newRow("alpha") << kHost + "/pict.jpg" << kHost + "/pict.jpg" << false << "1";
    QTest::newRow("trailing line break") << kHost + "/pic9.jpg\n" << kHost + "/pic9.jpg" << true << "1";
    QTest::newRow("blanks, tab and CR LF around") << " \t" + kHost + "/p12.jpg \r\n" << kHost + "/p12.jpg" << true
                                                  << "2";
    QTest::newRow("tab inside kept") << kHost + "/a\tb/p12.jpg" << kHost + "/a\tb/p12.jpg" << true << "2";
    QTest::newRow("blanks before NUL") << kHost + "/p12.jpg \n" + QChar(u'\0') + "junk" << kHost + "/p12.jpg" << true
                                       << "2";
    QTest::newRow("megabytes") << longUrl + QString(4 << 20, u'x') << longUrl << true << "5";
    QTest::newRow("megabytes of blanks first") << QString(4 << 20, u' ') + kHost + "/pic9.jpg" << kHost + "/pic9.jpg"
                                               << true << "1";
    QTest::newRow("letters only") << "abc" << "abc" << false << "1";
    const QString list = kHost + "/p1.jpg\r\n" + kHost + "/p2.jpg\r\n\r\n" + kHost + "/p3.jpg\r\n";
    QTest::newRow("a list") << list << kHost + "/p1.jpg" << true << "1";
    QTest::newRow("blank lines first") << "\n \t\n" + kHost + "/p12.jpg\n" << kHost + "/p12.jpg" << true << "2";
    QTest::newRow("Ctrl+V, a list") << list << kHost + "/p1.jpg" << true << "1";
    QTest::newRow("no counter kept") << kHost + "/" << kHost + "/" << true << "1";
}

void TestStepping::pasteTakesTheClipboard()
{
    QFETCH(QString, clipboard);
    FormFixture f;
    TVempForm &form = f.start();
    f.clipboard.put(clipboard);
    QElapsedTimer timer;
    timer.start();
    if (QByteArray(QTest::currentDataTag()).startsWith("Ctrl+V")) {
        child<ChangeEdit>(form, "Edit1")->selectAll();
        QVERIFY(f.paste("Edit1", "keys"));
    } else {
        QTest::mouseClick(child<QToolButton>(form, "btnPaste"), Qt::LeftButton);
    }
    // Only a hang or work growing faster than the clipboard's text fails this.
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QStringLiteral("Paste took %1 ms").arg(timer.elapsed())));
    QTEST(f.url(), "url");
    QVERIFY(f.url().size() <= 1023);
    QTEST(f.digitsMode(), "digitsMode");
    QTEST(f.digits(), "digits");
    if (QByteArray(QTest::currentDataTag()).endsWith("a list"))
        QCOMPARE(f.whole(), QStringLiteral("Pasted the first line; 2 more lines left out."));
    if (clipboard == kHost + "/")
        QCOMPARE(f.boxes.texts(), QStringList{QStringLiteral("Alphabetical series URL removed.")});
    else
        QVERIFY(f.boxes.shown.isEmpty());
}

void TestStepping::pasteWithoutTextChangesNothing_data()
{
    QTest::addColumn<bool>("ownerAnswers");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("pastedBy");
    QTest::newRow("no text") << true << "No text in clipboard." << "button";
    QTest::newRow("owner silent") << false << "The program that holds the clipboard did not answer." << "button";
    QTest::newRow("Ctrl+V, no text") << true << "" << "keys";
    QTest::newRow("menu, owner silent") << false << "The program that holds the clipboard did not answer." << "menu";
}

void TestStepping::pasteWithoutTextChangesNothing()
{
    QFETCH(bool, ownerAnswers);
    FormFixture f;
    TVempForm &form = f.start();
    if (ownerAnswers)
        f.clipboard.putNonText();
    else
        f.clipboard.put(kHost + "/torn001.jpg");
    f.clipboard.answers = ownerAnswers;
    QFETCH(QString, pastedBy);
    const QString url = f.url();
    if (pastedBy == "button")
        QTest::mouseClick(child<QToolButton>(form, "btnPaste"), Qt::LeftButton);
    else // the menu offers Paste to an owner that did not answer, which Paste then reports
        QVERIFY(f.paste("Edit1", pastedBy));
    QTEST(f.boxes.texts().value(0), "report");
    QCOMPARE(f.boxes.shown.size(), f.boxes.texts().value(0).isEmpty() ? 0 : 1);
    for (const auto &shown : f.boxes.shown)
        QCOMPARE(shown.icon, MessageBoxes::Icon::Warning);
    QCOMPARE(f.url(), url);
    QCOMPARE(f.digits(), QStringLiteral("3"));
    QCOMPARE(f.panel(1), QStringLiteral("../pic999.jpg"));
}

void TestStepping::pasteAlphaShowsItsShortForm()
{
    FormFixture f;
    TVempForm &form = f.start();
    f.typeUrl(kHost + "/picb.jpg");
    f.clipboard.put(kHost + "/photo12.jpg");
    QTest::mouseClick(child<QToolButton>(form, "btnPaste"), Qt::LeftButton);
    QVERIFY(f.digitsMode());
    QCOMPARE(f.digits(), QStringLiteral("2"));
    QCOMPARE(f.panel(0), QStringLiteral("../photo12.jpg"));

    f.clipboard.put(kHost + "/pagez.png");
    QTest::mouseClick(child<QToolButton>(form, "btnPaste"), Qt::LeftButton);
    QVERIFY(!f.digitsMode());
    QCOMPARE(child<UpDown>(form, "UpDownDoc")->position(), int('z'));
    QCOMPARE(f.panel(0), QStringLiteral("../pagez.png"));
}

void TestStepping::copyThenPaste()
{
    FormFixture f;
    TVempForm &form = f.start();
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(child<UpDown>(form, "UpDownItems")->nextButton(), Qt::LeftButton);
    QCOMPARE(f.items(), QStringLiteral("5"));
    const QString url = f.url();
    QTest::mouseClick(child<QToolButton>(form, "btnCopy"), Qt::LeftButton);
    QCOMPARE(f.clipboard.content, url);
    child<QToolButton>(form, "btnClipboard2")->setFocus();
    QTest::mouseClick(child<QToolButton>(form, "btnPaste"), Qt::LeftButton);
    QCOMPARE(f.url(), url);
    QCOMPARE(f.digits(), QStringLiteral("3"));
    QCOMPARE(f.items(), QStringLiteral("1"));
    QCOMPARE(f.panel(1), QStringLiteral("../pic999.jpg"));
    QVERIFY(child<ChangeEdit>(form, "Edit1")->hasFocus());
    QCOMPARE(child<ChangeEdit>(form, "Edit1")->cursorPosition(), url.size() - 5);

    f.typeUrl(kHost + "/x9.jpg");
    child<ChangeEdit>(form, "Edit1")->setTextCascade(QString());
    f.boxes.shown.clear();
    child<QToolButton>(form, "btnCopy")->click();
    QCOMPARE(f.clipboard.content, QString());
}

void TestStepping::charactersBeyondLatin1SurviveSteps()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QString url = kHost + QStringLiteral("/\u65e5\u672c/\U0001F600pic08.jpg");
    f.typeUrl(url);
    QTest::mouseClick(child<QToolButton>(form, "btnClipboard2"), Qt::LeftButton);
    QTest::mouseClick(child<QToolButton>(form, "btnClipboard2"), Qt::LeftButton);
    QCOMPARE(f.url(), kHost + QStringLiteral("/\u65e5\u672c/\U0001F600pic10.jpg"));
    QCOMPARE(f.clipboard.writes.last(), f.url());
}

void TestStepping::selectionChoosesTheCounter_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("selected"); // by a double click, or with "keys:" by Shift+Left
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("digits"); // "Alpha" in Alpha mode
    QTest::addColumn<int>("tail");       // characters after the counter, the caret before its last one
    QTest::newRow("folder") << "/2024/05/img_0042.jpg" << "05" << "Next" << "/2024/06/img_0042.jpg" << "2" << 13;
    QTest::newRow("just the number") << "/IMG_0007-1024x768.jpg" << "1024" << "Back" << "/IMG_0007-1023x768.jpg" << "4" << 8;
    QTest::newRow("keys, a letter") << "/photo_007_thumb.jpg" << "keys:b" << "Next" << "/photo_007_thumc.jpg" << "Alpha" << 4;
    QTest::newRow("keys, part of a number") << "/v2017/a5.png" << "keys:01" << "Next" << "/v2018/a5.png" << "4" << 7;
    QTest::newRow("keys, number after an escape") << "/pic%2099.jpg" << "keys:99" << "Next" << "/pic%20100.jpg" << "3" << 4;
    // Selected, the host warns and nothing steps; the selection stays.
    QTest::newRow("host") << "/pic001.jpg" << "example" << "Next" << "/pic001.jpg" << "3" << 14;
}

void TestStepping::selectionChoosesTheCounter()
{
    QFETCH(QString, selected);
    FormFixture f;
    TVempForm &form = f.start();
    auto *edit = child<ChangeEdit>(form, "Edit1");
    QFETCH(QString, start);
    f.typeUrl(kHost + start);
    const bool byKeys = selected.startsWith("keys:");
    selectInUrl(edit, selected.remove("keys:"), !byKeys);
    QCOMPARE(edit->selectedText(), selected);
    QFETCH(QString, action);
    QTest::mouseClick(child<QToolButton>(form, action == "Next" ? "btnClipboard2" : "btnClipboardDec"), Qt::LeftButton);
    QTEST(f.url().mid(kHost.size()), "after");
    QCOMPARE(f.boxes.texts(), f.url() == kHost + start ? QStringList{"The host and the port are not a counter."} : QStringList{});
    QTEST(f.digitsMode() ? f.digits() : QStringLiteral("Alpha"), "digits");
    QTEST(int(f.url().size() - edit->cursorPosition() - 1), "tail");
}

// The choice holds for later steps, the run commands and the next start,
// until the text after the counter changes.
void TestStepping::choiceIsHeldAndStored()
{
    const auto next = [](FormFixture &g) { return QTest::mouseClick(child<QToolButton>(*g.form, "btnClipboard2"), Qt::LeftButton), g.url(); };
    FormFixture f;
    f.start();
    f.typeUrl(kHost + "/2024/05/img_0042.jpg");
    selectInUrl(child<ChangeEdit>(*f.form, "Edit1"), "05", true);
    next(f);
    QCOMPARE(next(f), kHost + "/2024/07/img_0042.jpg");
    child<ChangeEdit>(*f.form, "EditNumItems")->setTextCascade(QStringLiteral("2"));
    child<QMenu>(*f.form, "PopupMenu1")->findChild<QAction *>("mnuCopyRun")->trigger();
    QCOMPARE(f.clipboard.content, kHost + "/2024/07/img_0042.jpg\n" + kHost + "/2024/08/img_0042.jpg\n");
    QVERIFY(f.form->close());
    FormFixture g;
    g.settings.values = f.settings.values;
    g.start();
    QCOMPARE(next(g), kHost + "/2024/08/img_0042.jpg");
    g.typeUrl(kHost + "/2024/08/img_0043.jpg"); // another text after the counter
    QCOMPARE(next(g), kHost + "/2024/08/img_0044.jpg");
}

QTEST_MAIN(TestStepping)
#include "test_stepping.moc"
