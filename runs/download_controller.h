#pragma once

#include "runs/download_engine.h"
#include "runs/run_summary.h"
#include "runs/site_options.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <memory>

struct RegisteredEngine;

// A run as the series gives it: the web addresses to fetch, and the counter
// of each as the series stepped it; for the window's runs also the Download
// options as the run took them, its cookies file read before anything else
// was asked.
struct RunPlan
{
    QList<QUrl> urls;
    QStringList counters;
    SiteOptions site = {};
};

// A run handed to an engine and seen through to its result, whichever
// engine does the work; one run at a time. The window and the terminal say
// what it reports, in the words of run_summary.h for context().
class DownloadController : public QObject
{
    Q_OBJECT
public:
    explicit DownloadController(QObject *parent = nullptr);
    ~DownloadController() override;

    // A fast run settles hundreds of files a second: `progress` reports at
    // most once in this many milliseconds, and always the last state.
    static constexpr int kProgressIntervalMs = 100;

    // Hands run to a fresh engine of the kind registered, going to target.
    // An earlier run is let go first.
    void start(const RegisteredEngine &engine, const EngineTarget &target, const RunPlan &run);
    // The user's Stop: unfinished transfers are removed, and `finished`
    // reports the run stopped.
    void stop();
    // Serimo closes: the engine lets go of the run without a report.
    void release();
    bool isRunning() const;
    // What the reports of the running (or last) run are worded with.
    const RunContext &context() const { return m_context; }
    // The bytes the running engine received here so far.
    qint64 bytesReceived() const;

signals:
    void accepted(int count);
    // The engine did not take the run (handedOver false) or stopped
    // answering while it ran.
    void refused(const QString &message, bool handedOver);
    void progress(int settled, int total);
    void serverAsksToWait(qint64 ms);
    void finished(const RunResult &result);

private:
    void engineProgress(int settled, int total);
    void reportProgress();

    std::unique_ptr<DownloadEngine> m_engine;
    RunContext m_context;
    bool m_handedOver = false;
    // The engine's last progress, and when it was last reported.
    int m_settled = 0;
    int m_total = 0;
    QElapsedTimer m_progressReportedAt;
    QTimer m_progressDue;
};
