#pragma once

#include "runs/downloader_results.h"

#include <QList>
#include <QObject>
#include <QUrl>

// What a run is handed to: Serimo's own engine, a program beside it or a
// daemon at an address (engine_registry.cpp lists them). The window and the
// terminal drive any engine through this, so the run, its progress and its
// summary take one path whichever engine does the work.
class DownloadEngine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts the run; the engine reports from the event loop, never from here.
    virtual void start(const QList<QUrl> &urls) = 0;
    // Ends the run: unfinished transfers are removed, and `finished` reports
    // it stopped.
    virtual void stop() = 0;
    // Serimo closes: the engine lets go of the run without a report. An
    // engine that lives in Serimo ends the run; a daemon goes on with it.
    virtual void release() = 0;
    virtual bool isRunning() const = 0;
    // The rules the run follows, which its summary words.
    virtual const DownloadOptions &options() const = 0;
    // The bytes received here in this run so far, for a progress line.
    virtual qint64 bytesReceived() const { return 0; }

signals:
    // The engine took count files of the run (Serimo's own at once, from
    // start(), with its first progress).
    void accepted(int count);
    // The engine did not take the run, or stopped answering while it ran:
    // the run is over without a summary.
    void refused(const QString &message);
    // `settled` of `total` files are done with, whatever became of them.
    void progress(int settled, int total);
    // The server asked to be left alone for this long before the next try.
    void serverAsksToWait(qint64 ms);
    void finished(const RunResult &result);
};
