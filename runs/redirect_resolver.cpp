#include "runs/redirect_resolver.h"

#include "runs/run_cookie_jar.h"
#include "runs/site_headers.h"

#include <QNetworkReply>
#include <QTimer>

RedirectResolver::RedirectResolver(const SiteOptions &site, const QList<QNetworkCookie> &cookies, QObject *parent)
    : QObject(parent), m_site(site)
{
    m_network.setCookieJar(new RunCookieJar(cookies, &m_network));
}

void RedirectResolver::resolve(const QList<QUrl> &urls, std::function<void(const QList<RedirectChain> &)> done)
{
    stop();
    m_chains.clear();
    for (const QUrl &url : urls)
        m_chains.append(RedirectChain(url));
    m_done = std::move(done);
    m_next = 0;
    m_settled = 0;
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation)
            askMore();
    });
}

void RedirectResolver::stop()
{
    ++m_generation;
    for (QNetworkReply *reply : std::as_const(m_asking)) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
    m_asking.clear();
}

void RedirectResolver::askMore()
{
    if (m_settled == m_chains.size())
        return m_done(m_chains);
    const int atOnce = m_site.waitMs > 0 ? 1 : kAtOnce;
    while (m_asking.size() < atOnce && m_next < m_chains.size()) {
        const int index = m_next++;
        if (m_site.waitMs > 0 && index > 0) {
            const int generation = m_generation;
            QTimer::singleShot(m_site.waitMs, this, [this, index, generation] {
                if (generation == m_generation)
                    ask(index);
            });
            // Counted as asking while it waits its turn.
            m_asking.append(nullptr);
            return;
        }
        ask(index);
    }
}

void RedirectResolver::ask(int index)
{
    m_asking.removeOne(nullptr);
    QNetworkRequest request = siteRequest(m_chains[index], m_site);
    request.setTransferTimeout(kAnswerMs);
    QNetworkReply *reply = m_network.get(request);
    m_asking.append(reply);
    // The headers say where the address leads; the body is never read.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, index, reply] { answered(index, reply); });
    connect(reply, &QNetworkReply::finished, this, [this, index, reply] { answered(index, reply); });
}

void RedirectResolver::answered(int index, QNetworkReply *reply)
{
    m_asking.removeOne(reply);
    disconnect(reply, nullptr, this, nullptr);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray location = reply->rawHeader("Location");
    reply->abort();
    reply->deleteLater();
    if (status >= 300 && status < 400 && !location.isEmpty() && m_chains[index].follow(location).isEmpty())
        ask(index);
    else
        ++m_settled;
    askMore();
}
