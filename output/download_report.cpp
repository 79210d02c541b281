#include "output/download_report.h"

#include "output/download_names.h"
#include "output/downloader.h"
#include "series/series_run.h"
#include "series/series_text.h"

#include <QCoreApplication>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("RunSummary", text);
}
} // namespace

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

QString failureReason(const DownloadFailure &failure)
{
    switch (failure.cause) {
    case DownloadFailure::Cause::HttpStatus:
        return tr("HTTP %1").arg(failure.status);
    case DownloadFailure::Cause::Incomplete:
        return tr("the file ended before its announced length");
    case DownloadFailure::Cause::Silent:
        return tr("the server sent nothing for 30 seconds");
    case DownloadFailure::Cause::Network:
        break;
    }
    return failure.text;
}

RunResult runResultOf(const DownloadSummary &summary, const QStringList &run, const QString &folder)
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
        result.failures.append({index < 0 ? failure.url.toString() : names[index], failureReason(failure)});
    }
    return result;
}
