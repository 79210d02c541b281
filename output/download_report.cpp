#include "output/download_report.h"

#include "output/download_names.h"
#include "output/download_reasons.h"
#include "series/series_run.h"
#include "series/series_text.h"

QUrl webAddress(const QString &address)
{
    QUrl url(address, QUrl::StrictMode);
    if (url.scheme().isEmpty())
        url = QUrl(QStringLiteral("http://") + address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

RunResult runResultOf(const DownloadSummary &summary, const DownloadOptions &options, const QStringList &run,
                      const QString &folder)
{
    QList<QUrl> urls;
    QStringList counters;
    for (const QString &address : run) {
        urls.append(webAddress(address));
        counters.append(splitSeries(address, detectedWidth(address, detectedMode(address))).counter);
    }
    const QStringList names = downloadFileNames(urls);
    RunResult result;
    result.folder = folder;
    countOutcomes(result, summary.outcomes, names, counters, summary.endOfSeries);
    result.stopped = summary.stopped;
    result.writeError = summary.writeError;
    for (const DownloadFailure &failure : summary.failures) {
        const qsizetype index = urls.indexOf(failure.url);
        result.failures.append({index < 0 ? failure.url.toString() : names[index], downloadFailureReason(failure, options)});
    }
    return result;
}
