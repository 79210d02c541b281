#include "app/status_line.h"
#include "app/vemp_107.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "platform/shell.h"
#include "platform/dbus/taskbar_progress.h"
#include "runs/runs.h"

#include <QAction>
#include <QDir>
#include <QUrl>

// Download run and every Send run to ...: the run Images would show, handed
// to one of the registered engines while the window stays in use. The
// engine's description says what to ask (run_target.cpp) and how its
// reports are worded; this file hands the run over and shows them.

bool TVempForm::downloadRunning() const
{
    return m_runs->isRunning() && m_runs->controller().context().engine.reportsEachFile;
}

void TVempForm::showRunning(bool running)
{
    const RegisteredEngine *stopping = m_runs->engines().stopping();
    if (QAction *item = stopping ? findChild<QAction *>(stopping->description.menuName) : nullptr)
        item->setText(running ? stopping->description.stopCaption : stopping->description.menuCaption);
}

void TVempForm::mnuDownloadClick(QObject *Sender)
{
    if (downloadRunning()) {
        m_runs->controller().stop();
        return;
    }
    handRunTo(Sender);
}

void TVempForm::mnuSendRunClick(QObject *Sender)
{
    if (downloadRunning()) {
        showWarning(tr("A download is running. Stop it before sending another run."));
        return;
    }
    handRunTo(Sender);
}

void TVempForm::startRun(const RegisteredEngine &engine, const EngineTarget &target, const RunPlan &plan)
{
    if (engine.description.reportsEachFile)
        showRunning(true);
    EngineTarget sent = target;
    sent.site = plan.site;
    m_runs->keep(engine, sent, plan);
    DownloadController &run = m_runs->controller();
    run.start(engine, sent, plan);
    if (const QString sending = runSendingText(run.context(), int(plan.urls.size())); !sending.isEmpty())
        ShowStatus(runSendingGist(run.context(), int(plan.urls.size())), sending);
}

void TVempForm::runAccepted(int count)
{
    const RunContext &context = m_runs->controller().context();
    if (const QString text = runAcceptedText(context, count); !text.isEmpty())
        ShowStatus(runAcceptedGist(context, count), text);
}

void TVempForm::runRefused(const QString &message, bool handedOver)
{
    showRunning(false);
    m_platform.taskbar.clear();
    ShowReady();
    m_platform.messageBoxes.show(tr("Error"), runRefusedText(m_runs->controller().context(), message, handedOver),
                                 MessageBoxes::Icon::Error);
}

// The controller reports a fast run's progress a few times a second.
void TVempForm::downloadProgress(int settled, int total)
{
    ShowStatus(runProgressText(m_runs->controller().context(), settled, total));
    m_platform.taskbar.show(double(settled) / total);
}

void TVempForm::serverAsksToWait(qint64 ms)
{
    ShowStatus(serverWaitText(ms));
}

void TVempForm::downloadFinished(const RunResult &result)
{
    showRunning(false);
    m_platform.taskbar.clear();
    const RunContext &context = m_runs->controller().context();
    const QString gist =
        runStatusGist(result, context, [this](const QString &text) { return StatusBar->fitsBeside(text); });
    // The whole of it in the summary's words.
    const QStringList summary = runSummaryLines(result, context, m_platform.files.homeDirectory());
    ShowStatus(gist, context.engine.reportsEachFile ? summary.join(u'\n') : runStatusText(result, context));
    // A run handed over whole says so in the status line only, as does a
    // download the user stopped (or the window's close ended); a full disk
    // always has its box.
    if (!context.engine.reportsEachFile || (result.stopped && result.writeError.isEmpty()))
        return;
    const QString text = summary.join(u'\n');
    const MessageBoxes::Icon icon = !result.writeError.isEmpty() ? MessageBoxes::Icon::Error
                                    : result.failed() > 0 || foundNothing(result) ? MessageBoxes::Icon::Warning
                                                                                  : MessageBoxes::Icon::None;
    // A folder on another machine cannot be opened here.
    if (!context.folderHere) {
        m_platform.messageBoxes.show(QStringLiteral("Serimo"), text, icon);
        return;
    }
    if (m_platform.messageBoxes.offer(QStringLiteral("Serimo"), text, icon, tr("Open folder"))
        && !Shell::accepted(
            m_platform.shell.ShellOpenFile(context.target.folder, QStringLiteral("open"), QString(), Shell::kShowNormal)))
        m_platform.messageBoxes.show(QStringLiteral("Error"),
                                     tr("No program opened the folder %1.").arg(QDir::toNativeSeparators(context.target.folder)),
                                     MessageBoxes::Icon::Error);
}
