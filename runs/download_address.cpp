#include "runs/download_address.h"

#include <QCoreApplication>

namespace {
constexpr qsizetype kShownLength = 200;

// Where the text names a host after its scheme, whether a URL can be made
// of it or not.
bool namesAHost(const QString &text)
{
    const qsizetype mark = text.indexOf(u"://");
    return mark > 0 && mark + 3 < text.size() && !QStringView(u"/?#").contains(text[mark + 3]);
}

// The address as a message may show it: without its user name and password,
// and cut short.
QString shownAddress(const QString &address)
{
    QString shown = QUrl(address, QUrl::TolerantMode).adjusted(QUrl::RemoveUserInfo).toString();
    if (shown.isEmpty() && namesAHost(address)) {
        // No URL can be made of it: the user information goes by hand.
        const qsizetype hostStart = address.indexOf(u"://") + 3;
        qsizetype hostEnd = hostStart;
        while (hostEnd < address.size() && !QStringView(u"/?#").contains(address[hostEnd]))
            ++hostEnd;
        const qsizetype at = address.lastIndexOf(u'@', hostEnd - 1);
        shown = at >= hostStart ? address.left(hostStart) + address.mid(at + 1) : address;
    }
    return shown.size() > kShownLength ? shown.left(kShownLength) + u'\u2026' : shown;
}
} // namespace

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
        return {{}, namesAHost(trimmed) ? WebAddress::Problem::BadHost : WebAddress::Problem::NoHost};
    return {url, WebAddress::Problem::None};
}

RunAddresses runAddresses(const QStringList &run)
{
    RunAddresses addresses;
    for (const QString &address : run) {
        const WebAddress web = webAddress(address);
        if (web.problem != WebAddress::Problem::None) {
            return {{}, web.problem, shownAddress(address)};
        }
        addresses.urls.append(web.url);
    }
    return addresses;
}

QString addressProblemMessage(const RunAddresses &addresses, AddressUse use, MessageStyle style)
{
    const bool download = use == AddressUse::Download;
    QString problem;
    switch (addresses.problem) {
    case WebAddress::Problem::None:
        return {};
    case WebAddress::Problem::Scheme:
        problem = download ? QCoreApplication::translate("Runs", "only http and https addresses can be downloaded")
                           : QCoreApplication::translate("Runs", "only http and https addresses can be asked for");
        break;
    case WebAddress::Problem::NoHost:
        problem = download ? QCoreApplication::translate("Runs", "this address names no server to download from")
                           : QCoreApplication::translate("Runs", "this address names no server to ask");
        break;
    case WebAddress::Problem::BadHost:
        problem = QCoreApplication::translate("Runs", "no server can have the host name of this address (too long, "
                                                      "or characters a host name cannot hold)");
        break;
    }
    if (style == MessageStyle::Terminal)
        return QStringLiteral("%1: '%2'").arg(problem, addresses.shown);
    problem[0] = problem[0].toUpper();
    return QStringLiteral("%1:\n%2").arg(problem, addresses.shown);
}
