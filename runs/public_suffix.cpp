#include "runs/public_suffix.h"

#include <QHostAddress>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QUrl>

namespace {
// The jar knows the listed suffixes: it refuses a cookie for one from a
// host below it.
class SuffixCheck : public QNetworkCookieJar
{
public:
    bool refusesDomainCookie(const QString &domain) const
    {
        QNetworkCookie cookie("n", "v");
        cookie.setDomain(u'.' + domain);
        return !validateCookie(cookie, QUrl(QStringLiteral("http://serimo-check.") + domain + u'/'));
    }
};
} // namespace

bool isPublicSuffix(const QString &domain)
{
    if (domain.isEmpty() || !QHostAddress(domain).isNull())
        return false;
    if (!domain.contains(u'.'))
        return true;
    static const SuffixCheck check;
    return check.refusesDomainCookie(domain);
}

QString registrableDomain(const QString &host)
{
    if (!QHostAddress(host).isNull())
        return host;
    // From the right: "uk", "co.uk", "example.co.uk".
    const QStringList domains = hostAndDomainsAbove(host);
    for (auto domain = domains.crbegin(); domain != domains.crend(); ++domain)
        if (!isPublicSuffix(*domain))
            return *domain;
    return host;
}

QStringList hostAndDomainsAbove(const QString &host)
{
    QStringList domains{host};
    for (qsizetype dot = host.indexOf(u'.'); dot >= 0; dot = host.indexOf(u'.', dot + 1))
        domains.append(host.mid(dot + 1));
    return domains;
}
