#include "app/terminal_download.h"

#include "app/command_line.h"
#include "app/terminal_find_end.h"
#include "app/terminal_lines.h"
#include "common/english_plurals.h"
#include "common/translate_main.h"
#include "runs/download_address.h"
#include "runs/download_controller.h"
#include "runs/end_finder.h"
#include "runs/engine_registry.h"
#include "runs/local_engine.h"
#include "runs/run_summary.h"
#include "runs/runs.h"
#include "series/run_list.h"
#include "series/series_addresses.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>
#include <fcntl.h>
#include <unistd.h>

namespace {
// A signal handler may only write: the stop itself runs from the event loop.
int signalPipe[2] = {-1, -1};

void passSignalOn(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// Turns SIGINT, SIGTERM and SIGHUP (the terminal closed) into a call of stop from the event loop; returns
// the signal that came, 0 while none has.
class StopOnSignal
{
public:
    StopOnSignal()
    {
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
            char byte = 0;
            if (::read(signalPipe[0], &byte, 1) == 1 && m_signal == 0) {
                m_signal = byte;
                if (m_stop)
                    m_stop();
            }
        });
        struct sigaction action = {};
        action.sa_handler = passSignalOn;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int number : {SIGINT, SIGTERM, SIGHUP})
            sigaction(number, &action, nullptr);
    }
    int signalNumber() const { return m_signal; }
    // What a signal stops: the end search first, then the run.
    void stops(std::function<void()> stop) { m_stop = std::move(stop); }

private:
    std::function<void()> m_stop;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_signal = 0;
};

QString progressLine(int settled, int total, qint64 bytes, qint64 elapsedMs)
{
    const QLocale locale = QLocale::system();
    const qint64 rate = elapsedMs > 0 ? bytes * 1000 / elapsedMs : 0;
    return trCount("main", "%1 of %n file(s), %2, %3/s", total)
        .arg(settled)
        .arg(locale.formattedDataSize(bytes), locale.formattedDataSize(rate));
}
// The folder a run goes to, made where it is missing.
class RunFolder
{
public:
    explicit RunFolder(const QString &given)
        : m_path(QDir(given.isEmpty() ? QDir::currentPath() : given).absolutePath())
    {
        for (QString missing = m_path; !QFileInfo(missing).exists(); missing = QFileInfo(missing).path())
            m_made.append(missing);
    }
    const QString &path() const { return m_path; }
    // 0 when the run can go there; else the exit status, the reason on stderr.
    int make() const
    {
        if (!QFileInfo(m_path).isDir() && !QDir().mkpath(m_path)) {
            complain(trMain("cannot create the folder '%1'").arg(m_path));
            return 1;
        }
        if (!folderAcceptsFiles(m_path)) {
            complain(trMain("cannot write into the folder '%1'").arg(m_path));
            removeMade();
            return 1;
        }
        return 0;
    }
    // A run that saves nothing leaves none of the folders it made behind.
    void removeMade() const
    {
        for (const QString &each : m_made) // deepest first
            QDir().rmdir(each);
    }

private:
    QString m_path;
    QStringList m_made;
};

// Runs plan into target with Serimo's own engine, drawing its progress
// while stderr is a terminal; a signal stops it.
RunResult runWithProgress(DownloadController &run, const RegisteredEngine &engine, const EngineTarget &target,
                          const RunPlan &plan, StopOnSignal &stopOnSignal)
{
    QEventLoop loop;
    RunResult result;
    QObject::connect(&run, &DownloadController::finished, &loop, [&](const RunResult &finished) {
        result = finished;
        loop.quit();
    });
    stopOnSignal.stops([&run] { run.stop(); });

    const bool showProgress = stderrIsTerminal();
    QElapsedTimer clock;
    clock.start();
    int settled = 0;
    QDeadlineTimer serverWait;
    auto drawProgress = [&] {
        QString line = progressLine(settled, int(plan.urls.size()), run.bytesReceived(), clock.elapsed());
        if (!serverWait.hasExpired())
            line += QStringLiteral(". ") + serverWaitText(serverWait.remainingTime());
        drawProgressLine(line);
    };
    QTimer redraw;
    if (showProgress) {
        // Drawn a few times a second, however fast the files come.
        QObject::connect(&run, &DownloadController::progress, [&settled](int done, int) { settled = done; });
        QObject::connect(&run, &DownloadController::serverAsksToWait,
                         [&serverWait](qint64 ms) { serverWait.setRemainingTime(ms); });
        QObject::connect(&redraw, &QTimer::timeout, drawProgress);
        redraw.start(250);
        drawProgress();
    }
    run.start(engine, target, plan);
    loop.exec();
    redraw.stop();
    if (showProgress)
        clearProgressLine();
    return result;
}
} // namespace

int downloadOnTerminal(const DownloadRequest &request)
{
    // Without COUNT the first address is checked here, the rest once the
    // series' end is known.
    ListedRun series = listedRun(request.run.url, request.run.count.value_or(QStringLiteral("1")));
    if (series.run.isEmpty()) {
        complain(series.error);
        return 2;
    }
    RunAddresses addresses = runAddresses(series.run);
    if (const QString problem = addressProblemMessage(addresses, AddressUse::Download, MessageStyle::Terminal);
        !problem.isEmpty()) {
        complain(problem);
        return 2;
    }
    // Read once: the end search and the download share it.
    SiteOptions site = request.site;
    if (!announceSiteOptions(site))
        return 2;
    // A signal ends the end search as it ends the run: a line, no folder
    // left, the status of the signal.
    StopOnSignal stopOnSignal;
    const RunFolder folder(request.folder);
    if (const int status = folder.make(); status != 0)
        return status;
    if (!request.run.count) {
        // The whole series, however long, and not one address past its end.
        const TerminalEnd end = findEndFromTerminal(request.run.url, site, [&stopOnSignal](EndFinder &finder) {
            stopOnSignal.stops([&finder] { finder.stop(); });
        });
        stopOnSignal.stops({});
        if (end.status != 0 || stopOnSignal.signalNumber() != 0) {
            folder.removeMade();
            if (stopOnSignal.signalNumber() == 0)
                return end.status;
            const int printed = printText(trMain("The download was stopped while finding the series' end.\n"));
            return printed != 0 ? printed : 128 + stopOnSignal.signalNumber();
        }
        series = SeriesAddresses(request.run.url).first(end.count);
        addresses = runAddresses(series.run);
    }

    // A run to the end the search found goes all the way to it: a gap of
    // ten the search stepped over is missing files, not the series' end.
    DownloadOptions options;
    options.continueFiles = request.continueFiles;
    DownloadController run;
    const RunResult result =
        runWithProgress(run, localEngine(options), {.folder = folder.path(), .site = site, .toFoundEnd = !request.run.count},
                        {addresses.urls, series.counters}, stopOnSignal);
    const int signalNumber = stopOnSignal.signalNumber();
    if (result.saved() == 0)
        folder.removeMade();
    const int printed = printText(runSummaryLines(result, run.context(), QDir::homePath()).join(u'\n') + u'\n');
    if (signalNumber != 0)
        return 128 + signalNumber;
    // A run that found nothing is a failure, as a download tool's is.
    return printed != 0 || result.failed() > 0 || !result.writeError.isEmpty() || foundNothing(result) ? 1 : 0;
}
