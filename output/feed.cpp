#include "app/status_line.h"
#include "app/vemp_107.h"
#include "output/feed_hold.h"
#include "platform/busy_cursor.h"
#include "platform/foreground_window.h"
#include "platform/message_boxes.h"
#include "common/integer_conversion.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

// A feed run is Timer1 being enabled: each tick hands one URL of the series
// to the clipboard through the hidden step button, FeedCount of FeedTotal.

void TVempForm::btnFeedClick(QObject *Sender)
{
    if (Sender != btnFeed) {
        ImagesCommand();
        return;
    }
    FeedCount = 0;
    const qint32 total = strToInt(EditNumItems->text());
    m_platform.cursor.busy();
    FeedTotal = total;
    Timer1->setEnabled(true);
}

void TVempForm::Timer1Timer()
{
    // The count never passes the total, whatever the Items box held.
    if (FeedCount >= FeedTotal) {
        Timer1->setEnabled(false);
        ShowReady();
        return;
    }
    if (const QString title = m_platform.foreground.title(); titleHoldsFeed(title)) {
        showFeedHeld(title);
        return;
    }

    // A step that fails (the Digits box holds no number) ends the run in the
    // guard, before the error report opens.
    btnIncClick(btnClipboard);
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
    // The step's warning, Esc or another stop switched the timer off.
    if (!Timer1->isEnabled())
        return;

    Timer1->setEnabled(false);
    ++FeedCount;
    UpDownItems->setPosition(UpDownItems->position() - 1);
    ShowStatus(QStringLiteral("Sending %1 of %2").arg(FeedCount).arg(FeedTotal));
    // The next tick comes one full interval after this one's work.
    Timer1->setEnabled(true);
}

void TVempForm::showFeedHeld(const QString &title)
{
    const QString text = tr("Waiting: \"%1\" is in front");
    const QLabel *panel = StatusBar->panel(1);
    const QFontMetrics metrics = panel->fontMetrics();
    // The status line's room right of panel 0, less the panel's margins
    // and the words around the title.
    const int room = std::max(StatusBar->width() - StatusBar->panel(0)->width() - 16
                                  - metrics.horizontalAdvance(text.arg(QString())),
                              metrics.averageCharWidth() * 8);
    const QString shown =
        heldTitleShown(title, [&](const QString &candidate) { return metrics.horizontalAdvance(candidate) <= room; });
    ShowStatus(text.arg(shown), text.arg(title));
}

void TVempForm::FormKeyUp(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        btnHelpClick(this);
    } else if (event->key() == Qt::Key_Escape && Timer1->isEnabled()) {
        Timer1->setEnabled(false);
        m_platform.messageBoxes.show(QStringLiteral("Serimo"), tr("Batch cancelled."), MessageBoxes::Icon::None);
        ShowReady();
    } else if (event->key() == Qt::Key_Escape && findingEnd()) {
        mnuFindEndClick(this);
    } else if (event->key() == Qt::Key_Escape && downloadRunning()) {
        // Esc stops a download only when no feed runs: the feed has it first.
        mnuDownloadClick(this);
    }
}
