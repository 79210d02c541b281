#include "runs/download_address.h"

WebAddress webAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    QUrl url(trimmed, QUrl::TolerantMode);
    if (url.scheme().isEmpty())
        url = QUrl(QStringLiteral("http://") + trimmed, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return {{}, WebAddress::Problem::Scheme};
    if (!url.isValid() || url.host().isEmpty())
        return {{}, WebAddress::Problem::NoHost};
    return {url, WebAddress::Problem::None};
}

RunAddresses runAddresses(const QStringList &run)
{
    RunAddresses addresses;
    for (const QString &address : run) {
        const WebAddress web = webAddress(address);
        if (web.problem != WebAddress::Problem::None) {
            const QString shown = QUrl(address, QUrl::TolerantMode).adjusted(QUrl::RemoveUserInfo).toString();
            return {{}, web.problem, shown};
        }
        addresses.urls.append(web.url);
    }
    return addresses;
}
