#pragma once

#include "runs/site_options.h"

#include <QByteArray>
#include <QUrl>

class QNetworkCookieJar;
class QNetworkRequest;

// What every request of a run tells the site about itself, as a browser on
// that site would.

// The Referer a request for url sends: the one given, or url's own site
// ("<scheme>://<host>[:<port>]/") when none is; empty (none) when the one
// given is empty.
QByteArray refererFor(const SiteOptions &options, const QUrl &url);

// The User-Agent: the one given, else "Serimo/<version>".
QByteArray userAgentFor(const SiteOptions &options);

// Sets both on request.
void addSiteHeaders(QNetworkRequest &request, const SiteOptions &options);

// The Cookie header the jar's cookies give a request for url; empty when
// none of them goes with it.
QByteArray cookieHeader(const QNetworkCookieJar &jar, const QUrl &url);
