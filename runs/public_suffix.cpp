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
    for (qsizetype dot = host.lastIndexOf(u'.'); dot > 0; dot = host.lastIndexOf(u'.', dot - 1)) {
        const QString suffix = host.mid(dot + 1);
        if (!isPublicSuffix(suffix))
            return suffix;
    }
    return host;
}
