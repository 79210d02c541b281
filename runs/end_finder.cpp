#include "runs/end_finder.h"

#include "runs/answer_result.h"
#include "runs/cookie_file.h"
#include "runs/placeholder_probe.h"
#include "runs/run_cookie_jar.h"
#include "runs/run_summary.h"
#include "runs/site_headers.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
// A probe that hears nothing for this long fails as a download's transfer does.
constexpr int kSilenceMs = 30000;
constexpr qint64 kRetryPauseMs = 1000;

QString shown(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveUserInfo).toString();
}
} // namespace

EndFinder::EndFinder(QObject *parent) : QObject(parent)
{
    m_network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

EndFinder::~EndFinder()
{
    blockSignals(true);
    stop();
}

void EndFinder::start(Addresses addresses, const SiteOptions &site)
{
    stop();
    ++m_generation;
    m_addresses = std::move(addresses);
    m_site = site;
    // A cookies file that cannot be read was refused before the search. The
    // cookies of an earlier search, and those its site set, go with it.
    m_network.setCookieJar(new RunCookieJar(runCookies(site), &m_network));
    m_queue.clear();
    m_sinceStart.invalidate();
    m_search.emplace();
    m_placeholder.reset();
    m_requests = 0;
    m_items = 0;
    m_headLengthIsPlaceholder = false;
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation && m_search)
            probePlaceholder();
    });
}

void EndFinder::probePlaceholder()
{
    const std::optional<QUrl> first = m_addresses(0);
    const std::optional<QUrl> second = m_addresses(1);
    const QUrl address = first && second ? impossibleAddress({*first, *second}) : QUrl();
    if (address.isEmpty())
        return sendMore();
    ++m_requests;
    m_probe = ::probePlaceholder(m_network, address, m_site, kSilenceMs, this,
                                 [this](std::optional<Placeholder> placeholder) {
                                     m_probe = nullptr;
                                     m_placeholder = std::move(placeholder);
                                     sendMore();
                                 });
    emit progress(m_requests, m_items);
}

void EndFinder::sendMore()
{
    while (m_search && !m_search->isDone()) {
        const QList<Probe> probes = m_search->nextProbes();
        if (probes.isEmpty())
            break;
        for (const Probe &probe : probes)
            send(probe, 0);
    }
    if (m_search && m_search->isDone()) {
        EndFound found;
        found.outcome = m_search->end() ? EndFound::Outcome::Found : EndFound::Outcome::NothingThere;
        found.end = m_search->end().value_or(-1);
        finish(found);
    }
}

void EndFinder::send(const Probe &probe, int retries)
{
    const std::optional<QUrl> url = m_addresses(probe.index);
    if (!url) {
        // Past where the counter goes: nothing to ask.
        QTimer::singleShot(0, this, [this, probe, generation = m_generation] {
            if (generation == m_generation && m_search)
                settle(probe, ProbeAnswer::Missing);
        });
        return;
    }
    m_queue.append({probe, *url, retries});
    sendQueued();
}

// With a wait between requests, one is out at a time and the next starts
// once the wait since the last start is over.
void EndFinder::sendQueued()
{
    while (!m_queue.isEmpty()) {
        if (m_site.waitMs > 0 && !m_asking.empty())
            return;
        if (m_site.waitMs > 0 && m_sinceStart.isValid() && m_sinceStart.elapsed() < m_site.waitMs) {
            QTimer::singleShot(m_site.waitMs - m_sinceStart.elapsed(), this, [this, generation = m_generation] {
                if (generation == m_generation)
                    sendQueued();
            });
            return;
        }
        m_sinceStart.start();
        request(m_queue.takeFirst());
    }
}

void EndFinder::request(const Asking &asked)
{
    const Probe &probe = asked.probe;
    QNetworkRequest request = siteRequest(asked.redirects.value_or(RedirectChain(asked.url)), m_site);
    request.setTransferTimeout(kSilenceMs);
    const bool head = probe.method == ProbeMethod::Head && !asked.wholeBody;
    QNetworkReply *reply = head ? m_network.head(request) : m_network.get(request);
    ++m_requests;
    m_asking.emplace(reply, std::make_unique<Asking>(asked));
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { headersIn(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { bodyIn(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { replyEnded(reply); });
    emit progress(m_requests, m_items);
}

// The headers mostly say all there is to know: a GET's body is read only
// while it may be the site's placeholder.
void EndFinder::headersIn(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const auto found = m_asking.find(reply);
    if (found == m_asking.end() || found->second->hash)
        return;
    // A redirection is followed, hop by hop; its target answers.
    if (status >= 300 && status < 400 && reply->hasRawHeader("Location"))
        return redirect(reply);
    if (status == 0 || (status >= 300 && status < 400))
        return;
    Asking &asked = *found->second;
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    AttemptResult result = answerResult(status, type, reply->url().path());
    if (result == AttemptResult::Complete && answersMissing(asked.url, reply->url(), type, m_placeholder))
        result = AttemptResult::Missing;
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (result == AttemptResult::Complete && mayBePlaceholder(length.isValid() ? length.toLongLong() : -1, m_placeholder)) {
        if (reply->operation() == QNetworkAccessManager::GetOperation) {
            asked.hash = std::make_shared<QCryptographicHash>(kPlaceholderHash);
            return bodyIn(reply);
        }
        if (m_headLengthIsPlaceholder) {
            const Probe probe = letGo(reply)->probe;
            return settle(probe, ProbeAnswer::Missing);
        }
        Asking whole = asked;
        whole.wholeBody = true;
        letGo(reply);
        m_queue.prepend(whole);
        return sendQueued();
    }
    const QByteArray retryAfter = reply->rawHeader("Retry-After");
    std::unique_ptr<Asking> asking = letGo(reply);
    QString failure = tr("the server answered HTTP %1 for %2").arg(status).arg(shown(asking->url));
    if (status == 401 || status == 403)
        failure += QStringLiteral(": ") + refusalHint();
    const bool refusedHead = asking->probe.method == ProbeMethod::Head && !asking->wholeBody
                             && (result == AttemptResult::Failed || status == 405 || status == 501);
    if (refusedHead)
        return settle(asking->probe, ProbeAnswer::Refused);
    conclude(*asking, result, retryAfterSeconds(retryAfter, QDateTime::currentDateTimeUtc()), failure,
             QStringLiteral("HTTP %1").arg(status));
}

// Asks again at the address a redirect gives; a redirect that is not
// followed (a loop, too many) ends the search, as no retry would change it.
void EndFinder::redirect(QNetworkReply *reply)
{
    const QByteArray location = reply->rawHeader("Location");
    std::unique_ptr<Asking> asking = letGo(reply);
    RedirectChain chain = asking->redirects.value_or(RedirectChain(asking->url));
    if (const QString refused = chain.follow(location); !refused.isEmpty()) {
        EndFound failed;
        failed.outcome = EndFound::Outcome::Failed;
        failed.failure = shown(asking->url) + QStringLiteral(": ") + refused;
        return finish(failed);
    }
    asking->redirects = chain;
    m_queue.prepend(*asking);
    sendQueued();
}

// A body that may be the placeholder's is hashed; one longer than it is not
// the placeholder, and one as long is compared once it ends.
void EndFinder::bodyIn(QNetworkReply *reply)
{
    const auto found = m_asking.find(reply);
    if (found == m_asking.end() || !found->second->hash)
        return;
    Asking &asked = *found->second;
    const QByteArray piece = reply->readAll();
    asked.received += piece.size();
    asked.hash->addData(piece);
    if (asked.received > m_placeholder->length) {
        const Probe probe = letGo(reply)->probe;
        settle(probe, ProbeAnswer::Present);
    }
}

// A reply that ends before its headers came: the network failed. One whose
// body was being compared with the placeholder's is present unless it is
// the placeholder.
void EndFinder::replyEnded(QNetworkReply *reply)
{
    bodyIn(reply);
    const QString error = reply->errorString();
    const bool whole = reply->error() == QNetworkReply::NoError;
    std::unique_ptr<Asking> asking = letGo(reply);
    if (!asking)
        return;
    if (asking->hash && whole) {
        const bool placeholder = isPlaceholderBody(asking->received, asking->hash->result(), m_placeholder);
        m_headLengthIsPlaceholder = m_headLengthIsPlaceholder || (placeholder && asking->wholeBody);
        return settle(asking->probe, placeholder ? ProbeAnswer::Missing : ProbeAnswer::Present);
    }
    // The transfer timeout ends a reply as if it was cancelled: say what it was.
    const QString why = reply->error() == QNetworkReply::OperationCanceledError
                            ? tr("no answer within %1 s").arg(kSilenceMs / 1000)
                            : error;
    conclude(*asking, AttemptResult::Transient, std::nullopt, shown(asking->url) + QStringLiteral(": ") + why, why);
}

std::unique_ptr<EndFinder::Asking> EndFinder::letGo(QNetworkReply *reply)
{
    const auto found = m_asking.find(reply);
    if (found == m_asking.end())
        return nullptr;
    std::unique_ptr<Asking> asking = std::move(found->second);
    m_asking.erase(found);
    disconnect(reply, nullptr, this, nullptr);
    // Deleting a reply closes its connection, and with it the body of a GET,
    // without a signal; not from inside the reply's own signal, though.
    reply->deleteLater();
    if (m_search)
        QTimer::singleShot(0, this, [this, generation = m_generation] {
            if (generation == m_generation)
                sendQueued();
        });
    return asking;
}

void EndFinder::conclude(const Asking &asking, AttemptResult result, std::optional<qint64> retryAfter,
                         const QString &failure, const QString &gist)
{
    if (result == AttemptResult::Complete || result == AttemptResult::Missing)
        return settle(asking.probe, result == AttemptResult::Complete ? ProbeAnswer::Present : ProbeAnswer::Missing);
    const std::optional<qint64> pause = retryPauseMs(result, asking.retries, retryAfter, kRetryPauseMs);
    if (!pause) {
        EndFound failed;
        failed.outcome = EndFound::Outcome::Failed;
        failed.failure = failure;
        failed.failureGist = gist;
        failed.failureUrl = asking.url.adjusted(QUrl::RemoveUserInfo);
        return finish(failed);
    }
    QTimer::singleShot(*pause, this, [this, probe = asking.probe, retries = asking.retries + 1,
                                      generation = m_generation] {
        if (generation == m_generation && m_search)
            send(probe, retries);
    });
}

void EndFinder::settle(const Probe &probe, ProbeAnswer answer)
{
    if (answer == ProbeAnswer::Present)
        m_items = std::max(m_items, probe.index + 1);
    m_search->answer(probe, answer);
    emit progress(m_requests, m_items);
    sendMore();
}

void EndFinder::stop()
{
    if (m_search)
        finish(EndFound());
}

void EndFinder::finish(EndFound found)
{
    ++m_generation;
    found.requests = m_requests;
    m_search.reset();
    m_queue.clear();
    if (m_probe) {
        disconnect(m_probe, nullptr, this, nullptr);
        m_probe->abort();
        m_probe->deleteLater();
        m_probe = nullptr;
    }
    while (!m_asking.empty())
        letGo(m_asking.begin()->first);
    // Reported from the event loop: the receiver may open a dialog, which
    // must not run inside a reply's signal.
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation, found] {
        if (generation == m_generation)
            emit finished(found);
    });
}
