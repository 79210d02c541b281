#pragma once

// The main window. Its members are defined across several files:
//   app/vemp_107.cpp             creation, activation, close, status line, guard
//   app/controls.cpp             the control tree and its event bindings
//   app/views.cpp                Normal/Toolbar views, display toggles, menu, help
//   app/settings.cpp             loading and saving the persisted settings
//   app/run_commands.cpp         the run from the series; Copy run, Save run list
//   app/download_command.cpp     Download run and every Send run to ...: the run
//                                handed to an engine of runs/, its reports, Stop
//   app/run_target.cpp           where a run goes: the folder chooser, or the
//                                address dialog and the daemon's secret
//   app/find_end_command.cpp     Find the end: the search and what it sets
//   series/detection.cpp         series detection, the chosen counter and the digits/items boxes
//   series/step.cpp              stepping the counter (Back, Next, Alt+I, up-down)
//   series/clipboard_exchange.cpp  Paste and Copy
//   output/feed.cpp              Feed, its timer tick and Esc
//   output/page_commands.cpp     Images (the image page) and the Web site page
//   output/image_page.cpp, output/website_page.cpp, output/html_text.cpp
//                                the pages' text; output/page_file.cpp writes a page
//   dialogs/feed_delay.cpp       the Feed delay command
//   dialogs/about_command.cpp    the About command
//   dialogs/download_options_command.cpp  Download options: what runs send the site

#include "app/event_widgets.h"
#include "app/settings_record.h"
#include "series/counter_place.h"
#include "platform/platform.h"
#include "platform/shell.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

class QKeyEvent;

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class FlowLayout;
class StatusLine;
class SeriesAddresses;
struct EndFound;
class QUrl;
class Runs;
struct EngineTarget;
struct RegisteredEngine;
struct RunPlan;
struct SiteOptions;
struct RunResult;

class TVempForm : public QWidget
{
    Q_OBJECT
public:
    explicit TVempForm(const Platform &platform, QWidget *parent = nullptr);
    ~TVempForm() override;

    // A URL from the command line; given before the first activation, the
    // start-up detection works on it.
    void setStartUrl(const QString &url);

    // The window's outer frame (decoration included), in screen pixels.
    QRect outerBounds() const;
    void setOuterBounds(const QRect &bounds);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Controls, named as in the window definition; tests find them by these
    // object names.
    QFrame *Panel_URL;
    ChangeEdit *Edit1;
    QWidget *Panel1;
    QPushButton *btnClipboard;
    QFrame *ToolBar1;
    QWidget *Panel_Digits;
    QLabel *LabelDigits;
    ChangeEdit *EditDigits;
    UpDown *UpDownDigits;
    QFrame *Panel_Wait;
    UpDown *UpDownDoc;
    QWidget *btndiv1;
    QToolButton *btnPaste;
    QToolButton *btnCopy;
    QWidget *btnSep2;
    QToolButton *btnClipboardDec;
    QToolButton *btnClipboard2;
    QWidget *btndiv2;
    QToolButton *btnFeed;
    QWidget *Panel_Items;
    QLabel *LabelItems;
    ChangeEdit *EditNumItems;
    UpDown *UpDownItems;
    QWidget *btnSep1;
    QToolButton *btnImages;
    QToolButton *btnPopUp;
    QWidget *btnsep5;
    QToolButton *btnHelp;
    StatusLine *StatusBar;
    FeedTimer *Timer1;
    QMenu *PopupMenu1;
    QAction *mnuAlwaysOnTop;
    QAction *mnuShowURL;
    QAction *mnuShowHints;
    QAction *mnuShowText;
    QAction *mnuFeedDelay;
    QAction *mnuFindEnd;
    QAction *mnuCopyRun;
    QAction *mnuSaveRunList;
    QAction *mnuDownloadOptions;
    QAction *btnDefaultView;
    QAction *mnuToolbarStyle;
    QAction *mnuAbout;
    QAction *mnuHelp;
    QAction *mnuWebsite;

    // State shared by the window's commands.
    bool Activated = false;
    QString WebPageFile;
    SettingsRecord Settings;
    QString ShortURL;
    qint32 FeedCount = 0;
    qint32 FeedTotal = 0;
    QList<QIcon> ImageVemp;
    // The text after the counter the user chose (or a step kept), while the
    // URL still ends with it; nothing while the rules find the counter.
    std::optional<QString> m_chosenTail;
    // The settings hold a counter choice, or held one at start.
    bool m_counterTailStored = false;
    // Status panel 1 shows why the URL cannot step.
    bool m_seriesWarningShown = false;

    // Creation, activation, close and the status line.
    void FormCreate();
    void FormActivate();
    void FormClose();
    void LoadToolbarImages();
    void ShowReady();
    void ShowStatus(const QString &text);
    // Panel 1 shows the gist of a message, the whole of it in the panel's
    // tooltip and accessible description.
    void ShowStatus(const QString &gist, const QString &whole);

    // Series detection and the digits/items boxes.
    void Edit1Change(QObject *Sender);
    void btnPasteClick(QObject *Sender);
    void EditDigitsChange(QObject *Sender);
    void EditNumItemsChange(QObject *Sender);
    std::optional<QString> GetRangeText(bool AllNines);
    // What is wrong with a URL whose counter is not a number at this width.
    QString seriesWarning();
    // Shows it in status panel 1, leaving the URL as it is; a feed stops.
    void warnInStatusLine();
    // The counter chosen for the URL in the box, if any.
    CounterChoice counterChoice() const;
    // A run of digits or one letter selected in the URL box becomes the
    // counter that steps and runs take. False when the selection lies in
    // the host or its port, which is no counter.
    bool takeSelectedCounter();
    // Keeps a stepped counter where it is when the rules would look
    // elsewhere in the new URL (a letter stepped to a punctuation mark).
    void holdSteppedCounter(const QString &stepped, const QString &tail);
    // Panel 1 names the series' last address.
    void showRange(const QString &range);
    // Shows the feed's hold with the title in front, shortened to fit.
    void showFeedHeld(const QString &title);

    // Stepping and the clipboard.
    // False when the step could not be made or its URL not handed over: it
    // warned, and a running feed has stopped.
    bool btnIncClick(QObject *Sender);
    void UpDownDocClick(QObject *Sender, UpDown::Arrow Button);
    void PositionEdit();
    // Writes a stepped URL, its counter held where the step put it.
    void setSteppedUrl(const QString &upToCounter, const QString &tail);
    void btnCopyClick(QObject *Sender);
    // Ctrl+V, Shift+Insert or the context menu's Paste in a text box.
    void pasteIntoBox(ChangeEdit *box, bool selection = false);
    // Says in the status line how many lines of a pasted text no box took.
    void showLinesLeftOut(qsizetype count);
    // Puts the URL on the clipboard; a refusal fails as a step does.
    bool putUrlOnClipboard();
    // Ends a step that cannot be made: a running feed stops before the
    // warning opens, and the normal cursor returns. Always false.
    bool failStep(const QString &warning);
    // Why a number past the longest counter is not stepped.
    static QString tooLongWarning();

    // Feed and pages.
    void btnFeedClick(QObject *Sender);
    void Timer1Timer();
    void mnuWebsiteClick(QObject *Sender);
    void ImagesCommand();
    // An opener that took a page ended without opening it.
    void openerFailed(const Shell::OpenerFailure &failure);

    // Download run and Send run to ...: the run handed to one of the
    // registered engines, while the window stays in use.
    // The Download item: Stop while a run is running.
    void mnuDownloadClick(QObject *Sender);
    // Every Send run to ... item; refused while a run is running.
    void mnuSendRunClick(QObject *Sender);
    // Asks where the run goes, as the engine of Sender needs, and hands it over.
    void handRunTo(QObject *Sender);
    // Asks a daemon's address, secret and folder, starting from given.
    void askDaemonTarget(const RegisteredEngine &engine, const RunPlan &plan, const EngineTarget &given);
    void startRun(const RegisteredEngine &engine, const EngineTarget &target, const RunPlan &plan);
    void runAccepted(int count);
    void runRefused(const QString &message, bool handedOver);
    void downloadProgress(int settled, int total);
    void serverAsksToWait(qint64 ms);
    void downloadFinished(const RunResult &result);
    // A run the window follows file by file, which Stop ends.
    bool downloadRunning() const;
    // Find the end (its search runs while the window stays in use).
    void mnuFindEndClick(QObject *Sender);
    void endFound(const EndFound &found, SeriesAddresses &addresses);
    bool findingEnd() const;
    // Offers the commands that cannot run beside a feed or a download.
    void offerCommands();
    // The whole run at once.
    void mnuCopyRunClick(QObject *Sender);
    void mnuSaveRunListClick(QObject *Sender);
    // Secrets are kept until Serimo closes (always, so a second run in the
    // session needs no keyring); where no keyring answers, only so, which
    // the status line says once.
    void noteSecretsKeptForSession(const QString &engineName);
    // Shows the items of engines that may be absent while they are there.
    void lookForEngines();
    // The URL in the box and the Items - 1 after it, with the counter of
    // each in counters when asked; empty when there is no run, after
    // saying why.
    QStringList runForHandOver(QStringList *counters = nullptr);
    // The run as web addresses to fetch; empty for an empty run, or when one
    // of them cannot be fetched, after saying why.
    QList<QUrl> downloadUrls(const QStringList &run);
    // A page or folder given as the series (nothing to step) is refused
    // with a warning that says what to copy instead; true when refused.
    bool refusePage(const QString &url);
    // The URL Find the end last searched from, and the addresses from it to
    // the end it found: a run of just those goes to that end.
    std::optional<std::pair<QString, qint64>> m_foundEnd;
    // Reads the run's cookies file once, before anything is asked; warns of
    // what it cannot read (false) or left out.
    bool readCookiesOfRun(SiteOptions &site);
    // Where a run goes: the download folder while it exists, else the user's
    // Downloads.
    QString runFolder() const;
    // The item that stops a run says so while one is running.
    void showRunning(bool running);

    // Dialogs.
    void mnuFeedDelayClick(QObject *Sender);
    void mnuAboutClick(QObject *Sender);
    void mnuDownloadOptionsClick(QObject *Sender);

    // Views, toggles, menu and help.
    void btnDefaultViewClick(QObject *Sender);
    void mnuShowTextClick(QObject *Sender);
    void mnuShowURLClick(QObject *Sender);
    void mnuShowHintsClick(QObject *Sender);
    void mnuAlwaysOnTopClick(QObject *Sender);
    void Panel_URLResize(QObject *Sender);
    void ToolBar1Resize(QObject *Sender);
    void mnuPopUp(QObject *Sender);
    void btnHelpClick(QObject *Sender);
    void FormKeyUp(QKeyEvent *event);

    // Settings.
    void LoadSettings();
    void SaveSettings();

    QSize buttonSize() const;

    // Runs an entry from Qt inside the general error guard.
    void guarded(const std::function<void()> &entry);

    // What a step was asked for, from the control that asked.
    enum class StepKind {
        Hidden,       // the hidden Alt+I button, and each tick of a feed run
        Next,         // the Next button
        Back,         // the Back button
        ArrowForward, // the up-down's forward arrow, which has already moved it
        ArrowBack,    // the up-down's back arrow, which has already moved it
        PageStart,    // the first URL of an image page: shown as it is
        PageItem,     // each further URL of an image page
    };
    StepKind stepKindOf(const QObject *Sender) const;

    void buildControls();
    void buildToolBar();
    void buildPopupMenu();
    void bindEvents();
    // Pieces of buildToolBar, bindEvents, LoadSettings and btnIncClick.
    QWidget *addCountPanel(const QString &name, const QString &editName, const QString &caption,
                           const QString &accessibleName, int maximum, const QString &hint, QLabel *&label,
                           ChangeEdit *&edit, UpDown *&upDown);
    void addStepUpDown();
    void bindTextBoxes();
    void bindMenuItems();
    void restoreRecord(const QByteArray &record);
    void loadLastUrl(QStringList &invalid);
    bool stepDigitCounter(StepKind kind);
    bool stepLetterCounter(StepKind kind);
    void setHint(QWidget *control, const QString &hint);
    void applyHints(bool on);
    void applyButtonSize(bool withCaptions);
    // Lays out again the view the window's shape shows (Normal or Toolbar).
    void reapplyView();
    void runDetection(QObject *Sender);
    void showWarning(const QString &text);
    void setDigitsControls(bool digitsMode);
    void enterAlphaMode(QChar letter);
    void enterDigitsMode();
    // Status panel 0 shows the short form of the address in the box, its
    // counter's folder when it has one.
    void showShortForm();
    int digitsValue() const;
    bool isDigitsMode() const;
    QMargins decoration() const;
    bool decorationKnown() const;
    void applyPendingBounds();

    Platform m_platform;
    // The runs library: the engines, the running run, where runs went.
    Runs *m_runs;
    bool m_toldAddressesOnly = false; // that an engine taking addresses only gets no Download options
    QString m_rangeShown; // the range panel 1 showed last
    bool m_toldNoKeepAbove = false; // that this desktop cannot keep Serimo above
    FlowLayout *m_toolBarLayout = nullptr;
    QList<QToolButton *> m_toolButtons;
    QList<std::pair<QWidget *, QString>> m_hints;
    // Bounds or a view asked for before the window manager told us the size
    // of its frame, applied again once it has.
    std::function<void()> m_whenFrameKnown;
    QRect m_placedBounds; // where the stored bounds put the window, null without them
};
