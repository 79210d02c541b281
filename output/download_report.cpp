#include "output/download_report.h"

#include "output/download_address.h"
#include "output/download_names.h"
#include "output/download_reasons.h"
#include "series/series_run.h"
#include "series/series_text.h"

#include <algorithm>

RunResult runResultOf(const DownloadSummary &summary, const DownloadOptions &options, const QStringList &run,
                      const QString &folder)
{
    QList<QUrl> urls;
    QStringList counters;
    for (const QString &address : run) {
        urls.append(webAddress(address).url);
        counters.append(splitSeries(address, detectedWidth(address, detectedMode(address))).counter);
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
