#pragma once

#include "runs/site_options.h"

#include <QList>
#include <QNetworkCookie>
#include <QString>

// The cookies a browser exported as a Netscape cookies.txt, or keeps in
// Firefox's cookies.sqlite, for the requests of a run. Which of them a
// request sends is QNetworkCookieJar's to decide (domain, path, expiry,
// secure).
struct CookieFile
{
    QList<QNetworkCookie> cookies;
    // The one line that says why there are none: the file cannot be read, or
    // it is neither format.
    QString error;
    // The one line that says how many cookies were left out: those whose
    // name or value holds a control character, or whose name a ';', could
    // add a header of their own to a request.
    QString leftOut = {};
};

// Reads the file at path: only a regular file (a FIFO, device, socket or
// folder is refused at once), and a cookies.txt only up to 64 MB. A
// cookies.sqlite is read from a copy, since the browser keeps the file
// locked while it runs.
CookieFile readCookieFile(const QString &path);

// Reads the cookies file a run's options name, once: site, and every copy
// of it made afterwards, keep that reading. The reading's error; empty where
// it was read or site names no file. leftOut gets the reading's line on
// cookies left out, once: only where this call read the file.
QString readRunCookies(SiteOptions &site, QString *leftOut = nullptr);

// The cookies of site's reading; a site not read yet is read now (a file
// that cannot be read was refused before the run, and gives none).
QList<QNetworkCookie> runCookies(const SiteOptions &site);
