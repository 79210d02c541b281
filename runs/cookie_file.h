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
};

// Reads the file at path. A cookies.sqlite is read from a copy, since the
// browser keeps the file locked while it runs.
CookieFile readCookieFile(const QString &path);

// The cookies of the file a run's options name; none, and no error, when
// they name none.
CookieFile cookiesOf(const SiteOptions &site);
