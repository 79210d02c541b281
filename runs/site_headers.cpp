#include "runs/site_headers.h"

#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QSslSocket>

namespace {
// A header value holds no line break nor other control character: a
// user's text cannot add a header of its own.
QByteArray headerValue(QString text)
{
    for (QChar &character : text)
        if (character.category() == QChar::Other_Control)
            character = u' ';
    return text.trimmed().toUtf8();
}

// A run's --no-check-certificate: a server of the user's own, whose
// certificate no authority signed.
void checkCertificates(QNetworkRequest &request, const SiteOptions &options)
{
    if (options.checkCertificates)
        return;
    QSslConfiguration ssl = request.sslConfiguration();
    ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
    request.setSslConfiguration(ssl);
}
} // namespace

QByteArray refererFor(const SiteOptions &options, const QUrl &url)
{
    if (options.referer)
        return headerValue(*options.referer);
    // The site, never a user name or password in the address.
    return originOf(url) + '/';
}

QByteArray userAgentFor(const SiteOptions &options)
{
    const QByteArray given = headerValue(options.userAgent);
    return given.isEmpty() ? QByteArray("Serimo/" SERIMO_VERSION) : given;
}

QNetworkRequest siteRequest(const RedirectChain &chain, const SiteOptions &options)
{
    QNetworkRequest request(chain.current());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgentFor(options));
    if (const QByteArray referer = chain.referer(refererFor(options, chain.first())); !referer.isEmpty())
        request.setRawHeader("Referer", referer);
    checkCertificates(request, options);
    return request;
}

void addSiteHeaders(QNetworkRequest &request, const SiteOptions &options)
{
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgentFor(options));
    if (const QByteArray referer = refererFor(options, request.url()); !referer.isEmpty())
        request.setRawHeader("Referer", referer);
    checkCertificates(request, options);
}
