#include "app/vemp_107.h"
#include "output/download_address.h"
#include "output/download_reasons.h"
#include "output/downloader.h"
#include "platform/file_choosers.h"
#include "platform/message_boxes.h"
#include "platform/dbus/taskbar_progress.h"

#include <QAction>
#include <QUrl>

// Download run: the run Images would show, fetched into a folder the user
// picks, while the window stays in use. The engine (downloader.*) reports
// what happened; this file says it to the user.

namespace {
// How many failures the summary names.
constexpr int kFailuresNamed = 5;

QString summaryText(const DownloadSummary &summary, const DownloadOptions &options)
{
    QStringList lines{TVempForm::tr("Downloaded: %1").arg(summary.downloaded),
                      TVempForm::tr("Already there: %1").arg(summary.alreadyThere),
                      TVempForm::tr("Missing: %1").arg(summary.missing),
                      TVempForm::tr("Failed: %1").arg(summary.failed)};
    if (summary.endOfSeries)
        lines << QString() << TVempForm::tr("The series ended: %1 files in a row were missing.").arg(options.missingRunEnd);
    if (summary.serverKeptFailing && !summary.failures.isEmpty())
        lines << QString()
              << TVempForm::tr("The server kept failing: %1.").arg(downloadFailureReason(summary.failures.last(), options));
    if (!summary.failures.isEmpty())
        lines << QString() << TVempForm::tr("Failures:");
    for (const DownloadFailure &failure : summary.failures.mid(0, kFailuresNamed))
        lines << QStringLiteral("%1: %2").arg(failure.url.toString(), downloadFailureReason(failure, options));
    if (summary.failures.size() > kFailuresNamed)
        lines << TVempForm::tr("and %1 more").arg(summary.failures.size() - kFailuresNamed);
    return lines.join(u'\n');
}

} // namespace

bool TVempForm::downloadRunning() const
{
    return m_download && m_download->isRunning();
}

void TVempForm::mnuDownloadClick(QObject *)
{
    if (downloadRunning()) {
        m_download->stop();
        return;
    }
    const QStringList run = runForHandOver();
    if (run.isEmpty())
        return;
    QList<QUrl> urls;
    for (const QString &address : run) {
        const WebAddress web = webAddress(address);
        // The address is shown without a password it may hold.
        const QString shown = QUrl(address, QUrl::TolerantMode).adjusted(QUrl::RemoveUserInfo).toString();
        if (web.problem == WebAddress::Problem::Scheme) {
            showWarning(tr("Only http and https addresses can be downloaded:\n%1").arg(shown));
            return;
        }
        if (web.problem == WebAddress::Problem::NoHost) {
            showWarning(tr("This address names no server to download from:\n%1").arg(shown));
            return;
        }
        urls.append(web.url);
    }

    const QString folder = m_platform.choosers.chooseFolder(this, tr("Download the run into"), runFolder());
    if (folder.isEmpty())
        return;
    if (!folderAcceptsFiles(folder)) {
        showWarning(tr("Serimo cannot write into the folder %1.\nChoose another folder.").arg(folder));
        return;
    }
    downloadFolder = folder;

    if (!m_download) {
        m_download = new Downloader(DownloadOptions(), this);
        connect(m_download, &Downloader::progress, this,
                [this](int settled, int total) { guarded([=, this] { downloadProgress(settled, total); }); });
        connect(m_download, &Downloader::finished, this,
                [this](const DownloadSummary &summary) { guarded([&] { downloadFinished(summary); }); });
    }
    m_download->start(urls, folder);
    mnuDownload->setText(tr("Stop download"));
    downloadProgress(0, int(urls.size()));
}

void TVempForm::downloadProgress(int settled, int total)
{
    ShowStatus(tr("Downloading %1 of %2").arg(std::min(settled + 1, total)).arg(total));
    m_platform.taskbar.show(double(settled) / total);
}

void TVempForm::downloadFinished(const DownloadSummary &summary)
{
    mnuDownload->setText(tr("Down&load run..."));
    m_platform.taskbar.clear();
    QString status = tr("Downloaded %1 of %2").arg(summary.downloaded).arg(summary.total);
    if (summary.alreadyThere > 0)
        status += tr(" (%1 already there)").arg(summary.alreadyThere);
    if (summary.stopped)
        status = tr("Download stopped. ") + status;
    ShowStatus(status);

    if (!summary.writeError.isEmpty()) {
        m_platform.messageBoxes.show(
            tr("Error"),
            tr("The download stopped: %1.\n\n%2").arg(summary.writeError, summaryText(summary, m_download->options())),
            MessageBoxes::Icon::Error);
    } else if (!summary.stopped && (summary.missing > 0 || summary.failed > 0)) {
        // A download the user stopped (or the window's close ended) says so
        // in the status line only.
        m_platform.messageBoxes.show(QStringLiteral("Serimo"), summaryText(summary, m_download->options()),
                                     summary.failed > 0 ? MessageBoxes::Icon::Warning : MessageBoxes::Icon::None);
    }
}
