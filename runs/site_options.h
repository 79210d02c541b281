#pragma once

#include <QString>
#include <memory>
#include <optional>

struct CookieFile;

// How a run presents itself to the site and paces itself, as the user set it
// on the command line or in the Download options dialog. Pure: Qt Core only.
struct SiteOptions
{
    // The Referer every request sends: unset, the series' own site
    // ("<scheme>://<host>/"); set and empty, none.
    std::optional<QString> referer;
    // Empty: Serimo's own ("Serimo/<version>").
    QString userAgent;
    // A Netscape cookies.txt or a Firefox cookies.sqlite; empty: no cookies.
    QString cookiesFile;
    // The pause between the starts of two requests; above 0 the run fetches
    // one file at a time.
    int waitMs = 0;
    // The files fetched at once over HTTP/1.1, each on a connection of its
    // own; 0: kDefaultConnections. Over HTTP/2 a run asks up to
    // kHttp2Streams at once on one connection.
    int connections = 0;
    // False only for a run's own --no-check-certificate, never kept: a
    // certificate the system does not trust is then taken.
    bool checkCertificates = true;
    // The cookies file as a run read it: the run's end search and its
    // download share one reading (runs/cookie_file.h). Null until read.
    std::shared_ptr<const CookieFile> cookiesRead = {};

    // The user changed any of them from the defaults.
    bool isSet() const
    {
        return referer || !userAgent.isEmpty() || !cookiesFile.isEmpty() || waitMs > 0 || connections > 0;
    }
};

// Connections to a site at once over HTTP/1.1: as a browser's tab by
// default, at most as many as download managers allow.
inline constexpr int kDefaultConnections = 4;
inline constexpr int kMostConnections = 16;
// Requests of a run in flight at once on one HTTP/2 connection (a
// browser's tab goes up to 100).
inline constexpr int kHttp2Streams = 32;

// The longest wait between files, in seconds.
inline constexpr int kWaitMaximumSeconds = 3600;

// "SECONDS" as the user writes it (a whole number or one with up to three
// decimals, 0 to kWaitMaximumSeconds) in milliseconds; nothing when it is not
// such a number.
std::optional<int> waitMilliseconds(const QString &seconds);
