#pragma once

#include <QByteArray>
#include <QDateTime>
#include <optional>

// When a download's transfer is tried again. Pure: Qt Core only.

// What one attempt at a file came to.
enum class AttemptResult {
    Complete,    // the whole body is on disk
    Missing,     // 404, 410: not on the server
    RateLimited, // 429, 503: the server asks us to come back later
    Transient,   // a timeout, a reset connection, another 5xx
    Failed,      // anything else: another status, a TLS error, a refused redirect
};

// The result an HTTP status gives (a finished transfer with a status).
AttemptResult resultOfStatus(int status);

// Retry-After as seconds from now: delta-seconds or an HTTP date. Empty when
// absent or unreadable.
std::optional<qint64> retryAfterSeconds(const QByteArray &value, const QDateTime &now);

// The longest pause a server's Retry-After gets.
inline constexpr qint64 kMaxRetryAfterSeconds = 60;

// The pause before the next attempt, or empty when the file has had its
// attempts. RateLimited is tried once more, after Retry-After (at most 60 s,
// basePauseMs when the server gave none); Transient twice more, after
// basePauseMs and then twice that. `retriesSoFar` counts the attempts after
// the first.
std::optional<qint64> retryPauseMs(AttemptResult result, int retriesSoFar, std::optional<qint64> retryAfter,
                                   qint64 basePauseMs);
