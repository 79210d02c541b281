#include "output/download_reasons.h"

#include <QCoreApplication>

namespace {
QString tr(const char *text, int n = -1)
{
    return QCoreApplication::translate("DownloadReasons", text, nullptr, n);
}
} // namespace

QString downloadFailureReason(const DownloadFailure &failure, const DownloadOptions &options)
{
    switch (failure.cause) {
    case DownloadFailure::Cause::HttpStatus:
        return tr("HTTP %1").arg(failure.status);
    case DownloadFailure::Cause::Incomplete:
        return tr("the file ended before its announced length");
    case DownloadFailure::Cause::Silent:
        return tr("the server sent nothing for %n second(s)", (options.silenceMs + 999) / 1000);
    case DownloadFailure::Cause::Network:
        break;
    }
    return failure.text;
}
