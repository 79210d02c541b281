#include "platform/help_viewer.h"

#include "common/serimo_error.h"
#include "platform/program_files.h"

#include <QDir>
#include <QFile>
#include <QTextBrowser>

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
        browser->resize(560, 620);
        m_window = browser;
    }
    browser->setHtml(html);
    browser->moveCursor(QTextCursor::Start);
    if (owner && !browser->isVisible())
        browser->move(owner->frameGeometry().topRight() + QPoint(8, 0));
    browser->show();
    browser->raise();
    browser->activateWindow();
}
