#include "runs/download_reasons.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
QString trReason(const char *text)
{
    return QCoreApplication::translate("DownloadReasons", text);
}

QString secondsText(int ms)
{
    const int seconds = (ms + 999) / 1000;
    return seconds == 1 ? trReason("1 second") : trReason("%1 seconds").arg(seconds);
}

QString bytesText(qint64 bytes)
{
    if (bytes % (1024 * 1024) == 0)
        return trReason("%1 MB").arg(bytes / (1024 * 1024));
    return bytes % 1024 == 0 ? trReason("%1 KB").arg(bytes / 1024) : trReason("%1 bytes").arg(bytes);
}
QString writeReason(int error, const QString &folder)
{
    switch (error) {
    case ENOSPC:
        return trReason("the disk is full: no room is left in the folder %1").arg(folder);
    case EDQUOT:
        return trReason("the disk is full: your share of the disk holding the folder %1 is used up").arg(folder);
    case EACCES:
    case EPERM:
        return trReason("writing into the folder %1 is not allowed").arg(folder);
    case ENOENT:
        return trReason("the folder %1 is gone").arg(folder);
    case EROFS:
        return trReason("the folder %1 is on a disk that can only be read").arg(folder);
    case EIO:
        return trReason("the disk holding the folder %1 failed to write (an input/output error)").arg(folder);
    case ENAMETOOLONG:
        return trReason("the name is too long for the folder %1").arg(folder);
    case EINVAL:
        return trReason("the disk holding the folder %1 refuses this name").arg(folder);
    default:
        return trReason("the file could not be written into the folder %1 (%2)")
            .arg(folder, QString::fromLocal8Bit(std::strerror(error)));
    }
}
} // namespace

QString announcedLengthProblem(const QByteArray &contentLength)
{
    if (contentLength.isEmpty())
        return {};
    // The values of several Content-Length headers come joined by commas.
    QList<QByteArray> values;
    for (const QByteArray &value : contentLength.split(',')) {
        if (!values.contains(value.trimmed()))
            values.append(value.trimmed());
    }
    if (values.size() > 1)
        return trReason("the server announced different lengths (%1)").arg(QString::fromLatin1(values.join(", ")));
    const QByteArray &only = values.front();
    bool isNumber = false;
    const qlonglong length = only.toLongLong(&isNumber);
    if (isNumber && length < 0)
        return trReason("the server announced a negative length (%1)").arg(length);
    if (!isNumber || !std::all_of(only.begin(), only.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return trReason("the server announced a length that is no number ('%1')").arg(QString::fromLatin1(only));
    return {};
}

QString downloadFailureReason(const DownloadFailure &failure, const DownloadOptions &options)
{
    switch (failure.cause) {
    case DownloadFailure::Cause::HttpStatus:
        return trReason("HTTP %1").arg(failure.status);
    case DownloadFailure::Cause::Incomplete:
        if (failure.announced >= 0 && failure.received >= 0)
            return trReason("the answer ended after %1 of %2 bytes").arg(failure.received).arg(failure.announced);
        return trReason("the file ended before its announced length");
    case DownloadFailure::Cause::NoAnswer:
        return trReason("the server's answer did not come within %1 (no headers, or not all of them)")
            .arg(secondsText(options.silenceMs));
    case DownloadFailure::Cause::Silent:
        return trReason("the server sent nothing for %1").arg(secondsText(options.silenceMs));
    case DownloadFailure::Cause::TooSlow:
        return trReason("too slow: less than %1 came in %2").arg(bytesText(options.slowBytes), secondsText(options.slowMs));
    case DownloadFailure::Cause::Write:
        return writeReason(failure.error, failure.folder);
    case DownloadFailure::Cause::Elsewhere:
        return trReason("it is being downloaded elsewhere (another window or program writes it into the same folder)");
    case DownloadFailure::Cause::Unreadable:
        return trReason("the server's answer breaks the rules of HTTP (too many or too long headers)");
    case DownloadFailure::Cause::Inflated:
        return trReason("the answer grew past %1 while it was decompressed (a compression bomb?)")
            .arg(bytesText(kInflatedLimit));
    case DownloadFailure::Cause::Certificate:
        return trReason("%1 (for a server of your own: serimo --no-check-certificate)").arg(failure.text);
    case DownloadFailure::Cause::Network:
    case DownloadFailure::Cause::BadLength:
    case DownloadFailure::Cause::Redirect:
        break;
    }
    return failure.text;
}
