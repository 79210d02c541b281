#pragma once

#include <QHash>
#include <QList>
#include <QNetworkCookie>
#include <QNetworkCookieJar>

// The cookies of one run, from its cookies file and from the site's
// answers, kept by domain: a request looks only at the cookies of its host
// and of the domains above it, so that a file of 100,000 cookies, or a site
// that sets dozens with every answer, costs a run next to nothing.
// QNetworkCookieJar's own list is searched whole for every request and every
// cookie set. Which cookie goes where is as there: domain, path, scheme
// (secure) and expiry.
class RunCookieJar : public QNetworkCookieJar
{
public:
    explicit RunCookieJar(const QList<QNetworkCookie> &cookies = {}, QObject *parent = nullptr);

    QList<QNetworkCookie> cookiesForUrl(const QUrl &url) const override;
    bool setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url) override;
    bool insertCookie(const QNetworkCookie &cookie) override;
    bool updateCookie(const QNetworkCookie &cookie) override;
    bool deleteCookie(const QNetworkCookie &cookie) override;

    // The Cookie header a request for url sends; empty where none goes.
    QByteArray headerFor(const QUrl &url) const;

private:
    // By the cookie's domain, without its leading dot, in lower case.
    QHash<QString, QList<QNetworkCookie>> m_byDomain;
};
