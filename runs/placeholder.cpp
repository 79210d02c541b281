#include "runs/placeholder.h"

#include "runs/answer_result.h"

#include <QStringList>

QUrl impossibleAddress(const QList<QUrl> &run)
{
    if (run.size() < 2)
        return {};
    // The addresses of a run differ in their counter alone.
    const QByteArray first = run.first().toEncoded();
    const QByteArray last = run.last().toEncoded();
    qsizetype before = 0;
    while (before < first.size() && before < last.size() && first[before] == last[before])
        ++before;
    qsizetype after = 0;
    while (after < first.size() - before && after < last.size() - before
           && first[first.size() - 1 - after] == last[last.size() - 1 - after])
        ++after;
    if (before == first.size() && before == last.size())
        return {};
    return QUrl::fromEncoded(first.left(before) + "987654321" + first.right(after));
}

bool answersMissing(const QUrl &asked, const QUrl &finalUrl, const QString &contentType,
                    const std::optional<Placeholder> &placeholder)
{
    const bool redirected = finalUrl != asked;
    if (isPageType(contentType) && (redirected || isPictureName(asked.path())))
        return true;
    return redirected && placeholder && finalUrl == placeholder->finalUrl;
}

bool mayBePlaceholder(qint64 length, const std::optional<Placeholder> &placeholder)
{
    return placeholder && (length < 0 || length == placeholder->length);
}

bool isPlaceholderBody(qint64 length, const QByteArray &hash, const std::optional<Placeholder> &placeholder)
{
    return placeholder && length == placeholder->length && hash == placeholder->hash;
}
