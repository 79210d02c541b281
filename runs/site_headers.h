#pragma once

#include "runs/redirect_chain.h"
#include "runs/site_options.h"

#include <QByteArray>
#include <QUrl>

class QNetworkRequest;

// What every request of a run tells the site about itself, as a browser on
// that site would.

// The Referer a request for url sends: the one given, or url's own site
// ("<scheme>://<host>[:<port>]/") when none is; empty (none) when the one
// given is empty.
QByteArray refererFor(const SiteOptions &options, const QUrl &url);

// The User-Agent: the one given, else "Serimo/<version>".
QByteArray userAgentFor(const SiteOptions &options);

// Sets both on request, and turns off the certificate check where the
// run's options say so.
void addSiteHeaders(QNetworkRequest &request, const SiteOptions &options);

// A request for chain's current address, both set as a hop of the chain
// sends them (its Referer no more than a browser's after a redirect), that
// leaves redirects to the caller.
QNetworkRequest siteRequest(const RedirectChain &chain, const SiteOptions &options);
