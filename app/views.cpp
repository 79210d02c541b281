#include "app/flow_layout.h"
#include "app/status_line.h"
#include "app/vemp_107.h"
#include "app/view_geometry.h"
#include "platform/help_viewer.h"
#include "platform/keep_above.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QToolButton>

// The window's layout gives Panel_URL the full client width on every resize
// of the window, which runs Panel_URLResize; that is how the URL box follows
// the window's size.

void TVempForm::btnDefaultViewClick(QObject *Sender)
{
    const QMargins frame = decoration();
    ViewInputs in;
    in.button = buttonSize();
    in.cap = frame.top() + frame.bottom();
    in.statusHeight = StatusBar->height();
    in.urlHeight = Panel_URL->isHidden() ? 0 : Panel_URL->height();

    QRect bounds;
    if (Sender == mnuToolbarStyle) {
        bounds = toolbarViewBounds(in, outerBounds());
    } else {
        const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        bounds = normalViewBounds(in, outerBounds(), screen->geometry(), Sender == qApp);
    }
    setOuterBounds(bounds);
    // The view's height counts the frame: lay it out again once it is known.
    if (!decorationKnown())
        m_whenFrameKnown = [this, Sender] { btnDefaultViewClick(Sender); };
}

void TVempForm::mnuShowTextClick(QObject *Sender)
{
    const bool on = !mnuShowText->isChecked();
    mnuShowText->setChecked(on);
    LabelDigits->setVisible(on);
    LabelItems->setVisible(on);
    applyButtonSize(on);
    if (Sender == qApp)
        return;
    reapplyView();
}

void TVempForm::reapplyView()
{
    // The view follows from the window's shape: wider than tall is Normal.
    const QRect bounds = outerBounds();
    btnDefaultViewClick(bounds.width() > bounds.height() ? static_cast<QObject *>(this) : mnuToolbarStyle);
}

void TVempForm::mnuShowURLClick(QObject *)
{
    const bool on = !mnuShowURL->isChecked();
    mnuShowURL->setChecked(on);
    Panel_URL->setVisible(on);
}

void TVempForm::mnuShowHintsClick(QObject *)
{
    const bool on = !mnuShowHints->isChecked();
    mnuShowHints->setChecked(on);
    applyHints(on);
}

void TVempForm::mnuAlwaysOnTopClick(QObject *)
{
    const bool on = !mnuAlwaysOnTop->isChecked();
    mnuAlwaysOnTop->setChecked(on);
    if (!m_platform.keepAbove.set(this, on) && !m_toldNoKeepAbove) {
        m_toldNoKeepAbove = true;
        ShowStatus(tr("No Stay on top here"), tr("Stay on top is not available on this desktop."));
    }
}

void TVempForm::Panel_URLResize(QObject *)
{
    Panel_URL->setFixedHeight(Edit1->height() + 5);
    Edit1->setGeometry(1, (Panel_URL->height() - Edit1->height()) / 2 + 1, Panel_URL->width() - 2,
                       Edit1->height());
}

// Sizes the three panels to one button and centres the boxes with their
// up-downs in them.
void TVempForm::ToolBar1Resize(QObject *)
{
    const int width = btnFeed->width();
    Panel_Items->setFixedWidth(width);
    const int left = (width - (EditNumItems->width() + UpDownItems->width())) / 2;
    EditNumItems->move(left, EditNumItems->y());
    UpDownItems->move(left + EditNumItems->width(), UpDownItems->y());
    Panel_Wait->setFixedWidth(width);
    UpDownDoc->setGeometry(Panel_Wait->contentsRect());
    Panel_Digits->setFixedWidth(width);
    EditDigits->move(left, EditDigits->y());
    UpDownDigits->move(left + EditDigits->width(), UpDownDigits->y());
}

void TVempForm::mnuPopUp(QObject *)
{
    PopupMenu1->popup(QCursor::pos());
}

void TVempForm::btnHelpClick(QObject *)
{
    m_platform.help.showContext(QStringLiteral("qxvemp.hlp"), 0, this);
}
