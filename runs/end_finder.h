#pragma once

#include "runs/download_retry.h"
#include "runs/end_search.h"
#include "runs/redirect_chain.h"
#include "runs/placeholder.h"
#include "runs/site_options.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QNetworkReply;

// What a search for a series' end came to.
struct EndFound
{
    enum class Outcome {
        Found,        // `end` is the index of the series' last address
        NothingThere, // the first address itself is missing
        Failed,       // the server failed: `failure` says how, for a person
        Stopped,
    };
    Outcome outcome = Outcome::Stopped;
    qint64 end = -1;
    int requests = 0;
    QString failure;
    // The failure in a few words, without the address ("HTTP 403"; a
    // network failure's own words), and the address it came from.
    QString failureGist;
    QUrl failureUrl;
};

// Finds where a series ends by asking its server for a few of its addresses
// (EndSearch says which), on the thread it lives on without ever blocking it.
// HEAD where the server answers it as GET, else GET with the body dropped
// once the headers are in; a server that asks to slow down (429, 503) is
// asked again after its Retry-After, as a download does. A site's
// placeholder for what it does not have is missing, as in a download: the
// search first asks for an address that cannot exist, and an answer of the
// placeholder's length is fetched whole to compare its body.
class EndFinder : public QObject
{
    Q_OBJECT
public:
    // The address at an index; empty where the series has none, which
    // counts as missing without a request.
    using Addresses = std::function<std::optional<QUrl>(qint64 index)>;

    explicit EndFinder(QObject *parent = nullptr);
    ~EndFinder() override;

    // Starts the search; it reports from the event loop, never from here.
    // The site's options: its Referer, the User-Agent, the wait between
    // two requests.
    void start(Addresses addresses, const SiteOptions &site = {});
    // Ends the search now; `finished` reports it stopped.
    void stop();
    bool isRunning() const { return m_search.has_value(); }

    struct Asking
    {
        Probe probe;
        QUrl url;
        int retries = 0;
        // The addresses the request went through, once the site redirected it.
        std::optional<RedirectChain> redirects = {};
        // GET where the probe's HEAD answered with the placeholder's length.
        bool wholeBody = false;
        // The body read so far, while it may be the placeholder's.
        std::shared_ptr<QCryptographicHash> hash = {};
        qint64 received = 0;
    };

signals:
    // `requests` sent so far; the series holds at least `items` addresses.
    void progress(int requests, qint64 items);
    void finished(const EndFound &found);

private:

    void probePlaceholder();
    void redirect(QNetworkReply *reply);
    void sendMore();
    void send(const Probe &probe, int retries);
    void sendQueued();
    void request(const Asking &asked);
    void headersIn(QNetworkReply *reply);
    void bodyIn(QNetworkReply *reply);
    void replyEnded(QNetworkReply *reply);
    std::unique_ptr<Asking> letGo(QNetworkReply *reply);
    // failure says how the server failed for a person; gist the same in a
    // few words, without the address.
    void conclude(const Asking &asking, AttemptResult result, std::optional<qint64> retryAfter,
                  const QString &failure, const QString &gist);
    void settle(const Probe &probe, ProbeAnswer answer);
    void finish(EndFound found);

    QNetworkAccessManager m_network;
    Addresses m_addresses;
    std::optional<EndSearch> m_search;
    std::optional<Placeholder> m_placeholder;
    QNetworkReply *m_probe = nullptr;
    std::map<QNetworkReply *, std::unique_ptr<Asking>> m_asking;
    SiteOptions m_site;
    // Probes waiting for the wait between two requests.
    QList<Asking> m_queue;
    QElapsedTimer m_sinceStart;
    int m_requests = 0;
    // A HEAD as long as the placeholder was the placeholder once: the later
    // ones are taken for it without fetching them.
    bool m_headLengthIsPlaceholder = false;
    qint64 m_items = 0;
    // Retries scheduled by an earlier search come to nothing.
    int m_generation = 0;
};
