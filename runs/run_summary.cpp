#include "runs/run_summary.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("RunSummary", text);
}

QString files(int count)
{
    return count == 1 ? tr("1 file") : tr("%1 files").arg(count);
}

bool isPresent(FileOutcome outcome)
{
    return outcome == FileOutcome::Saved || outcome == FileOutcome::AlreadyThere;
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

void countOutcomes(RunResult &result, const QList<FileOutcome> &outcomes, const QStringList &names,
                   const QStringList &counters, bool endOfSeries)
{
    result.total = int(outcomes.size());
    result.endOfSeries = endOfSeries;
    qsizetype lastPresent = -1;
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        switch (outcomes[i]) {
        case FileOutcome::Saved:
            ++result.saved;
            break;
        case FileOutcome::AlreadyThere:
            ++result.alreadyThere;
            break;
        case FileOutcome::Failed:
            ++result.failed;
            break;
        case FileOutcome::Missing:
        case FileOutcome::NotTried:
            break;
        }
        if (isPresent(outcomes[i]))
            lastPresent = i;
    }
    if (lastPresent >= 0) {
        result.lastPresentName = names.value(lastPresent);
        result.lastPresentCounter = counters.value(lastPresent);
    }
    const qsizetype gapsEnd = endOfSeries ? lastPresent + 1 : outcomes.size();
    for (qsizetype i = 0; i < gapsEnd; ++i) {
        if (outcomes[i] == FileOutcome::Missing)
            result.missingCounters.append(counters.value(i));
    }
}

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
    return result.total > 0 && result.saved == 0 && result.alreadyThere == 0 && result.failed == 0 && !result.stopped
           && result.writeError.isEmpty() && result.serverFailure.isEmpty();
}

QStringList runSummaryLines(const RunResult &result, const QString &home)
{
    const QString folder = folderForPeople(result.folder, home);
    QStringList lines;
    if (foundNothing(result))
        lines << tr("Nothing was found: no file of the run is on the server.");
    else if (!result.writeError.isEmpty())
        lines << tr("The download stopped: %1.").arg(result.writeError);
    else if (!result.serverFailure.isEmpty())
        lines << tr("The download stopped: the server kept failing (%1).").arg(result.serverFailure);
    else if (result.stopped)
        lines << tr("The download was stopped.");
    if (!foundNothing(result))
        lines << tr("Saved %1 to %2.").arg(files(result.saved), folder);
    if (result.alreadyThere > 0)
        lines << (result.alreadyThere == 1 ? tr("1 file was there already.")
                                           : tr("%1 files were there already.").arg(result.alreadyThere));
    if (result.endOfSeries && !result.lastPresentName.isEmpty())
        lines << tr("The series ends at %1.").arg(result.lastPresentName);
    if (!result.missingCounters.isEmpty())
        lines << tr("Missing: %1.").arg(counterRanges(result.missingCounters));
    else if (!result.stopped && result.writeError.isEmpty() && result.serverFailure.isEmpty()
             && !result.lastPresentName.isEmpty())
        lines << tr("Nothing is missing.");
    if (result.failed > 0) {
        lines << tr("Failed: %1.").arg(files(result.failed));
        for (const RunFailure &failure : result.failures.mid(0, kFailuresNamed))
            lines << QStringLiteral("  %1: %2").arg(failure.name, failure.reason);
        if (result.failures.size() > kFailuresNamed)
            lines << tr("  and %1 more.").arg(result.failures.size() - kFailuresNamed);
    }
    return lines;
}

QString runStatusText(const RunResult &result)
{
    QString text = tr("Saved %1").arg(result.saved);
    if (result.alreadyThere > 0)
        text += tr(", %1 already there").arg(result.alreadyThere);
    if (result.failed > 0)
        text += tr(", %1 failed").arg(result.failed);
    if (result.endOfSeries && !result.lastPresentCounter.isEmpty())
        text += tr(", series ends at %1").arg(result.lastPresentCounter);
    if (result.stopped || !result.writeError.isEmpty() || !result.serverFailure.isEmpty())
        text = tr("Stopped. ") + text;
    return text;
}
