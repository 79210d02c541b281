#include "runs/download_retry.h"

#include <QLocale>
#include <QTimeZone>
#include <algorithm>

AttemptResult resultOfStatus(int status)
{
    if (status >= 200 && status < 300)
        return AttemptResult::Complete;
    if (status == 404 || status == 410)
        return AttemptResult::Missing;
    if (status == 429 || status == 503)
        return AttemptResult::RateLimited;
    if (status >= 500 && status < 600)
        return AttemptResult::Transient;
    return AttemptResult::Failed;
}

std::optional<qint64> retryAfterSeconds(const QByteArray &value, const QDateTime &now)
{
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const qint64 seconds = text.toLongLong(&isNumber);
    if (isNumber)
        return seconds >= 0 ? std::optional(seconds) : std::nullopt;
    // HTTP dates are always in GMT: "Sun, 06 Nov 1994 08:49:37 GMT".
    QDateTime at = QLocale::c().toDateTime(QString::fromLatin1(text), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (!at.isValid())
        return std::nullopt;
    return std::max<qint64>(0, now.secsTo(QDateTime(at.date(), at.time(), QTimeZone::utc())));
}

std::optional<qint64> retryPauseMs(AttemptResult result, int retriesSoFar, std::optional<qint64> retryAfter,
                                   qint64 basePauseMs)
{
    switch (result) {
    case AttemptResult::RateLimited:
        if (retriesSoFar >= 1)
            return std::nullopt;
        return retryAfter ? std::min(*retryAfter, kMaxRetryAfterSeconds) * 1000 : basePauseMs;
    case AttemptResult::Transient:
        if (retriesSoFar >= 2)
            return std::nullopt;
        return basePauseMs << retriesSoFar;
    default:
        return std::nullopt;
    }
}
