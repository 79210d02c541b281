#pragma once

#include "runs/downloader_results.h"
#include "runs/engine_description.h"

#include <QString>
#include <QStringList>
#include <functional>

// What a run's reports say, in words a person reads at a glance, whichever
// engine ran it: the wording follows what the engine describes (where it
// runs, whether it reports each file), so the window and the terminal say
// the same. Pure: Qt Core only.

// What a run's reports are worded with: the engine, where the run went, the
// rules it ran by, and each file's name and counter in run order.
struct RunContext
{
    EngineDescription engine;
    EngineTarget target;
    DownloadOptions options;
    QStringList names;
    QStringList counters;
    // The files land in a folder of this machine, which can be opened here.
    bool folderHere = false;
};

// "005, 013–014, 030–032": counters next to each other (by number, or by
// letter) joined into ranges.
QString counterRanges(const QStringList &counters);

// A folder as its user knows it: "~/Pictures/set" under home.
QString folderForPeople(const QString &folder, const QString &home);

// How many failures the summary names; the rest are counted.
inline constexpr int kFailuresNamed = 5;

// The status line while count URLs go to an engine that does not report
// them at once; empty for one that does.
QString runSendingText(const RunContext &context, int count);
// The same in a few words: "Sending 4 URLs to aria2"; empty where the
// above is.
QString runSendingGist(const RunContext &context, int count);
// The status line once the engine took count files; empty where nothing
// more than its progress is to be said.
QString runAcceptedText(const RunContext &context, int count);
// The same in a few words: "aria2 took 4 URLs".
QString runAcceptedGist(const RunContext &context, int count);
// The status line as the files settle.
QString runProgressText(const RunContext &context, int settled, int total);
// A run held back by a server that asked for a pause (429, 503), with
// `leftMs` of it left.
QString serverWaitText(qint64 leftMs);
// The error box's text for an engine that did not take the run, or stopped
// answering while it ran (handedOver).
QString runRefusedText(const RunContext &context, const QString &message, bool handedOver);
// Whether the run found no file of it at all: every file it tried was
// missing, and it was not stopped. A failure, said first.
bool foundNothing(const RunResult &result);

// Whether the run ended before its end: stopped, or cut short by the disk,
// the server or the site's refusals.
bool endedEarly(const RunResult &result);

// What a site that refuses (401, 403) may want, said after the refusal.
QString refusalHint();

// The summary, one sentence a line: what was saved where, where the series
// ends, what is missing, what failed and why (the first five failures in
// address order). When the series' end was
// found, the missing files after the last present one are tries past its
// end, not gaps.
QStringList runSummaryLines(const RunResult &result, const RunContext &context, const QString &home);

// The same in a few words for the status line: "Saved 41, series ends at 047".
QString runStatusText(const RunResult &result, const RunContext &context);
// The status text as the first of these that fits: whole, without the
// files already there, with "ends at" for "series ends at", without the
// end; else the shortest.
QString runStatusGist(const RunResult &result, const RunContext &context,
                      const std::function<bool(const QString &)> &fits);
