#include "runs/site_book.h"

#include "runs/public_suffix.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kReferer = QStringLiteral("referer");
const QString kUserAgent = QStringLiteral("userAgent");
const QString kCookiesFile = QStringLiteral("cookiesFile");
const QString kWaitMs = QStringLiteral("waitMs");
const QString kConnections = QStringLiteral("connections");

QJsonObject toObject(const SiteOptions &options)
{
    QJsonObject object;
    if (options.referer)
        object.insert(kReferer, *options.referer);
    if (!options.userAgent.isEmpty())
        object.insert(kUserAgent, options.userAgent);
    if (!options.cookiesFile.isEmpty())
        object.insert(kCookiesFile, options.cookiesFile);
    if (options.waitMs > 0)
        object.insert(kWaitMs, options.waitMs);
    if (options.connections > 0)
        object.insert(kConnections, options.connections);
    return object;
}

std::optional<SiteOptions> fromObject(const QJsonObject &object)
{
    SiteOptions options;
    for (const QString &text : {kReferer, kUserAgent, kCookiesFile})
        if (object.contains(text) && !object.value(text).isString())
            return std::nullopt;
    if (object.contains(kReferer))
        options.referer = object.value(kReferer).toString();
    options.userAgent = object.value(kUserAgent).toString();
    options.cookiesFile = object.value(kCookiesFile).toString();
    const double wait = object.value(kWaitMs).toDouble(0);
    if (!object.value(kWaitMs).isUndefined()
        && (!object.value(kWaitMs).isDouble() || wait < 0 || wait > kWaitMaximumSeconds * 1000))
        return std::nullopt;
    options.waitMs = int(wait);
    const QJsonValue connections = object.value(kConnections);
    if (!connections.isUndefined()
        && (!connections.isDouble() || connections.toInt(-1) < 1 || connections.toInt() > kMostConnections))
        return std::nullopt;
    options.connections = connections.toInt(0);
    return options;
}
} // namespace

std::optional<QString> SiteBook::keyFor(const QString &host) const
{
    if (m_sites.contains(host))
        return host;
    // The host's whole domain, then those above it: ".b.example.org", ".example.org".
    for (const QString &domain : hostAndDomainsAbove(host))
        if (m_sites.contains(u'.' + domain))
            return u'.' + domain;
    return std::nullopt;
}

SiteBook::Site SiteBook::siteOf(const QUrl &address) const
{
    const QString host = address.host().toLower();
    const std::optional<QString> key = keyFor(host);
    if (key && key->startsWith(u'.'))
        return {host, key->mid(1), true};
    return {host, QHostAddress(host).isNull() ? registrableDomain(host) : QString(), false};
}

SiteOptions SiteBook::optionsFor(const QUrl &address) const
{
    const std::optional<QString> key = keyFor(address.host().toLower());
    return key ? m_sites.value(*key) : SiteOptions();
}

void SiteBook::set(const Site &site, const SiteOptions &options)
{
    // The host's own entry would hide its domain's.
    m_sites.remove(site.host);
    const QString key = site.wholeDomain ? u'.' + site.domain : site.host;
    m_sites.remove(key);
    // The defaults for a host are kept where a domain above it has options.
    if (options.isSet() || (!site.wholeDomain && keyFor(site.host)))
        m_sites.insert(key, SiteOptions{options.referer, options.userAgent, options.cookiesFile, options.waitMs,
                                        options.connections});
}

QByteArray SiteBook::toJson() const
{
    QJsonObject sites;
    for (auto it = m_sites.cbegin(); it != m_sites.cend(); ++it)
        sites.insert(it.key(), toObject(it.value()));
    return QJsonDocument(sites).toJson(QJsonDocument::Compact);
}

std::optional<SiteBook> SiteBook::fromJson(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    SiteBook book;
    const QJsonObject sites = document.object();
    for (auto it = sites.constBegin(); it != sites.constEnd(); ++it) {
        const std::optional<SiteOptions> options = it.value().isObject() ? fromObject(it.value().toObject()) : std::nullopt;
        if (!options)
            return std::nullopt;
        book.m_sites.insert(it.key().toLower(), *options);
    }
    return book;
}
