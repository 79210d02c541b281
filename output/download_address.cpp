#include "output/download_address.h"

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
