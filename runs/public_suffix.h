#pragma once

#include <QString>
#include <QStringList>

// The domains under which anyone may register a site ("com", "co.uk",
// "github.io"), as Qt's copy of the public suffix list knows them, and any
// name of one label. A cookie or a site option for one would reach every
// site below it.
bool isPublicSuffix(const QString &domain);

// The domain a host's owner registered: the host's shortest suffix that is
// not a public suffix ("example.co.uk" for "img.example.co.uk"). The host
// itself where it is an IP address, or a public suffix or a single label
// ("localhost").
QString registrableDomain(const QString &host);

// The host, then each domain above it, nearest first: "a.b.example.org",
// "b.example.org", "example.org", "org".
QStringList hostAndDomainsAbove(const QString &host);
