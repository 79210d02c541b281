#include "app/help_window.h"

#include "app/help_placement.h"
#include "common/serimo_error.h"
#include "platform/program_files.h"
#include "platform/window_frame.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QGuiApplication>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>

namespace {
// The help window's size on a screen with room for it.
constexpr QSize kWishedSize(560, 620);
} // namespace

void QtHelpViewer::showContext(const QString &helpFile, int /*context*/, QWidget *owner)
{
    const QString path = shippedFile(helpFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SerimoError(QStringLiteral("Cannot open help file %1").arg(QDir::toNativeSeparators(path)));
    const QString html = QString::fromLatin1(file.readAll());

    QTextBrowser *browser = m_window;
    if (!browser) {
        browser = new QTextBrowser(owner);
        browser->setWindowFlag(Qt::Window);
        browser->setObjectName(QStringLiteral("HelpWindow"));
        browser->setOpenExternalLinks(true);
        browser->setWindowTitle(QStringLiteral("Serimo Help"));
        browser->resize(kWishedSize);
        // Closed from the keyboard as a viewer window is.
        for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
            auto *shortcut = new QShortcut(keys, browser);
            QObject::connect(shortcut, &QShortcut::activated, browser, &QWidget::close);
        }
        m_window = browser;
    }
    browser->setHtml(html);
    browser->moveCursor(QTextCursor::Start);
    if (owner && !browser->isVisible()) {
        // Wholly on the screen that holds the owner, whatever its size and
        // scale. Before the window manager has told its frame, the style's
        // title bar and border stand for it: a frame counted as none put
        // the help window's bottom off the screen.
        QMargins decoration = frameMargins(*owner);
        if (decoration.isNull()) {
            const int border = owner->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, owner);
            const int title = owner->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, owner);
            decoration = {border, title + border, border, border};
        }
        const QSize extra(decoration.left() + decoration.right(), decoration.top() + decoration.bottom());
        const QRect ownerFrame = owner->frameGeometry();
        QScreen *screen = QGuiApplication::screenAt(ownerFrame.center());
        if (!screen)
            screen = owner->screen();
        const QRect outer = helpWindowBounds(ownerFrame, kWishedSize + extra, screen->availableGeometry());
        browser->resize(outer.size() - extra);
        // A window's position is that of its frame.
        browser->move(outer.topLeft());
    }
    browser->show();
    browser->raise();
    browser->activateWindow();
}
