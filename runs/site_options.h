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
    // The cookies file as a run read it: the run's end search and its
    // download share one reading (runs/cookie_file.h). Null until read.
    std::shared_ptr<const CookieFile> cookiesRead = {};

    // The user changed any of them from the defaults.
    bool isSet() const { return referer || !userAgent.isEmpty() || !cookiesFile.isEmpty() || waitMs > 0; }
};

// The longest wait between files, in seconds.
inline constexpr int kWaitMaximumSeconds = 3600;

// "SECONDS" as the user writes it (a whole number or one with up to three
// decimals, 0 to kWaitMaximumSeconds) in milliseconds; nothing when it is not
// such a number.
std::optional<int> waitMilliseconds(const QString &seconds);
