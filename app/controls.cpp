#include "app/flow_layout.h"
#include "app/status_line.h"
#include "app/toolbar_images.h"
#include "app/vemp_107.h"
#include "platform/clipboard.h"
#include "runs/runs.h"
#include "series/series_text.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace {
constexpr int kDefinitionButtonWidth = 45;
constexpr int kDefinitionButtonHeight = 36;
constexpr int kSeparatorWidth = 4;

// A tool bar separator: a gap of four pixels as tall as a button, which the
// flow layout may shrink to nothing where a row breaks.
class ToolSeparator : public QWidget
{
public:
    ToolSeparator(const QString &name, QWidget *parent) : QWidget(parent)
    {
        setObjectName(name);
        setMinimumSize(0, 0);
    }
    void setButtonHeight(int height)
    {
        m_height = height;
        updateGeometry();
    }
    QSize sizeHint() const override { return {kSeparatorWidth, m_height}; }

private:
    int m_height = kDefinitionButtonHeight;
};

QToolButton *makeToolButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAccessibleName(caption);
    button->setAutoRaise(true);
    button->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

ChangeEdit *makeCountEdit(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *edit = new ChangeEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setText(QStringLiteral("1"));
    return edit;
}

QLabel *makeCountLabel(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    label->setAccessibleName(caption.trimmed());
    return label;
}
} // namespace

void TVempForm::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel_URL = new QFrame(this);
    Panel_URL->setObjectName(QStringLiteral("Panel_URL"));
    Panel_URL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Edit1 = new ChangeEdit(Panel_URL);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(tr("URL"));
    Edit1->setMaxLength(std::numeric_limits<int>::max()); // never cut a stored URL
    Edit1->setText(kExampleUrl);
    Edit1->setFixedHeight(Edit1->sizeHint().height());
    Panel_URL->setFixedHeight(Edit1->height() + 5);
    layout->addWidget(Panel_URL);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(1);
    btnClipboard = new QPushButton(tr("&Inc clipboard"), Panel1);
    btnClipboard->setObjectName(QStringLiteral("btnClipboard"));
    btnClipboard->setAccessibleName(tr("Inc clipboard"));
    btnClipboard->setFocusPolicy(Qt::NoFocus);
    btnClipboard->setGeometry(1, 0, 1, 1);
    layout->addWidget(Panel1);

    buildToolBar();
    layout->addWidget(ToolBar1, 1);

    StatusBar = new StatusLine(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setAccessibleName(tr("Status"));
    layout->addWidget(StatusBar);

    Timer1 = new FeedTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    buildPopupMenu();

    setHint(StatusBar, tr("Current URL and range"));
    applyButtonSize(true);
}

void TVempForm::buildToolBar()
{
    ToolBar1 = new QFrame(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFrameStyle(QFrame::NoFrame);
    ToolBar1->setBackgroundRole(QPalette::Button);
    ToolBar1->setAutoFillBackground(true);
    m_toolBarLayout = new FlowLayout(ToolBar1);

    auto separator = [this](const QString &name) {
        auto *gap = new ToolSeparator(name, ToolBar1);
        m_toolBarLayout->addSeparator(gap);
        return gap;
    };
    auto button = [this](const QString &name, const QString &caption, const QString &hint) {
        QToolButton *b = makeToolButton(name, caption, ToolBar1);
        setHint(b, hint);
        m_toolButtons.append(b);
        m_toolBarLayout->addWidget(b);
        return b;
    };

    Panel_Digits = addCountPanel(QStringLiteral("Digits"), QStringLiteral("EditDigits"), tr("Digits "), tr("Digits"),
                                 kLongestCounter, tr("URL digits to modify"), LabelDigits, EditDigits, UpDownDigits);
    addStepUpDown();

    btndiv1 = separator(QStringLiteral("btndiv1"));
    btnPaste = button(QStringLiteral("btnPaste"), tr("Paste"), tr("Paste from clipboard"));
    btnCopy = button(QStringLiteral("btnCopy"), tr("Copy"), tr("Copy to clipboard"));
    btnSep2 = separator(QStringLiteral("btnSep2"));
    btnClipboardDec = button(QStringLiteral("btnClipboardDec"), tr("Back"), tr("Decrement clipboard"));
    btnClipboard2 = button(QStringLiteral("btnClipboard2"), tr("Next"), tr("Increment clipboard"));
    btndiv2 = separator(QStringLiteral("btndiv2"));
    btnFeed = button(QStringLiteral("btnFeed"), tr("Feed"), tr("Feed series"));

    Panel_Items = addCountPanel(QStringLiteral("Items"), QStringLiteral("EditNumItems"), tr("Items"), tr("Items"), 100,
                                tr("# of items to increment"), LabelItems, EditNumItems, UpDownItems);

    btnSep1 = separator(QStringLiteral("btnSep1"));
    btnImages = button(QStringLiteral("btnImages"), tr("Images"), tr("Send images to Web page"));
    btnPopUp = button(QStringLiteral("btnPopUp"), tr("Menu"), tr("Popup menu"));
    btnsep5 = separator(QStringLiteral("btnsep5"));
    btnHelp = button(QStringLiteral("btnHelp"), tr("Help"), tr("Help!"));
}

// A count box: caption, edit box and up-down in a panel of their own, the
// tool bar's next control.
QWidget *TVempForm::addCountPanel(const QString &name, const QString &editName, const QString &caption,
                                  const QString &accessibleName, int maximum, const QString &hint, QLabel *&label,
                                  ChangeEdit *&edit, UpDown *&upDown)
{
    auto *panel = new QWidget(ToolBar1);
    panel->setObjectName(QStringLiteral("Panel_") + name);
    label = makeCountLabel(QStringLiteral("Label") + name, caption, panel);
    edit = makeCountEdit(editName, accessibleName, panel);
    upDown = new UpDown(Qt::Vertical, 1, maximum, false, panel);
    upDown->setObjectName(QStringLiteral("UpDown") + name);
    upDown->setBuddy(edit);
    upDown->setPosition(1);
    setHint(label, hint);
    setHint(edit, hint);
    upDown->setAccessibleName(hint);
    m_toolBarLayout->addWidget(panel);
    return panel;
}

// The up-down that steps the URL, framed, the tool bar's next control.
void TVempForm::addStepUpDown()
{
    Panel_Wait = new QFrame(ToolBar1);
    Panel_Wait->setObjectName(QStringLiteral("Panel_Wait"));
    Panel_Wait->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel_Wait->setLineWidth(1);
    UpDownDoc = new UpDown(Qt::Horizontal, -32760, 32760, true, Panel_Wait);
    UpDownDoc->setObjectName(QStringLiteral("UpDownDoc"));
    setHint(UpDownDoc, tr("Decrement/increment URL"));
    UpDownDoc->setAccessibleName(tr("Decrement/increment URL"));
    m_toolBarLayout->addWidget(Panel_Wait);
}

void TVempForm::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [this](const QString &name, const QString &caption, bool checkable = false) {
        QAction *action = PopupMenu1->addAction(caption);
        action->setObjectName(name);
        action->setCheckable(checkable);
        return action;
    };
    auto divider = [this](const QString &name) { PopupMenu1->addSeparator()->setObjectName(name); };

    mnuAlwaysOnTop = item(QStringLiteral("mnuAlwaysOnTop"), tr("Stay on &top"), true);
    mnuShowURL = item(QStringLiteral("mnuShowURL"), tr("Show &URL"), true);
    mnuShowHints = item(QStringLiteral("mnuShowHints"), tr("Show &hints"), true);
    mnuShowText = item(QStringLiteral("mnuShowText"), tr("Show text"), true);
    mnuShowURL->setChecked(true);
    mnuShowHints->setChecked(true);
    mnuShowText->setChecked(true);
    divider(QStringLiteral("N3"));
    mnuFeedDelay = item(QStringLiteral("mnuFeedDelay"), tr("Feed &delay"));
    divider(QStringLiteral("N4"));
    mnuFindEnd = item(QStringLiteral("mnuFindEnd"), tr("&Find the end"));
    // The engines whose items stop a run come first, then the run's own
    // commands, then the engines a run is sent to, as the registry lists
    // them.
    auto engineItems = [&](bool stopping) {
        for (const RegisteredEngine &engine : m_runs->engines().engines()) {
            const EngineDescription &description = engine.description;
            if (description.stopCaption.isEmpty() == stopping)
                continue;
            item(description.menuName, description.menuCaption)->setVisible(!description.mayBeAbsent);
        }
    };
    engineItems(true);
    mnuCopyRun = item(QStringLiteral("mnuCopyRun"), tr("Copy &run"));
    mnuSaveRunList = item(QStringLiteral("mnuSaveRunList"), tr("&Save run list..."));
    engineItems(false);
    mnuDownloadOptions = item(QStringLiteral("mnuDownloadOptions"), tr("Download &options..."));
    divider(QStringLiteral("N1"));
    btnDefaultView = item(QStringLiteral("btnDefaultView"), tr("Normal view"));
    mnuToolbarStyle = item(QStringLiteral("mnuToolbarStyle"), tr("Toolbar view"));
    divider(QStringLiteral("N2"));
    mnuAbout = item(QStringLiteral("mnuAbout"), tr("&About"));
    mnuHelp = item(QStringLiteral("mnuHelp"), tr("&Help"));
    mnuWebsite = item(QStringLiteral("mnuWebsite"), tr("&Web site"));
}

// The text boxes' change handlers and paste sources, and the up-downs'
// arrows.
void TVempForm::bindTextBoxes()
{
    const Guard guard = [this](const std::function<void()> &f) { guarded(f); };
    Edit1->setChangeHandler([this] { Edit1Change(Edit1); }, guard);
    EditDigits->setChangeHandler([this] { EditDigitsChange(EditDigits); }, guard);
    EditNumItems->setChangeHandler([this] { EditNumItemsChange(EditNumItems); }, guard);
    // On X the middle click's paste of the text last selected reads it with
    // the clipboard's deadline too; elsewhere it stays Qt's own.
    const bool onX = QGuiApplication::platformName() == QLatin1String("xcb");
    for (ChangeEdit *box : {Edit1, EditDigits, EditNumItems}) {
        std::function<void()> pasteSelection;
        if (onX)
            pasteSelection = [this, box] { guarded([this, box] { pasteIntoBox(box, true); }); };
        box->setPasteSource({[this, box] { guarded([this, box] { pasteIntoBox(box); }); },
                             [this] {
                                 // An owner that did not answer keeps Paste, which then says so.
                                 bool offered = true;
                                 guarded([&] {
                                     offered = m_platform.clipboard.hasText() || !m_platform.clipboard.answered();
                                 });
                                 return offered;
                             },
                             std::move(pasteSelection)});
    }
    UpDownDigits->setArrowHandler({}, guard);
    UpDownItems->setArrowHandler({}, guard);
    UpDownDoc->setArrowHandler([this](UpDown::Arrow arrow) { UpDownDocClick(UpDownDoc, arrow); }, guard);
}

// The pop-up menu's items, and what it offers each time it opens.
void TVempForm::bindMenuItems()
{
    auto slot = [this](auto handler) { return [this, handler] { guarded(handler); }; };
    // A checkable action has already flipped its mark when it reports the
    // click; the toggle handlers do the flipping themselves.
    auto toggle = [this](QAction *item, auto handler) {
        return [this, item, handler] {
            item->setChecked(!item->isChecked());
            guarded(handler);
        };
    };
    connect(mnuAlwaysOnTop, &QAction::triggered, this,
            toggle(mnuAlwaysOnTop, [this] { mnuAlwaysOnTopClick(mnuAlwaysOnTop); }));
    connect(mnuShowURL, &QAction::triggered, this, toggle(mnuShowURL, [this] { mnuShowURLClick(mnuShowURL); }));
    connect(mnuShowHints, &QAction::triggered, this,
            toggle(mnuShowHints, [this] { mnuShowHintsClick(mnuShowHints); }));
    connect(mnuShowText, &QAction::triggered, this, toggle(mnuShowText, [this] { mnuShowTextClick(mnuShowText); }));
    connect(btnDefaultView, &QAction::triggered, this, slot([this] { btnDefaultViewClick(btnDefaultView); }));
    connect(mnuToolbarStyle, &QAction::triggered, this, slot([this] { btnDefaultViewClick(mnuToolbarStyle); }));
    connect(mnuHelp, &QAction::triggered, this, slot([this] { btnHelpClick(mnuHelp); }));
    connect(mnuWebsite, &QAction::triggered, this, slot([this] { mnuWebsiteClick(mnuWebsite); }));
    connect(mnuFeedDelay, &QAction::triggered, this, slot([this] { mnuFeedDelayClick(mnuFeedDelay); }));
    connect(mnuAbout, &QAction::triggered, this, slot([this] { mnuAboutClick(mnuAbout); }));
    connect(mnuFindEnd, &QAction::triggered, this, slot([this] { mnuFindEndClick(mnuFindEnd); }));
    for (const RegisteredEngine &engine : m_runs->engines().engines()) {
        auto *engineItem = findChild<QAction *>(engine.description.menuName);
        const bool stops = !engine.description.stopCaption.isEmpty();
        connect(engineItem, &QAction::triggered, this, slot([this, engineItem, stops] {
                    if (stops)
                        mnuDownloadClick(engineItem);
                    else
                        mnuSendRunClick(engineItem);
                }));
    }
    connect(mnuCopyRun, &QAction::triggered, this, slot([this] { mnuCopyRunClick(mnuCopyRun); }));
    connect(mnuSaveRunList, &QAction::triggered, this, slot([this] { mnuSaveRunListClick(mnuSaveRunList); }));
    connect(mnuDownloadOptions, &QAction::triggered, this,
            slot([this] { mnuDownloadOptionsClick(mnuDownloadOptions); }));
    connect(PopupMenu1, &QMenu::aboutToShow, this, slot([this] {
                lookForEngines();
                offerCommands();
            }));
}

void TVempForm::bindEvents()
{
    const Guard guard = [this](const std::function<void()> &f) { guarded(f); };
    auto slot = [this](auto handler) { return [this, handler] { guarded(handler); }; };

    bindTextBoxes();
    Timer1->setTickHandler([this] { Timer1Timer(); }, guard);

    connect(btnClipboard, &QPushButton::clicked, this, slot([this] { btnIncClick(btnClipboard); }));
    connect(btnClipboardDec, &QToolButton::clicked, this, slot([this] { btnIncClick(btnClipboardDec); }));
    connect(btnClipboard2, &QToolButton::clicked, this, slot([this] { btnIncClick(btnClipboard2); }));
    connect(btnPaste, &QToolButton::clicked, this, slot([this] { btnPasteClick(btnPaste); }));
    connect(btnCopy, &QToolButton::clicked, this, slot([this] { btnCopyClick(btnCopy); }));
    connect(btnFeed, &QToolButton::clicked, this, slot([this] { btnFeedClick(btnFeed); }));
    connect(btnImages, &QToolButton::clicked, this, slot([this] { btnFeedClick(btnImages); }));
    connect(btnPopUp, &QToolButton::clicked, this, slot([this] { mnuPopUp(btnPopUp); }));
    connect(btnHelp, &QToolButton::clicked, this, slot([this] { btnHelpClick(btnHelp); }));

    bindMenuItems();
    const DownloadController &run = m_runs->controller();
    connect(&run, &DownloadController::accepted, this, [this](int count) { guarded([=, this] { runAccepted(count); }); });
    connect(&run, &DownloadController::refused, this, [this](const QString &message, bool handedOver) {
        guarded([&] { runRefused(message, handedOver); });
    });
    connect(&run, &DownloadController::progress, this,
            [this](int settled, int total) { guarded([=, this] { downloadProgress(settled, total); }); });
    connect(&run, &DownloadController::serverAsksToWait, this,
            [this](qint64 ms) { guarded([=, this] { serverAsksToWait(ms); }); });
    connect(&run, &DownloadController::finished, this,
            [this](const RunResult &result) { guarded([&] { downloadFinished(result); }); });

    for (QWidget *owner : {static_cast<QWidget *>(ToolBar1), static_cast<QWidget *>(StatusBar),
                           static_cast<QWidget *>(UpDownDoc)}) {
        owner->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(owner, &QWidget::customContextMenuRequested, this,
                [this, owner](const QPoint &at) { PopupMenu1->popup(owner->mapToGlobal(at)); });
    }
    Panel_URL->installEventFilter(this);
    ToolBar1->installEventFilter(this);
    // Key preview: the window sees every key release before its controls.
    qApp->installEventFilter(this);
}

void TVempForm::setHint(QWidget *control, const QString &hint)
{
    control->setToolTip(hint);
    m_hints.append({control, hint});
}

void TVempForm::applyHints(bool on)
{
    for (const auto &[control, hint] : std::as_const(m_hints))
        control->setToolTip(on ? hint : QString());
    StatusBar->setTipsShown(on);
}

QSize TVempForm::buttonSize() const
{
    return btnFeed->size();
}

void TVempForm::applyButtonSize(bool withCaptions)
{
    // The tool bar's buttons are 45 x 36 with captions, unless the desktop's
    // font needs more room; without captions they are as tall as the image.
    const QFontMetrics metrics = fontMetrics();
    int width = kDefinitionButtonWidth;
    for (const QToolButton *b : std::as_const(m_toolButtons))
        width = std::max(width, metrics.horizontalAdvance(b->text()) + 10);
    const int editHeight = std::max(21, metrics.height() + 6);
    const int labelHeight = metrics.height();
    // On a dense screen the images get room for a whole-multiple enlargement.
    const int image = pixelArtLogicalEdge(kToolbarImageSize, devicePixelRatioF());
    const int height = withCaptions
                           ? std::max({kDefinitionButtonHeight, image + metrics.height() + 10,
                                       editHeight + labelHeight + 2})
                           : std::max(image + 8, editHeight + 2);

    for (QToolButton *b : std::as_const(m_toolButtons)) {
        b->setIconSize(QSize(image, image));
        b->setToolButtonStyle(withCaptions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        b->setFixedSize(width, height);
    }
    for (QWidget *panel : {Panel_Digits, static_cast<QWidget *>(Panel_Wait), Panel_Items})
        panel->setFixedHeight(height);
    for (QWidget *gap : {btndiv1, btnSep2, btndiv2, btnSep1, btnsep5})
        static_cast<ToolSeparator *>(gap)->setButtonHeight(height);

    const int countWidth = std::max(21, metrics.horizontalAdvance(QStringLiteral("999")) + 8);
    // The Digits box shows two digits: widths run to kLongestCounter.
    const int digitsWidth = std::min(countWidth, std::max(21, metrics.horizontalAdvance(QStringLiteral("99")) + 10));
    for (auto [edit, upDown, label] : {std::tuple{EditDigits, UpDownDigits, LabelDigits},
                                       std::tuple{EditNumItems, UpDownItems, LabelItems}}) {
        edit->setFixedSize(edit == EditDigits ? digitsWidth : countWidth,
                           editHeight);
        upDown->setFixedSize(13, editHeight);
        label->setGeometry(0, height - labelHeight, width, labelHeight);
    }
    ToolBar1Resize(ToolBar1);
}
