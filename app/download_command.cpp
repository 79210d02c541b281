#include "app/vemp_107.h"
#include "runs/download_controller.h"
#include "runs/downloader.h"
#include "runs/local_engine.h"
#include "platform/file_choosers.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "platform/secret_store.h"
#include "platform/shell.h"
#include "platform/dbus/taskbar_progress.h"

#include <QAction>
#include <QPointer>
#include <QDir>
#include <QUrl>

// Download run: the run Images would show, fetched into a folder the user
// picks, while the window stays in use. Any engine a run goes to (Serimo's
// own here, aria2 in aria2_command.cpp) reports through the one download
// controller; this file says it to the user.

bool TVempForm::downloadRunning() const
{
    return m_run && m_run->isRunning();
}

void TVempForm::mnuDownloadClick(QObject *)
{
    if (downloadRunning()) {
        m_run->stop();
        return;
    }
    const QStringList run = runForHandOver();
    const QList<QUrl> urls = downloadUrls(run);
    if (urls.isEmpty())
        return;

    const QString folder = m_platform.choosers.chooseFolder(this, tr("Download the run into"), runFolder());
    if (folder.isEmpty())
        return;
    if (!folderAcceptsFiles(folder)) {
        showWarning(tr("Serimo cannot write into the folder %1.\nChoose another folder.").arg(folder));
        return;
    }
    downloadFolder = folder;
    m_runEngineName.clear();
    m_runEngineAddress.clear();
    m_secretToRemember.reset();
    m_runFolderHere = true;
    startRun(std::make_unique<LocalEngine>(DownloadOptions(), folder), run, urls, folder);
    downloadProgress(0, int(urls.size()));
}

void TVempForm::startRun(std::unique_ptr<DownloadEngine> engine, const QStringList &run, const QList<QUrl> &urls,
                         const QString &folder)
{
    if (!m_run) {
        m_run = new DownloadController(this);
        connect(m_run, &DownloadController::accepted, this, [this](int count) { guarded([=, this] { runAccepted(count); }); });
        connect(m_run, &DownloadController::refused, this, [this](const QString &message, bool handedOver) {
            guarded([&] { runRefused(message, handedOver); });
        });
        connect(m_run, &DownloadController::progress, this,
                [this](int settled, int total) { guarded([=, this] { downloadProgress(settled, total); }); });
        connect(m_run, &DownloadController::finished, this,
                [this](const RunResult &result) { guarded([&] { downloadFinished(result); }); });
    }
    mnuDownload->setText(tr("Stop down&load"));
    m_run->start(std::move(engine), run, urls, folder);
}

void TVempForm::runAccepted(int count)
{
    // The daemon took the run: its secret is the right one to remember.
    if (const auto remember = std::exchange(m_secretToRemember, std::nullopt)) {
        QPointer<TVempForm> self(this);
        m_platform.secrets.write(remember->first, remember->second, [self](bool stored) {
            if (self && !stored)
                self->guarded([&] { self->giveUpKeyring(); });
        });
    }
    // A daemon goes on with the run when Serimo closes: the user learns so
    // when it takes the run.
    if (!m_runEngineName.isEmpty())
        ShowStatus(tr("%1 at %2 took %3 URLs; it goes on downloading if Serimo closes.")
                       .arg(m_runEngineName, m_runEngineAddress)
                       .arg(count));
}

void TVempForm::runRefused(const QString &message, bool handedOver)
{
    m_secretToRemember.reset();
    mnuDownload->setText(tr("Down&load run..."));
    m_platform.taskbar.clear();
    ShowReady();
    const QString text = handedOver ? tr("%1 at %2 stopped answering: %3") : tr("%1 at %2 did not take the run: %3");
    m_platform.messageBoxes.show(tr("Error"), text.arg(m_runEngineName, m_runEngineAddress, message),
                                 MessageBoxes::Icon::Error);
}

void TVempForm::downloadProgress(int settled, int total)
{
    ShowStatus(m_runEngineName.isEmpty()
                   ? tr("Downloading %1 of %2").arg(std::min(settled + 1, total)).arg(total)
                   : tr("%1: %2 of %3 done").arg(m_runEngineName).arg(settled).arg(total));
    m_platform.taskbar.show(double(settled) / total);
}

void TVempForm::downloadFinished(const RunResult &result)
{
    mnuDownload->setText(tr("Down&load run..."));
    m_platform.taskbar.clear();
    ShowStatus(runStatusText(result));
    // A download the user stopped (or the window's close ended) says so in
    // the status line only; a full disk always has its box.
    if (result.stopped && result.writeError.isEmpty())
        return;
    const QString text = runSummaryLines(result, m_platform.files.homeDirectory()).join(u'\n');
    const MessageBoxes::Icon icon = !result.writeError.isEmpty() ? MessageBoxes::Icon::Error
                                    : result.failed > 0 || foundNothing(result) ? MessageBoxes::Icon::Warning
                                                                                : MessageBoxes::Icon::None;
    // A folder on another machine cannot be opened here.
    if (!m_runFolderHere) {
        m_platform.messageBoxes.show(QStringLiteral("Serimo"), text, icon);
        return;
    }
    if (m_platform.messageBoxes.offer(QStringLiteral("Serimo"), text, icon, tr("Open folder"))
        && !Shell::accepted(
            m_platform.shell.ShellOpenFile(result.folder, QStringLiteral("open"), QString(), Shell::kShowNormal)))
        m_platform.messageBoxes.show(QStringLiteral("Error"),
                                     tr("No program opened the folder %1.").arg(QDir::toNativeSeparators(result.folder)),
                                     MessageBoxes::Icon::Error);
}
