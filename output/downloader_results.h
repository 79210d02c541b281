#pragma once

#include "output/run_summary.h"

#include <QList>
#include <QString>
#include <QUrl>

// What a download run is asked to do and what became of it. Pure: Qt Core
// only, so that any engine and any front end (the window, the terminal)
// share them.

struct DownloadOptions
{
    int maxTransfers = 4;
    // A transfer that receives nothing for this long fails (and is retried).
    int silenceMs = 30000;
    // The first pause before a retry; each further one doubles it.
    qint64 retryPauseMs = 1000;
    // This many missing files in a row are the end of the series.
    int missingRunEnd = 10;
};

struct DownloadFailure
{
    enum class Cause {
        HttpStatus, // the server answered `status`
        Network,    // the network's error, `text`
        Incomplete, // the body ended before its Content-Length
        Silent,     // nothing came for DownloadOptions::silenceMs
    };
    QUrl url;
    Cause cause = Cause::Network;
    int status = 0;
    QString text;
};

struct DownloadSummary
{
    int total = 0;
    int downloaded = 0;
    int alreadyThere = 0;
    int missing = 0;
    int failed = 0;
    // The run ended early at a stretch of missing files.
    bool endOfSeries = false;
    bool stopped = false;
    // A write into the folder failed (a full disk); the run stopped there.
    QString writeError;
    QList<DownloadFailure> failures; // in the order they came
    QList<FileOutcome> outcomes;     // of each file, in run order
};
