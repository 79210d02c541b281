#include "runs/run_summary.h"

#include "common/english_plurals.h"
#include "runs/download_reasons.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>

namespace {
QString trSummary(const char *text)
{
    return QCoreApplication::translate("RunSummary", text);
}

QString trSummary(const char *text, int count)
{
    return trCount("RunSummary", text, count);
}

QString files(int count)
{
    return trSummary("%n file(s)", count);
}

bool isPresent(FileOutcome outcome)
{
    return outcome == FileOutcome::Saved || outcome == FileOutcome::AlreadyThere || outcome == FileOutcome::Completed;
}

// The last file of the run that is now in the folder; -1 for none.
qsizetype lastPresent(const RunResult &result)
{
    for (qsizetype i = result.outcomes.size() - 1; i >= 0; --i) {
        if (isPresent(result.outcomes[i]))
            return i;
    }
    return -1;
}

// The counters of the files missing within the series, in run order; the
// tries past its end are not among them.
QStringList missingCounters(const RunResult &result, const QStringList &counters)
{
    const qsizetype gapsEnd = result.endOfSeries ? lastPresent(result) + 1 : result.outcomes.size();
    QStringList missing;
    for (qsizetype i = 0; i < gapsEnd; ++i) {
        if (result.outcomes[i] == FileOutcome::Missing)
            missing.append(counters.value(i));
    }
    return missing;
}

// The server kept failing: the last failure's reason; empty otherwise.
QString serverFailure(const RunResult &result, const DownloadOptions &options)
{
    if (!result.serverKeptFailing || result.failures.isEmpty())
        return {};
    return downloadFailureReason(result.failures.last(), options);
}


// Whether counter b comes right after counter a.
bool follows(const QString &a, const QString &b)
{
    bool aNumber = false;
    bool bNumber = false;
    const qlonglong x = a.toLongLong(&aNumber);
    const qlonglong y = b.toLongLong(&bNumber);
    if (aNumber && bNumber)
        return y == x + 1;
    return a.size() == 1 && b.size() == 1 && b.at(0).unicode() == a.at(0).unicode() + 1;
}
} // namespace

QString counterRanges(const QStringList &counters)
{
    QStringList ranges;
    for (qsizetype i = 0; i < counters.size();) {
        qsizetype last = i;
        while (last + 1 < counters.size() && follows(counters[last], counters[last + 1]))
            ++last;
        ranges.append(last == i ? counters[i] : counters[i] + u'\u2013' + counters[last]);
        i = last + 1;
    }
    return ranges.join(QStringLiteral(", "));
}

QString folderForPeople(const QString &folder, const QString &home)
{
    const QString cleanFolder = QDir::cleanPath(folder);
    const QString cleanHome = QDir::cleanPath(home);
    if (cleanHome.isEmpty() || cleanHome == u"/")
        return cleanFolder;
    if (cleanFolder == cleanHome)
        return QStringLiteral("~");
    if (cleanFolder.startsWith(cleanHome + u'/'))
        return u'~' + cleanFolder.mid(cleanHome.size());
    return cleanFolder;
}

bool foundNothing(const RunResult &result)
{
    const auto notFound = [](FileOutcome outcome) {
        return outcome == FileOutcome::Missing || outcome == FileOutcome::NotTried;
    };
    return !endedEarly(result) && result.missing() > 0
           && std::all_of(result.outcomes.begin(), result.outcomes.end(), notFound);
}

QString runSendingText(const RunContext &context, int count)
{
    if (context.engine.place == EngineDescription::Place::Address)
        return trSummary("Sending %n URL(s) to %1 at %2", count).arg(context.engine.name, context.target.address);
    return runSendingGist(context, count);
}

QString runSendingGist(const RunContext &context, int count)
{
    if (context.engine.place != EngineDescription::Place::Address && context.engine.reportsEachFile)
        return {};
    return trSummary("Sending %n URL(s) to %1", count).arg(context.engine.name);
}

QString runAcceptedGist(const RunContext &context, int count)
{
    return trSummary("%1 took %n URL(s)", count).arg(context.engine.name);
}

QString runAcceptedText(const RunContext &context, int count)
{
    // A daemon goes on with the run when Serimo closes: the user learns so
    // when it takes the run.
    if (context.engine.place != EngineDescription::Place::Address || !context.engine.reportsEachFile)
        return {};
    return trSummary("%1 at %2 took %n URL(s); it goes on downloading if Serimo closes.", count)
        .arg(context.engine.name, context.target.address);
}

QString runProgressText(const RunContext &context, int settled, int total)
{
    if (context.engine.place == EngineDescription::Place::Address)
        return trSummary("%1: %2 of %3 done").arg(context.engine.name).arg(settled).arg(total);
    return trSummary("Downloading %1 of %2").arg(std::min(settled + 1, total)).arg(total);
}

QString serverWaitText(qint64 leftMs)
{
    return trSummary("Waiting %1 s for the server").arg((leftMs + 999) / 1000);
}

QString runRefusedText(const RunContext &context, const QString &message, bool handedOver)
{
    const QString engine = context.engine.place == EngineDescription::Place::Address
                               ? trSummary("%1 at %2").arg(context.engine.name, context.target.address)
                               : context.engine.name;
    return (handedOver ? trSummary("%1 stopped answering: %2") : trSummary("%1 did not take the run: %2")).arg(engine, message);
}

bool endedEarly(const RunResult &result)
{
    return result.stopped || !result.writeError.isEmpty() || result.serverKeptFailing || result.siteKeptRefusing;
}

QString refusalHint()
{
    return trSummary("it may want its own page as the Referer, or the browser's cookies (Download options, or "
                     "--referer and --load-cookies)");
}

QStringList runSummaryLines(const RunResult &result, const RunContext &context, const QString &home)
{
    const QString folder = context.target.folder.isEmpty() ? trSummary("%1's own folder").arg(context.engine.name)
                                                           : folderForPeople(context.target.folder, home);
    const QString kept = serverFailure(result, context.options);
    const qsizetype last = lastPresent(result);
    const QStringList missing = missingCounters(result, context.counters);
    QStringList lines;
    if (foundNothing(result))
        lines << trSummary("Nothing was found: no file of the run is on the server.");
    else if (!result.writeError.isEmpty())
        lines << trSummary("The download stopped: %1.").arg(result.writeError);
    else if (!kept.isEmpty())
        lines << trSummary("The download stopped: the server kept failing (%1).").arg(kept);
    else if (result.siteKeptRefusing)
        lines << trSummary("The site refused %n file(s) in a row: %1.", context.options.failureRunEnd).arg(refusalHint());
    else if (result.stopped)
        lines << trSummary("The download was stopped.");
    if (!foundNothing(result))
        lines << trSummary("Saved %1 to %2.").arg(files(result.saved()), folder);
    if (result.alreadyThere() > 0)
        lines << trSummary("%n file(s) (was|were) there already.", result.alreadyThere());
    if (result.completed() > 0)
        lines << trSummary("%n file(s) completed.", result.completed());
    if (result.endOfSeries && last >= 0)
        lines << trSummary("The series ends at %1.").arg(context.names.value(last));
    if (!missing.isEmpty())
        lines << trSummary("Missing: %1.").arg(counterRanges(missing));
    else if (!endedEarly(result) && last >= 0 && result.failed() == 0)
        lines << trSummary("Nothing is missing.");
    if (result.failed() > 0) {
        lines << trSummary("Failed: %1.").arg(files(result.failed()));
        // In address order whatever order they ended in: the first five by
        // counter.
        QList<DownloadFailure> named = result.failures;
        std::stable_sort(named.begin(), named.end(),
                         [](const DownloadFailure &a, const DownloadFailure &b) { return a.index < b.index; });
        for (const DownloadFailure &failure : named.mid(0, kFailuresNamed)) {
            const QString name = context.names.value(failure.index, failure.url.toString());
            lines << QStringLiteral("  %1: %2").arg(name, downloadFailureReason(failure, context.options));
        }
        if (result.failures.size() > kFailuresNamed)
            lines << trSummary("  and %1 more.").arg(result.failures.size() - kFailuresNamed);
    }
    return lines;
}

namespace {
// The status text, each piece said or left out as asked.
QString statusText(const RunResult &result, const RunContext &context, bool alreadyThere, int end)
{
    if (!context.engine.reportsEachFile) {
        const int taken = result.count(FileOutcome::HandedOver);
        return trSummary("%1 took %2 of %n URL(s)", result.total()).arg(context.engine.name).arg(taken);
    }
    QString text = trSummary("Saved %1").arg(result.saved());
    if (alreadyThere && result.alreadyThere() > 0)
        text += trSummary(", %1 already there").arg(result.alreadyThere());
    if (result.failed() > 0)
        text += trSummary(", %1 failed").arg(result.failed());
    const qsizetype last = lastPresent(result);
    if (end > 0 && result.endOfSeries && last >= 0 && !context.counters.value(last).isEmpty())
        text += (end == 2 ? trSummary(", series ends at %1") : trSummary(", ends at %1")).arg(context.counters.value(last));
    if (endedEarly(result))
        text = trSummary("Stopped. ") + text;
    return text;
}
} // namespace

QString runStatusText(const RunResult &result, const RunContext &context)
{
    return statusText(result, context, true, 2);
}

QString runStatusGist(const RunResult &result, const RunContext &context,
                      const std::function<bool(const QString &)> &fits)
{
    const QString candidates[] = {statusText(result, context, true, 2), statusText(result, context, false, 2),
                                  statusText(result, context, false, 1)};
    for (const QString &candidate : candidates) {
        if (fits(candidate))
            return candidate;
    }
    return statusText(result, context, false, 0);
}
