#pragma once

#include "runs/download_engine.h"
#include "runs/run_summary.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <memory>

// A run handed to an engine and seen through to its summary, whichever
// engine does the work: Serimo's own or an aria2 daemon. The window says
// what it reports.
class DownloadController : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DownloadController() override;

    // Hands the run (the addresses as the window shows them, and as web
    // addresses) to engine, which saves it into folder (as its user knows
    // it; empty: the engine's own).
    void start(std::unique_ptr<DownloadEngine> engine, const QStringList &run, const QList<QUrl> &urls,
               const QString &folder);
    // The user's Stop: unfinished transfers are removed, and `finished`
    // reports the run stopped.
    void stop();
    // Serimo closes: the engine lets go of the run without a report.
    void release();
    bool isRunning() const;

signals:
    void accepted(int count);
    // The engine did not take the run (handedOver false) or stopped
    // answering while it ran.
    void refused(const QString &message, bool handedOver);
    void progress(int settled, int total);
    void finished(const RunResult &result);

private:
    std::unique_ptr<DownloadEngine> m_engine;
    QStringList m_run;
    QString m_folder;
    bool m_handedOver = false;
};
