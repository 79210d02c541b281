#include "runs/download_report.h"

#include "runs/download_address.h"
#include "runs/download_names.h"
#include "runs/download_reasons.h"
#include "series/series_run.h"
#include "series/series_text.h"

#include <algorithm>

namespace {
// Every address of a run keeps the text after its counter, and each step
// changes the counter's last character, so the first two addresses tell
// where the counter ends, whichever number the user chose.
CounterChoice counterTailOf(const QStringList &run)
{
    if (run.size() < 2)
        return {};
    const QString &first = run[0];
    const QString &second = run[1];
    qsizetype tail = 0;
    while (tail < first.size() && tail < second.size() && first[first.size() - 1 - tail] == second[second.size() - 1 - tail])
        ++tail;
    return tail;
}
} // namespace

RunResult runResultOf(const DownloadSummary &summary, const DownloadOptions &options, const QStringList &run,
                      const QString &folder)
{
    const CounterChoice choice = counterTailOf(run);
    QList<QUrl> urls;
    QStringList counters;
    for (const QString &address : run) {
        urls.append(webAddress(address).url);
        const int width = detectedWidth(address, detectedMode(address, choice), choice);
        counters.append(splitSeries(address, width, choice).counter);
    }
    const QStringList names = downloadFileNames(urls);
    RunResult result;
    result.folder = folder;
    countOutcomes(result, summary.outcomes, names, counters, summary.endOfSeries);
    result.stopped = summary.stopped;
    result.writeError = summary.writeError;
    if (summary.serverKeptFailing && !summary.failures.isEmpty())
        result.serverFailure = downloadFailureReason(summary.failures.last(), options);
    for (const DownloadFailure &failure : summary.failures) {
        // The engine names a failed address without its user info.
        const auto same = [&failure](const QUrl &url) { return url.adjusted(QUrl::RemoveUserInfo) == failure.url; };
        const qsizetype index = std::find_if(urls.cbegin(), urls.cend(), same) - urls.cbegin();
        result.failures.append({index < urls.size() ? names[index] : failure.url.toString(),
                                downloadFailureReason(failure, options)});
    }
    return result;
}
