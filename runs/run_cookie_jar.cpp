#include "runs/run_cookie_jar.h"

#include "runs/public_suffix.h"

#include <QDateTime>
#include <QUrl>
#include <algorithm>

namespace {
QString bucketOf(const QNetworkCookie &cookie)
{
    const QString domain = cookie.domain().toLower();
    return domain.startsWith(u'.') ? domain.mid(1) : domain;
}

// A request path within the cookie's: the same, or below it at a '/'.
bool pathMatches(const QString &cookiePath, const QString &requestPath)
{
    if (!requestPath.startsWith(cookiePath))
        return false;
    return cookiePath.size() == requestPath.size() || cookiePath.endsWith(u'/')
           || requestPath.at(cookiePath.size()) == u'/';
}
} // namespace

RunCookieJar::RunCookieJar(const QList<QNetworkCookie> &cookies, QObject *parent) : QNetworkCookieJar(parent)
{
    // A later cookie of the same name, domain and path takes the place of an
    // earlier one, as in a browser's jar.
    for (const QNetworkCookie &cookie : cookies)
        RunCookieJar::insertCookie(cookie);
}

QList<QNetworkCookie> RunCookieJar::cookiesForUrl(const QUrl &url) const
{
    const QString host = url.host().toLower();
    const QString path = url.path().isEmpty() ? QStringLiteral("/") : url.path();
    const bool secure = url.scheme() == u"https";
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> sent;
    for (const QString &domain : hostAndDomainsAbove(host)) {
        for (const QNetworkCookie &cookie : m_byDomain.value(domain)) {
            const bool hostOnly = !cookie.domain().startsWith(u'.');
            if ((hostOnly && domain != host) || (cookie.isSecure() && !secure) || !pathMatches(cookie.path(), path)
                || (!cookie.isSessionCookie() && cookie.expirationDate() < now))
                continue;
            sent.append(cookie);
        }
    }
    // The longer path first, as browsers send them.
    std::stable_sort(sent.begin(), sent.end(), [](const QNetworkCookie &a, const QNetworkCookie &b) {
        return a.path().size() > b.path().size();
    });
    return sent;
}

bool RunCookieJar::setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url)
{
    bool added = false;
    for (QNetworkCookie cookie : cookies) {
        cookie.normalize(url);
        if (!validateCookie(cookie, url))
            continue;
        if (!cookie.isSessionCookie() && cookie.expirationDate() < QDateTime::currentDateTimeUtc())
            deleteCookie(cookie);
        else
            added = insertCookie(cookie) || added;
    }
    return added;
}

bool RunCookieJar::insertCookie(const QNetworkCookie &cookie)
{
    QList<QNetworkCookie> &bucket = m_byDomain[bucketOf(cookie)];
    for (QNetworkCookie &kept : bucket) {
        if (kept.hasSameIdentifier(cookie)) {
            kept = cookie;
            return true;
        }
    }
    bucket.append(cookie);
    return true;
}

bool RunCookieJar::updateCookie(const QNetworkCookie &cookie)
{
    return insertCookie(cookie);
}

bool RunCookieJar::deleteCookie(const QNetworkCookie &cookie)
{
    const auto bucket = m_byDomain.find(bucketOf(cookie));
    if (bucket == m_byDomain.end())
        return false;
    return bucket->removeIf([&](const QNetworkCookie &kept) { return kept.hasSameIdentifier(cookie); }) > 0;
}

QByteArray RunCookieJar::headerFor(const QUrl &url) const
{
    QList<QByteArray> pairs;
    for (const QNetworkCookie &cookie : cookiesForUrl(url))
        pairs.append(cookie.toRawForm(QNetworkCookie::NameAndValueOnly));
    return pairs.join("; ");
}
