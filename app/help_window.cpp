#include "app/help_window.h"

#include "app/help_placement.h"
#include "common/serimo_error.h"
#include "platform/program_files.h"
#include "platform/window_frame.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QShortcut>
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
        // Wholly on the owner's screen, whatever its size and scale.
        const QMargins decoration = frameMargins(*owner);
        const QSize extra(decoration.left() + decoration.right(), decoration.top() + decoration.bottom());
        const QRect outer =
            helpWindowBounds(owner->frameGeometry(), kWishedSize + extra, owner->screen()->availableGeometry());
        browser->resize(outer.size() - extra);
        // A window's position is that of its frame.
        browser->move(outer.topLeft());
    }
    browser->show();
    browser->raise();
    browser->activateWindow();
}
