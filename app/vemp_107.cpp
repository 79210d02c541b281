#include "app/vemp_107.h"

#include "app/error_report.h"
#include "app/status_line.h"
#include "app/toolbar_images.h"
#include "runs/runs.h"
#include "platform/busy_cursor.h"
#include "platform/message_boxes.h"
#include "platform/window_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPixmap>
#include <QStyle>
#include <QToolButton>
#include <utility>

static void loadResources()
{
    // The images live in the static core library; make sure they are linked in.
    Q_INIT_RESOURCE(serimo);
}

TVempForm::TVempForm(const Platform &platform, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_platform(platform), m_runs(new Runs(platform.engines, platform.secrets, this))
{
    loadResources();
    setObjectName(QStringLiteral("VempForm"));
    setWindowTitle(QStringLiteral("Serimo " SERIMO_VERSION));
    setWindowIcon(pixelArtIcon(QImage(QStringLiteral(":/serimo.png"))));
    buildControls();
    bindEvents();
    m_platform.shell.setFailureReport(
        [this](const Shell::OpenerFailure &failure) { guarded([&] { openerFailed(failure); }); });
    guarded([this] { FormCreate(); });
}

TVempForm::~TVempForm()
{
    m_platform.shell.setFailureReport({});
}

void TVempForm::guarded(const std::function<void()> &entry)
{
    runGuarded(m_platform.messageBoxes, entry, [this] {
        // An error ends a running feed before its report opens: the report
        // waits for the user, and no tick may open a second one meanwhile.
        if (Timer1->isEnabled()) {
            Timer1->setEnabled(false);
            ShowReady();
        }
    });
}

void TVempForm::FormCreate()
{
    LoadToolbarImages();
    StatusBar->setFixedHeight(Edit1->height());
    ShowReady();
    LoadSettings();
}

void TVempForm::LoadToolbarImages()
{
    ImageVemp.clear();
    for (const QImage &image : cutToolbarStrip(QImage(QStringLiteral(":/bm_vemp.bmp"))))
        ImageVemp.append(pixelArtIcon(image));
    const std::pair<QToolButton *, int> imageIndexes[] = {
        {btnPaste, 4}, {btnCopy, 3}, {btnClipboardDec, 1}, {btnClipboard2, 0},
        {btnFeed, 2},  {btnImages, 8}, {btnPopUp, 6},      {btnHelp, 7},
    };
    for (const auto &[button, index] : imageIndexes) {
        if (index < ImageVemp.size())
            button->setIcon(ImageVemp[index]);
    }
}

void TVempForm::FormActivate()
{
    if (Activated)
        return;
    btnPasteClick(qApp);
    Activated = true;
}

void TVempForm::FormClose()
{
    // A download ends with the window, its unfinished files removed; a
    // daemon goes on with its run.
    m_runs->controller().release();
    SaveSettings();
}

void TVempForm::setStartUrl(const QString &url)
{
    Edit1->setTextCascade(url);
}

void TVempForm::ShowReady()
{
    ShowStatus(QStringLiteral("Ready."));
    m_platform.cursor.ready();
}

void TVempForm::showWarning(const QString &text)
{
    m_platform.messageBoxes.show(tr("Warning"), text, MessageBoxes::Icon::Warning);
}

void TVempForm::ShowStatus(const QString &text)
{
    ShowStatus(text, text);
}

void TVempForm::ShowStatus(const QString &gist, const QString &whole)
{
    StatusBar->setPanelText(1, gist, whole);
    m_seriesWarningShown = false;
}

bool TVempForm::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::WindowActivate:
        applyPendingBounds();
        guarded([this] { FormActivate(); });
        break;
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        applyPendingBounds();
        break;
    case QEvent::ScreenChangeInternal:
        // On a screen of another density the images may want other room.
        if (btnFeed->iconSize().width() != pixelArtLogicalEdge(kToolbarImageSize, devicePixelRatioF())) {
            guarded([this] {
                applyButtonSize(mnuShowText->isChecked());
                reapplyView();
            });
        }
        break;
    default:
        break;
    }
    return handled;
}

void TVempForm::closeEvent(QCloseEvent *event)
{
    // Closing is never refused: a settings error is reported, then we go.
    guarded([this] { FormClose(); });
    event->accept();
}

bool TVempForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        // The application's filter sees a key once per widget it propagates
        // through; take it only at its first receiver, the focus widget.
        QWidget *first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (watched == first && first->window() == this)
            guarded([this, event] { FormKeyUp(static_cast<QKeyEvent *>(event)); });
    } else if (event->type() == QEvent::Resize) {
        if (watched == Panel_URL)
            guarded([this] { Panel_URLResize(Panel_URL); });
        else if (watched == ToolBar1)
            guarded([this] { ToolBar1Resize(ToolBar1); });
    }
    return QWidget::eventFilter(watched, event);
}

bool TVempForm::decorationKnown() const
{
    return isVisible() && frameGeometry() != geometry();
}

QMargins TVempForm::decoration() const
{
    if (decorationKnown())
        return frameMargins(*this);
    // No window manager has told us its frame (yet): assume the style's.
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return {border, title + border, border, border};
}

QRect TVempForm::outerBounds() const
{
    return geometry().marginsAdded(decoration());
}

void TVempForm::setOuterBounds(const QRect &bounds)
{
    if (!decorationKnown())
        m_whenFrameKnown = [this, bounds] { setOuterBounds(bounds); };
    setGeometry(bounds.marginsRemoved(decoration()));
}

void TVempForm::applyPendingBounds()
{
    if (decorationKnown() && m_whenFrameKnown)
        guarded(std::exchange(m_whenFrameKnown, nullptr));
}
