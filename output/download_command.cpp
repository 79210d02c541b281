#include "app/vemp_107.h"
#include "output/download_address.h"
#include "output/download_report.h"
#include "output/downloader.h"
#include "output/run_summary.h"
#include "platform/file_choosers.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "platform/shell.h"
#include "platform/dbus/taskbar_progress.h"

#include <QAction>
#include <QUrl>

// Download run: the run Images would show, fetched into a folder the user
// picks, while the window stays in use. The engine (downloader.*) reports
// what happened; this file says it to the user.

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
    m_downloadRun = run;

    if (!m_download) {
        m_download = new Downloader(DownloadOptions(), this);
        connect(m_download, &Downloader::progress, this,
                [this](int settled, int total) { guarded([=, this] { downloadProgress(settled, total); }); });
        connect(m_download, &Downloader::finished, this,
                [this](const DownloadSummary &summary) { guarded([&] { downloadFinished(summary); }); });
    }
    m_download->start(urls, folder);
    mnuDownload->setText(tr("Stop down&load"));
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
    const RunResult result = runResultOf(summary, m_download->options(), m_downloadRun, downloadFolder);
    ShowStatus(runStatusText(result));
    // A download the user stopped (or the window's close ended) says so in
    // the status line only; a full disk always has its box.
    if (result.stopped && result.writeError.isEmpty())
        return;
    const QString text = runSummaryLines(result, m_platform.files.homeDirectory()).join(u'\n');
    const MessageBoxes::Icon icon = !result.writeError.isEmpty() ? MessageBoxes::Icon::Error
                                    : result.failed > 0          ? MessageBoxes::Icon::Warning
                                                                 : MessageBoxes::Icon::None;
    if (m_platform.messageBoxes.offer(QStringLiteral("Serimo"), text, icon, tr("Open folder")))
        m_platform.shell.ShellOpenFile(downloadFolder, QStringLiteral("open"), QString(), Shell::kShowNormal);
}
