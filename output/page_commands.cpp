#include "app/vemp_107.h"
#include "output/image_page.h"
#include "output/page_file.h"
#include "output/website_page.h"
#include "platform/busy_cursor.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "platform/shell.h"
#include "runs/download_address.h"
#include "runs/runs.h"
#include "common/integer_conversion.h"

#include <QCoreApplication>
#include <algorithm>
#include <QDir>
#include <QGuiApplication>
#include <QPalette>
#include <QScopeGuard>
#include <QToolButton>

// Images and Web site: each writes its page whole, then hands it to the
// desktop once, which opens it in the user's browser.

namespace {
void handToBrowser(Shell &shell, MessageBoxes &boxes, const QString &page, const QString &failure)
{
    const int result = shell.ShellOpenFile(page, QStringLiteral("open"), QString(), Shell::kShowNormal);
    if (!Shell::accepted(result))
        boxes.show(QStringLiteral("Error"), failure, MessageBoxes::Icon::Error);
}

quint32 valueOf(const QColor &color)
{
    return colorValue(color.red(), color.green(), color.blue());
}
} // namespace

void TVempForm::ImagesCommand()
{
    {
        m_platform.cursor.busy();
        const auto normalCursor = qScopeGuard([this] { m_platform.cursor.ready(); });
        QCoreApplication::processEvents();
        const qint32 count = strToInt(EditNumItems->text());

        // The run starts at the URL in the box and leaves the box at the URL
        // after it, so the next press shows the next run. A step that fails
        // (its warning shown) ends the command with nothing written.
        QList<ImagePageEntry> entries;
        for (qint32 k = 1; k <= count; ++k) {
            if (k == 1 && !btnIncClick(btnFeed))
                return;
            entries.append({Edit1->text(), ShortURL, m_runs->savedFile(webAddress(Edit1->text()).url)});
            if (!btnIncClick(this))
                return;
        }
        // The colours of text in a window and of the window behind it: the
        // palette's text on its base, as in a text box.
        const QPalette palette = QGuiApplication::palette();
        writePageFile(WebPageFile, imagePage(valueOf(palette.color(QPalette::Active, QPalette::Text)),
                                             valueOf(palette.color(QPalette::Active, QPalette::Base)),
                                             entries));
        const auto asText = std::count_if(entries.begin(), entries.end(),
                                          [](const ImagePageEntry &entry) { return !isLinkedOnPage(entry.url); });
        if (asText > 0)
            ShowStatus(tr("%n address(es) as text", nullptr, int(asText)),
                       tr("%n address(es) written as text: not http, https, ftp or file.", nullptr, int(asText)));
    }
    handToBrowser(m_platform.shell, m_platform.messageBoxes, WebPageFile, tr("Web Browser not found."));
}

void TVempForm::openerFailed(const Shell::OpenerFailure &failure)
{
    const QString why = failure.signal != 0 ? tr("%1 was ended by signal %2").arg(failure.opener).arg(failure.signal)
                                            : tr("%1 ended with %2").arg(failure.opener).arg(failure.exitStatus);
    m_platform.messageBoxes.show(QStringLiteral("Error"),
                                 tr("The browser could not open %1: %2.").arg(QDir::toNativeSeparators(failure.file), why),
                                 MessageBoxes::Icon::Error);
}

void TVempForm::mnuWebsiteClick(QObject *)
{
    const QString page = ensureTrailingSlash(m_platform.files.pageDirectory()) + kWebSitePageName;
    writePageFile(page, websitePage(kWebSiteUrl, kAuthorMail));
    handToBrowser(m_platform.shell, m_platform.messageBoxes, page, tr("Browser not found."));
}
