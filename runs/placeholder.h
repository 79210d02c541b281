#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// Many sites answer a file they do not have with 200 and a placeholder (a
// "removed" picture, a page), or redirect it to one. Before a run Serimo asks
// for an address of the series that cannot exist and keeps the answer; an
// answer like it is a missing file, never saved. Pure: Qt Core only.

// What the server answered 200 for the address that cannot exist.
struct Placeholder
{
    QUrl finalUrl; // after redirects
    qint64 length = -1;
    QByteArray hash; // of the whole body, by kPlaceholderHash
};

inline constexpr QCryptographicHash::Algorithm kPlaceholderHash = QCryptographicHash::Sha1;

// An address of the run's series that cannot exist: the first address with
// its counter (where the first and last addresses differ) far past any end.
// Empty for a run of one address.
QUrl impossibleAddress(const QList<QUrl> &run);

// Whether the head of an answer (after redirects, with its content type)
// says the file asked for is missing: a redirect to a page, a page for a
// picture's name, a redirect to where the placeholder came from.
bool answersMissing(const QUrl &asked, const QUrl &finalUrl, const QString &contentType,
                    const std::optional<Placeholder> &placeholder);

// Whether a body of this length may be the placeholder, and so is worth
// hashing; -1: the length is not known yet.
bool mayBePlaceholder(qint64 length, const std::optional<Placeholder> &placeholder);

// Whether a whole body is the placeholder's.
bool isPlaceholderBody(qint64 length, const QByteArray &hash, const std::optional<Placeholder> &placeholder);
