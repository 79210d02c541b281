#include "form_fixture.h"

#include "app/flow_layout.h"
#include "app/help_window.h"
#include "platform/settings_store.h"
#include "common/serimo_error.h"
#include "series/series_text.h"
#include "platform/keep_above.h"

#include <QAction>
#include <QDir>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>

namespace {
const QString kHost = QStringLiteral("http://www.example.com");

QByteArray record(const QRect &bounds, quint32 interval, bool hints, bool text, bool url)
{
    SettingsRecord r;
    r.setBounds(bounds);
    r.setFeedInterval(interval);
    r.setFlags(hints, text, url);
    return r.toByteArray();
}

int rows(TVempForm &form)
{
    auto *toolBar = child<QFrame>(form, "ToolBar1");
    return static_cast<FlowLayout *>(toolBar->layout())->rowCount(toolBar->contentsRect().width());
}

// Every tool button has the same size.
QSize buttonSize(TVempForm &form)
{
    return child<QToolButton>(form, "btnFeed")->size();
}

QSize screenSize(const TVempForm &form)
{
    return form.screen()->geometry().size();
}
} // namespace

class TestViewsSettings : public QObject
{
    Q_OBJECT
private slots:
    void firstRunIsNormalViewCentred();
    void toolbarViewHasSixRowsAndStays();
    void normalViewKeepsRightEdgeOnScreen();
    void narrowingWrapsTheToolBar();
    void showTextOffAndOn();
    void showTextOffInSquareWindowGivesToolbarView();
    void showUrlOffKeepsSizeUntilAViewIsChosen();
    void showHintsSwitchesEveryTooltip();
    void stayOnTopToggles();
    void stayOnTopUnavailableToldOnce();
    void windowFlagKeepAbove();
    void helpFromButtonMenuAndF1();
    void helpWindowShowsTheContents();
    void missingHelpFileIsAClearError();
    void restoresStoredSettings();
    void flagsOff();
    void storedUrlEdgeCases_data();
    void storedUrlEdgeCases();
    void shortRecord();
    void badValueTakesItsDefaultTheOthersLoadAndStay_data();
    void badValueTakesItsDefaultTheOthersLoadAndStay();
    void unavailableStoreIsAFirstRun();
    void storeLeftAloneIsNamedOnceAndNeverWritten();
    void closeWritesRecordKeepingReservedBytes();
    void refusedWriteStillCloses();
    void realSettingsFileRoundTrip();
};

void TestViewsSettings::firstRunIsNormalViewCentred()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QRect bounds = form.outerBounds();
    const QSize button = buttonSize(form);
    const QSize screen = screenSize(form);
    QCOMPARE(bounds.width(), 6 * button.width() + 16);
    QCOMPARE(bounds.left(), (screen.width() - bounds.width()) / 2);
    QCOMPARE(bounds.top(), (screen.height() - bounds.height()) / 2);
    QCOMPARE(rows(form), 2);
    QCOMPARE(child<QToolButton>(form, "btnPaste")->y(), child<QToolButton>(form, "btnClipboard2")->y());
    QCOMPARE(child<QToolButton>(form, "btnFeed")->y(), child<QToolButton>(form, "btnHelp")->y());
    QVERIFY(child<QToolButton>(form, "btnFeed")->y() > child<QToolButton>(form, "btnPaste")->y());
    QVERIFY(child<QFrame>(form, "ToolBar1")->height() >= 2 * button.height());
    QCOMPARE(child<FeedTimer>(form, "Timer1")->interval(), 2000);
    QVERIFY(child<QAction>(form, "mnuShowText")->isChecked() && child<QAction>(form, "mnuShowURL")->isChecked() && child<QAction>(form, "mnuShowHints")->isChecked());
    QVERIFY(!child<QAction>(form, "mnuAlwaysOnTop")->isChecked());
    QCOMPARE(f.url(), kHost + "/members/gallery/photos/98/pic001.jpg");
    // The image page goes to the home directory.
    QTest::mouseClick(child<QToolButton>(form, "btnImages"), Qt::LeftButton);
    QCOMPARE(f.shell.opened, QStringList{QDir(f.files.homeDirectory()).filePath(QStringLiteral("serimo.htm"))});
}

void TestViewsSettings::toolbarViewHasSixRowsAndStays()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QPoint corner = form.outerBounds().topLeft();
    child<QAction>(form, "mnuToolbarStyle")->trigger();
    const QRect bounds = form.outerBounds();
    QCOMPARE(bounds.topLeft(), corner);
    QCOMPARE(bounds.width(), 2 * buttonSize(form).width() + 8);
    QTRY_COMPARE(rows(form), 6);
    QTRY_VERIFY(child<QToolButton>(form, "btnHelp")->y() > child<QToolButton>(form, "btnImages")->y());
    QCOMPARE(child<QToolButton>(form, "btnPopUp")->y(), child<QToolButton>(form, "btnImages")->y());
    QCOMPARE(child<QToolButton>(form, "btnPaste")->y(), child<QToolButton>(form, "btnCopy")->y());
}

void TestViewsSettings::normalViewKeepsRightEdgeOnScreen()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QSize screen = screenSize(form);
    child<QAction>(form, "mnuToolbarStyle")->trigger();
    form.setOuterBounds(QRect(screen.width() - 120, 40, form.outerBounds().width(), form.outerBounds().height()));
    child<QAction>(form, "btnDefaultView")->trigger();
    const QRect bounds = form.outerBounds();
    QCOMPARE(bounds.right() + 1, screen.width());
    QCOMPARE(bounds.top(), 40);
    QTRY_COMPARE(rows(form), 2);
}

void TestViewsSettings::narrowingWrapsTheToolBar()
{
    FormFixture f;
    TVempForm &form = f.start();
    QCOMPARE(rows(form), 2);
    form.resize(form.width() / 2, form.height());
    QTRY_VERIFY(rows(form) > 2);
    QVERIFY(child<QToolButton>(form, "btnHelp")->y() > child<QToolButton>(form, "btnFeed")->y() || child<QToolButton>(form, "btnHelp")->x() < child<QToolButton>(form, "btnFeed")->x());
}

void TestViewsSettings::showTextOffAndOn()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QSize withText = buttonSize(form);
    const QRect before = form.outerBounds();
    child<QAction>(form, "mnuShowText")->trigger();
    QVERIFY(!child<QAction>(form, "mnuShowText")->isChecked());
    QCOMPARE(child<QToolButton>(form, "btnFeed")->toolButtonStyle(), Qt::ToolButtonIconOnly);
    QVERIFY(child<QLabel>(form, "LabelDigits")->isHidden() && child<QLabel>(form, "LabelItems")->isHidden());
    QVERIFY(buttonSize(form).height() < withText.height());
    QCOMPARE(form.outerBounds().height(), before.height() - 2 * (withText.height() - buttonSize(form).height()));
    child<QAction>(form, "mnuShowText")->trigger();
    QCOMPARE(buttonSize(form), withText);
    QCOMPARE(child<QToolButton>(form, "btnFeed")->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QVERIFY(!child<QLabel>(form, "LabelDigits")->isHidden() && !child<QLabel>(form, "LabelItems")->isHidden());
    QCOMPARE(form.outerBounds(), before);
    QCOMPARE(child<UpDown>(form, "UpDownDigits")->x(), child<ChangeEdit>(form, "EditDigits")->geometry().right() + 1);
    QCOMPARE(child<UpDown>(form, "UpDownItems")->x(), child<ChangeEdit>(form, "EditNumItems")->geometry().right() + 1);
}

void TestViewsSettings::showTextOffInSquareWindowGivesToolbarView()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QRect square(50, 50, 300, 300);
    form.setOuterBounds(square);
    QCOMPARE(form.outerBounds(), square);
    child<QAction>(form, "mnuShowText")->trigger();
    QCOMPARE(form.outerBounds().width(), 2 * buttonSize(form).width() + 8);
    QCOMPARE(form.outerBounds().topLeft(), square.topLeft());
}

void TestViewsSettings::showUrlOffKeepsSizeUntilAViewIsChosen()
{
    FormFixture f;
    TVempForm &form = f.start();
    const QRect before = form.outerBounds();
    const int panel = child<QFrame>(form, "Panel_URL")->height();
    child<QAction>(form, "mnuShowURL")->trigger();
    QVERIFY(child<QFrame>(form, "Panel_URL")->isHidden());
    QCOMPARE(form.outerBounds(), before);
    child<QAction>(form, "btnDefaultView")->trigger();
    QCOMPARE(form.outerBounds().height(), before.height() - panel);
    child<QAction>(form, "mnuShowURL")->trigger();
    QVERIFY(!child<QFrame>(form, "Panel_URL")->isHidden());
}

void TestViewsSettings::showHintsSwitchesEveryTooltip()
{
    FormFixture f;
    TVempForm &form = f.start();
    QCOMPARE(child<QToolButton>(form, "btnClipboard2")->toolTip(), QStringLiteral("Increment clipboard"));
    QCOMPARE(child<StatusLine>(form, "StatusBar")->toolTip(), QStringLiteral("Current URL and range"));
    child<QAction>(form, "mnuShowHints")->trigger();
    for (const QWidget *w : form.findChildren<QWidget *>())
        QVERIFY2(w->toolTip().isEmpty(), qPrintable(w->objectName()));
    child<QAction>(form, "mnuShowHints")->trigger();
    QCOMPARE(child<UpDown>(form, "UpDownDoc")->toolTip(), QStringLiteral("Decrement/increment URL"));
    QCOMPARE(child<ChangeEdit>(form, "EditNumItems")->toolTip(), QStringLiteral("# of items to increment"));
}

void TestViewsSettings::stayOnTopToggles()
{
    FormFixture f;
    TVempForm &form = f.start();
    QVERIFY(f.keepAbove.requests.isEmpty());
    const QString status = f.panel(1);
    child<QAction>(form, "mnuAlwaysOnTop")->trigger();
    QVERIFY(child<QAction>(form, "mnuAlwaysOnTop")->isChecked());
    child<QAction>(form, "mnuAlwaysOnTop")->trigger();
    QVERIFY(!child<QAction>(form, "mnuAlwaysOnTop")->isChecked());
    QCOMPARE(f.keepAbove.requests, (QList<bool>{true, false}));
    QCOMPARE(f.panel(1), status);
}

void TestViewsSettings::stayOnTopUnavailableToldOnce()
{
    FormFixture f;
    f.keepAbove.offered = false;
    TVempForm &form = f.start();
    child<QAction>(form, "mnuAlwaysOnTop")->trigger();
    QVERIFY(child<QAction>(form, "mnuAlwaysOnTop")->isChecked());
    QCOMPARE(f.whole(), QStringLiteral("Stay on top is not available on this desktop."));
    child<StatusLine>(form, "StatusBar")->setPanelText(1, QStringLiteral("Ready."));
    child<QAction>(form, "mnuAlwaysOnTop")->trigger();
    child<QAction>(form, "mnuAlwaysOnTop")->trigger();
    QCOMPARE(f.keepAbove.requests, (QList<bool>{true, false, true}));
    QCOMPARE(f.panel(1), QStringLiteral("Ready."));
}

// The X route changes the shown window's flag in place, without re-creating it.
void TestViewsSettings::windowFlagKeepAbove()
{
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const WId id = window.winId();
    WindowFlagKeepAbove keepAbove;
    QVERIFY(keepAbove.set(&window, true));
    QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.isVisible());
    QCOMPARE(window.winId(), id);
    QVERIFY(keepAbove.set(&window, false));
    QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
}

void TestViewsSettings::helpFromButtonMenuAndF1()
{
    FormFixture f;
    TVempForm &form = f.start();
    QTest::mouseClick(child<QToolButton>(form, "btnHelp"), Qt::LeftButton);
    child<QAction>(form, "mnuHelp")->trigger();
    QTest::keyRelease(child<ChangeEdit>(form, "Edit1"), Qt::Key_F1);
    QCOMPARE(f.help.requests, QStringList(3, QStringLiteral("qxvemp.hlp#0")));
}

void TestViewsSettings::helpWindowShowsTheContents()
{
    QtHelpViewer viewer;
    QWidget owner;
    viewer.showContext(QStringLiteral("qxvemp.hlp"), 0, &owner);
    auto *window = owner.findChild<QTextBrowser *>(QStringLiteral("HelpWindow"));
    QVERIFY(window);
    QVERIFY(window->isVisible());
    const QString text = window->toPlainText();
    QVERIFY(text.contains(QStringLiteral("Serimo")));
    QVERIFY(text.contains(QStringLiteral("Alt+I")));
    QCOMPARE(window->textCursor().position(), 0);
    // Asking again reuses the one window.
    viewer.showContext(QStringLiteral("qxvemp.hlp"), 0, &owner);
    QCOMPARE(owner.findChildren<QTextBrowser *>().size(), 1);
    // Opened again with the owner at its first start's size in each corner
    // of the screen: wholly on it, clear of the owner.
    const QRect screen = owner.screen()->availableGeometry();
    owner.resize(338, 133);
    const QSize frame = owner.frameGeometry().size() - QSize(1, 1);
    for (const QPoint corner : {screen.topLeft(), screen.topRight() - QPoint(frame.width(), 0),
                                screen.bottomLeft() - QPoint(0, frame.height()),
                                screen.bottomRight() - QPoint(frame.width(), frame.height())}) {
        window->close();
        owner.move(corner);
        viewer.showContext(QStringLiteral("qxvemp.hlp"), 0, &owner);
        const QRect placed = window->frameGeometry();
        QVERIFY2(screen.contains(placed) && !placed.intersects(owner.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height())));
    }
}

void TestViewsSettings::missingHelpFileIsAClearError()
{
    QtHelpViewer viewer;
    QWidget owner;
    try {
        viewer.showContext(QStringLiteral("no-such-help.hlp"), 0, &owner);
        QFAIL("no error raised");
    } catch (const SerimoError &error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Cannot open help file ")), qPrintable(error.message()));
        QVERIFY(error.message().endsWith(QStringLiteral("no-such-help.hlp")));
    }
}

void TestViewsSettings::restoresStoredSettings()
{
    FormFixture f;
    const QRect bounds(40, 60, 400, 300);
    f.settings.values.insert("Serimo_099", record(bounds, 3500, true, true, true));
    f.settings.values.insert("LastURL", kHost + "/a/img12.png");
    TVempForm &form = f.start();
    QCOMPARE(form.outerBounds(), bounds);
    QCOMPARE(f.url(), kHost + "/a/img12.png");
    QCOMPARE(f.digits(), QStringLiteral("2"));
    QCOMPARE(child<FeedTimer>(form, "Timer1")->interval(), 3500);
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestViewsSettings::flagsOff()
{
    FormFixture f;
    const QRect bounds(700, 5000, 320, 200); // off the 800 x 800 screen: pulled onto it
    const QByteArray stored = record(bounds, 2000, false, false, false);
    f.settings.values.insert("Serimo_099", stored);
    f.settings.values.insert("LastURL", kHost + "/img7.gif");
    TVempForm &form = f.start();
    QCOMPARE(form.outerBounds(), QRect(480, 600, 320, 200));
    QVERIFY(!child<QAction>(form, "mnuShowText")->isChecked() && !child<QAction>(form, "mnuShowHints")->isChecked() && !child<QAction>(form, "mnuShowURL")->isChecked());
    QVERIFY(child<QFrame>(form, "Panel_URL")->isHidden());
    QVERIFY(child<QLabel>(form, "LabelDigits")->isHidden());
    QCOMPARE(child<QToolButton>(form, "btnFeed")->toolButtonStyle(), Qt::ToolButtonIconOnly);
    QVERIFY(child<QToolButton>(form, "btnFeed")->toolTip().isEmpty());
    // Not moved by the user: the stored bounds stay as they were.
    QVERIFY(form.close());
    QCOMPARE(f.settings.values.value("Serimo_099").toByteArray(), stored);
}

void TestViewsSettings::storedUrlEdgeCases_data()
{
    QTest::addColumn<bool>("withRecord");
    QTest::addColumn<QVariant>("lastUrl");
    QTest::addColumn<QString>("expected");
    QTest::newRow("record, no LastURL") << true << QVariant() << kHost + "/err12345.jpg";
    QTest::newRow("record, empty LastURL") << true << QVariant(QString()) << kHost + "/err12345.jpg";
    QTest::newRow("LastURL, no record: ignored") << false << QVariant(kHost + "/x5.gif")
                                                 << kHost + "/members/gallery/photos/98/pic001.jpg";
}

void TestViewsSettings::storedUrlEdgeCases()
{
    QFETCH(bool, withRecord);
    QFETCH(QVariant, lastUrl);
    FormFixture f;
    if (withRecord)
        f.settings.values.insert("Serimo_099", record(QRect(10, 10, 300, 200), 2000, true, true, true));
    if (lastUrl.isValid())
        f.settings.values.insert("LastURL", lastUrl);
    f.start();
    QTEST(f.url(), "expected");
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestViewsSettings::shortRecord()
{
    FormFixture f;
    f.settings.values.insert("Serimo_099", record(QRect(20, 30, 300, 180), 0, true, true, true).left(20));
    f.settings.values.insert("LastURL", kHost + "/img7.gif");
    TVempForm &form = f.start();
    QCOMPARE(form.outerBounds(), QRect(20, 30, 300, 180));
    QCOMPARE(child<FeedTimer>(form, "Timer1")->interval(), 2000); // a stored 0 would spin
    QVERIFY(!child<QAction>(form, "mnuShowText")->isChecked() && !child<QAction>(form, "mnuShowHints")->isChecked() && !child<QAction>(form, "mnuShowURL")->isChecked());
}

void TestViewsSettings::badValueTakesItsDefaultTheOthersLoadAndStay_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("lastUrl");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("recordLoaded");
    QTest::addColumn<QString>("url");
    const QByteArray good = record(QRect(33, 44, 300, 200), 700, true, true, true);
    const QString keep = kHost + "/keep/x001.jpg";
    const QString type = QStringLiteral("Invalid data type for '%1'");
    QTest::newRow("record is text") << QVariant(QStringLiteral("hello")) << QVariant(keep)
                                    << type.arg("Serimo_099") << false << keep;
    QTest::newRow("record too long") << QVariant(good + QByteArray(12, '\0')) << QVariant(keep)
                                     << type.arg("Serimo_099") << false << keep;
    QTest::newRow("LastURL is binary") << QVariant(good) << QVariant(QByteArray("abc")) << type.arg("LastURL")
                                       << true << kPlaceholderUrl;
    QTest::newRow("LastURL is a list") << QVariant(good) << QVariant(QStringList{"a", "b"}) << type.arg("LastURL")
                                       << true << kPlaceholderUrl;
    QTest::newRow("both") << QVariant(QStringLiteral("hello")) << QVariant(QByteArray("abc"))
                          << type.arg("Serimo_099") + "\n" + type.arg("LastURL") << false << kPlaceholderUrl;
}

void TestViewsSettings::badValueTakesItsDefaultTheOthersLoadAndStay()
{
    QFETCH(QVariant, stored);
    QFETCH(QVariant, lastUrl);
    QFETCH(QString, message);
    QFETCH(bool, recordLoaded);
    QFETCH(QString, url);
    FormFixture f;
    f.settings.values.insert("Serimo_099", stored);
    f.settings.values.insert("LastURL", lastUrl);
    TVempForm &form = f.start();
    QCOMPARE(f.boxes.texts(), QStringList{message});
    QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Serimo"));
    QCOMPARE(f.boxes.shown[0].icon, MessageBoxes::Icon::Error);
    QCOMPARE(form.outerBounds() == QRect(33, 44, 300, 200), recordLoaded);
    QCOMPARE(child<FeedTimer>(form, "Timer1")->interval(), recordLoaded ? 700 : 2000);
    QCOMPARE(f.url(), url);

    // The good values go back as they were; a bad one is replaced.
    QVERIFY(form.close());
    if (recordLoaded)
        QCOMPARE(f.settings.values.value("Serimo_099"), stored);
    else
        QCOMPARE(f.settings.values.value("Serimo_099").toByteArray().size(), 28);
    QCOMPARE(f.settings.values.value("LastURL"), QVariant(url));
    // The image page has its place.
    child<QToolButton>(form, "btnImages")->click();
    QCOMPARE(f.shell.opened.size(), 1);
}

void TestViewsSettings::unavailableStoreIsAFirstRun()
{
    FormFixture f;
    f.settings.available = false;
    f.settings.values.insert("Serimo_099", record(QRect(1, 2, 300, 200), 500, false, false, false));
    TVempForm &form = f.start();
    QVERIFY(f.boxes.shown.isEmpty());
    QVERIFY(child<QAction>(form, "mnuShowText")->isChecked());
    QCOMPARE(child<FeedTimer>(form, "Timer1")->interval(), 2000);
    QCOMPARE(rows(form), 2);
}

void TestViewsSettings::storeLeftAloneIsNamedOnceAndNeverWritten()
{
    FormFixture f;
    f.settings.available = false;
    f.settings.leftAloneBecause = QStringLiteral("/home/user/.config/Brellix/SERIMO.conf");
    const QByteArray stored = record(QRect(1, 2, 300, 200), 500, false, false, false);
    f.settings.values.insert("Serimo_099", stored);
    TVempForm &form = f.start();
    QCOMPARE(f.boxes.texts(), QStringList{"The settings file /home/user/.config/Brellix/SERIMO.conf is not a regular "
                                          "file. Serimo starts with its first settings and saves none."});
    QCOMPARE(f.boxes.shown[0].caption, QStringLiteral("Warning"));
    QCOMPARE(f.boxes.shown[0].icon, MessageBoxes::Icon::Warning);
    // The first run's state.
    QCOMPARE(form.findChild<FeedTimer *>(QStringLiteral("Timer1"))->interval(), 2000);
    QCOMPARE(rows(form), 2);
    QCOMPARE(f.url(), kHost + "/members/gallery/photos/98/pic001.jpg");

    QTest::mouseClick(form.findChild<QToolButton *>(QStringLiteral("btnClipboard2")), Qt::LeftButton);
    QVERIFY(form.close());
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.settings.values.keys(), QStringList{"Serimo_099"});
    QCOMPARE(f.settings.values.value("Serimo_099").toByteArray(), stored);
}

void TestViewsSettings::closeWritesRecordKeepingReservedBytes()
{
    FormFixture f;
    QByteArray stored = record(QRect(40, 60, 400, 300), 1500, true, true, true);
    stored[20] = char(0x5A);
    stored[24] = char(0x01);
    stored[27] = char(0xFE);
    f.settings.values.insert("Serimo_099", stored);
    f.settings.values.insert("LastURL", kHost + "/p1.jpg");
    TVempForm &form = f.start();
    QTest::mouseClick(child<QToolButton>(form, "btnClipboard2"), Qt::LeftButton);
    child<QAction>(form, "mnuShowHints")->trigger();
    child<QAction>(form, "mnuAlwaysOnTop")->trigger();
    form.close();
    QCOMPARE(f.settings.values.value("LastURL").toString(), kHost + "/p2.jpg");
    const QByteArray written = f.settings.values.value("Serimo_099").toByteArray();
    QCOMPARE(written.size(), 28);
    QCOMPARE(written.at(20), char(0x5A));
    QCOMPARE(written.mid(24), stored.mid(24));
    SettingsRecord decoded;
    decoded.load(written);
    QCOMPARE(decoded.restoredBounds(QSize(1920, 1080)), QRect(40, 60, 400, 300));
    QCOMPARE(decoded.feedInterval(), 1500u);
    QVERIFY(!decoded.showHints() && decoded.showText() && decoded.showUrl());
}

void TestViewsSettings::refusedWriteStillCloses()
{
    FormFixture f;
    TVempForm &form = f.start();
    f.settings.refuseWrites = true;
    QVERIFY(form.close());
    QVERIFY(!form.isVisible());
    QCOMPARE(f.boxes.texts(), QStringList{"Failed to set data for 'LastURL'\nFailed to set data for 'Serimo_099'"});

    // One refused write does not keep the other from being made.
    FormFixture g;
    g.start();
    g.settings.refusedNames = QStringList{"LastURL"};
    g.form->close();
    QCOMPARE(g.boxes.texts(), QStringList{"Failed to set data for 'LastURL'"});
    QCOMPARE(g.settings.values.value("Serimo_099").toByteArray().size(), 28);
}

void TestViewsSettings::realSettingsFileRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Brellix/SERIMO.conf"));
    {
        QtSettingsStore store(path);
        FormFixture real;
        real.store = &store;
        real.start();
        QTest::mouseClick(child<QToolButton>(*real.form, "btnClipboard2"), Qt::LeftButton);
        real.form->close();
        QVERIFY(real.boxes.shown.isEmpty());
    }
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QSettings written(path, QSettings::IniFormat);
    QCOMPARE(written.value("LastURL").toString(), kHost + "/members/gallery/photos/98/pic002.jpg");
    QCOMPARE(written.value("Serimo_099").typeId(), QMetaType::QByteArray);
    QCOMPARE(written.value("Serimo_099").toByteArray().size(), 28);

    FormFixture f;
    QtSettingsStore store(path);
    f.settings.values.insert("Serimo_099", *store.read("Serimo_099"));
    f.settings.values.insert("LastURL", *store.read("LastURL"));
    f.start();
    QCOMPARE(f.url(), kHost + "/members/gallery/photos/98/pic002.jpg");
}

QTEST_MAIN(TestViewsSettings)
#include "test_views_settings.moc"
