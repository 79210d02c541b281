#pragma once

#include "runs/run_end.h"
#include "runs/site_options.h"

#include <QList>
#include <QString>
#include <QUrl>

// What a download run is asked to do and what became of it. Pure: Qt Core
// only, so that any engine and any front end (the window, the terminal)
// share them.

// What became of one file of a run.
enum class FileOutcome {
    NotTried,     // past the series' end, or the run stopped before it
    Saved,        // fetched in this run
    AlreadyThere, // a file of that name was in the folder already
    Missing,      // the server has no such file
    Failed,       // anything else went wrong
    HandedOver,   // taken by an engine that reports nothing of each file
    Completed,    // was in the folder in part, completed or replaced (continueFiles)
};

struct DownloadOptions
{
    int maxTransfers = 4;
    // A transfer that receives nothing for this long fails (and is retried).
    int silenceMs = 30000;
    // The first pause before a retry; each further one doubles it.
    qint64 retryPauseMs = 1000;
    // This many missing files in a row are the end of the series; 0 where
    // the run goes to an end the search already found (EngineTarget::
    // toFoundEnd), so that a run and the search give the same end across a
    // gap the search stepped over.
    int missingRunEnd = kSeriesEndMisses;
    // A transfer that receives less than slowBytes in slowMs fails as too
    // slow (and is retried): a trickle does not hold a place for ever.
    qint64 slowBytes = 1024;
    int slowMs = 60000;
    // This many failures in a row (a server error after its retries, a
    // network error) end the run: the server kept failing.
    int failureRunEnd = 10;
    // What every request sends the site, and the wait between files.
    SiteOptions site;
    // Each file already in the folder is asked from its size on (Range):
    // what the server has more is appended, a whole answer replaces it.
    bool continueFiles = false;
};

// An answer the server compressed on the way (Content-Encoding) that
// decompresses to more than this is refused: a picture is never as large,
// a compression bomb soon is.
inline constexpr qint64 kInflatedLimit = 64 * 1024 * 1024;

struct DownloadFailure
{
    enum class Cause {
        HttpStatus, // the server answered `status`
        Network,    // the network's error, `text`
        Incomplete, // the body ended before its Content-Length
        NoAnswer,   // the answer's headers did not all come within silenceMs
        Silent,     // nothing came for DownloadOptions::silenceMs
        TooSlow,    // less than DownloadOptions::slowBytes came in slowMs
        Write,      // the disk refused the file in `folder`: errno `error`
        Elsewhere,  // another window or program is downloading the file
        Unreadable, // an answer that breaks HTTP's rules (too many headers)
        BadLength,  // Content-Length given twice differently, or not a length: `text`
        Inflated,   // a compressed answer that grew past kInflatedLimit
        Redirect,   // a redirect that is not followed (a loop, too many): `text`
        Certificate, // the site's certificate is not trusted: `text`
    };
    QUrl url; // without its user name and password
    int index = -1; // the file's place in the run
    Cause cause = Cause::Network;
    int status = 0;
    QString text;
    int error = 0;
    // Incomplete: the bytes that came of those announced (-1: not known).
    qint64 received = -1;
    qint64 announced = -1;
    QString folder;
};

// What a run came to, whichever engine ran it: each file's outcome, and the
// counts worked out from them.
struct RunResult
{
    QList<FileOutcome> outcomes;     // of each file, in run order
    QList<DownloadFailure> failures; // in the order they came
    // The run ended early at a stretch of missing files.
    bool endOfSeries = false;
    bool stopped = false;
    // A write into the folder failed (a full disk, a folder gone), or the
    // site's certificate is not trusted: the run stopped there, for the
    // reason given.
    QString writeError;
    // The run ended at DownloadOptions::failureRunEnd failures in a row; the
    // last of `failures` says why.
    bool serverKeptFailing = false;
    // The run ended at DownloadOptions::failureRunEnd refusals (401, 403) in
    // a row with nothing saved between them: asked on, the site may ban the
    // address.
    bool siteKeptRefusing = false;

    int total() const { return int(outcomes.size()); }
    int count(FileOutcome outcome) const { return int(outcomes.count(outcome)); }
    int saved() const { return count(FileOutcome::Saved); }
    int alreadyThere() const { return count(FileOutcome::AlreadyThere); }
    int completed() const { return count(FileOutcome::Completed); }
    int missing() const { return count(FileOutcome::Missing); }
    int failed() const { return count(FileOutcome::Failed); }
};
