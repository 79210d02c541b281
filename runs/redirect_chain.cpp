#include "runs/redirect_chain.h"

#include "common/translate_main.h"

QByteArray originOf(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toEncoded();
}

namespace {
bool sameOrigin(const QUrl &a, const QUrl &b)
{
    return a.scheme() == b.scheme() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0
           && a.port(a.scheme() == u"https" ? 443 : 80) == b.port(b.scheme() == u"https" ? 443 : 80);
}
} // namespace

QString RedirectChain::follow(const QByteArray &location)
{
    const QUrl next = current().resolved(QUrl::fromEncoded(location.trimmed()));
    const QString scheme = next.scheme().toLower();
    if (!next.isValid() || (scheme != u"http" && scheme != u"https"))
        return next.scheme().isEmpty()
                   ? trMain("a redirect to an address that cannot be read, which is never followed")
                   : trMain("a redirect to a %1: address, which is never followed").arg(scheme);
    if (current().scheme() == u"https" && scheme == u"http")
        return trMain("a redirect from https to http, which would send the request unencrypted");
    if (m_hops.contains(next.adjusted(QUrl::RemoveFragment)))
        return trMain("a redirect loop");
    if (m_hops.size() > kMaxRedirects)
        return trMain("more than %1 redirects").arg(kMaxRedirects);
    m_hops.append(next.adjusted(QUrl::RemoveFragment));
    return {};
}

QByteArray RedirectChain::referer(const QByteArray &firstReferer) const
{
    if (!redirected() || firstReferer.isEmpty())
        return firstReferer;
    const QUrl page = QUrl::fromEncoded(firstReferer);
    if (page.host().isEmpty() || (page.scheme() == u"https" && current().scheme() == u"http"))
        return {};
    if (sameOrigin(page, current()))
        return firstReferer;
    return originOf(page) + '/';
}
