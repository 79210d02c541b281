#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

// The site of url, "<scheme>://<host>[:<port>]", without a user name,
// password, path, query or fragment.
QByteArray originOf(const QUrl &url);

// The addresses one request went through. Serimo follows a site's
// redirects itself, as a browser does: each hop sends only what belongs to
// it (the Referer a browser would send), and a loop or an endless chain
// ends at once instead of after Qt's 50 hops on each retry. Pure: Qt Core
// only.
class RedirectChain
{
public:
    // More than this many redirects for one address is a failure, as with
    // curl and wget.
    static constexpr int kMaxRedirects = 10;

    explicit RedirectChain(const QUrl &first) : m_hops{first} {}
    const QUrl &first() const { return m_hops.first(); }
    const QUrl &current() const { return m_hops.last(); }
    bool redirected() const { return m_hops.size() > 1; }

    // Follows a redirect whose Location is location, from current(); the
    // reason it is not followed, empty where it is: a loop, a chain past
    // kMaxRedirects, a scheme other than http and https, or a step down
    // from https to http.
    QString follow(const QByteArray &location);

    // What a hop to current() sends as its Referer, where the first address
    // sent firstReferer: the same on the origin of the page it names, else
    // only that origin (never its path, query or a user's password), and
    // nothing from https to http.
    QByteArray referer(const QByteArray &firstReferer) const;

private:
    QList<QUrl> m_hops;
};
