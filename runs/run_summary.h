#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a finished download run comes to, in words a person reads at a
// glance. Pure: Qt Core only. Any engine fills a RunResult, so the window,
// the terminal and every engine say the same.

// What became of one file of a run.
enum class FileOutcome {
    NotTried,     // past the series' end, or the run stopped before it
    Saved,        // fetched in this run
    AlreadyThere, // a file of that name was in the folder already
    Missing,      // the server has no such file
    Failed,       // anything else went wrong
};

struct RunFailure
{
    QString name;   // the file's name
    QString reason; // worded for a person: "HTTP 403", "the disk refused its name"
};

struct RunResult
{
    QString folder;
    int total = 0; // the files the run asked for
    int saved = 0;
    int alreadyThere = 0;
    int failed = 0;
    // The last file of the run that is now in the folder, and its counter.
    QString lastPresentName;
    QString lastPresentCounter;
    // The counters of the files missing within the series, in run order; the
    // tries past its end are not among them.
    QStringList missingCounters;
    QList<RunFailure> failures; // in the order they came
    // The run ended at a stretch of missing files: the series ends there.
    bool endOfSeries = false;
    bool stopped = false;
    // A write into the folder failed (a full disk): the run stopped there,
    // for this reason.
    QString writeError;
    // The server kept failing: the run stopped there; the last reason.
    QString serverFailure;
};

// Counts, the last present file and the missing counters from the outcome
// of each file of the run, with the file's name and counter at the same
// place. When the series' end was found, the missing files after the last
// present one are tries past its end, not gaps.
void countOutcomes(RunResult &result, const QList<FileOutcome> &outcomes, const QStringList &names,
                   const QStringList &counters, bool endOfSeries);

// "005, 013–014, 030–032": counters next to each other (by number, or by
// letter) joined into ranges.
QString counterRanges(const QStringList &counters);

// A folder as its user knows it: "~/Pictures/set" under home.
QString folderForPeople(const QString &folder, const QString &home);

// How many failures the summary names; the rest are counted.
inline constexpr int kFailuresNamed = 5;

// Whether the run found no file of it at all: nothing saved, nothing there
// already, nothing failed, and not stopped. A failure, said first.
bool foundNothing(const RunResult &result);

// The summary, one sentence a line: what was saved where, where the series
// ends, what is missing, what failed and why.
QStringList runSummaryLines(const RunResult &result, const QString &home);

// The same in a few words for the status line: "Saved 41, series ends at 047".
QString runStatusText(const RunResult &result);
