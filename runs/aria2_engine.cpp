#include "runs/aria2_engine.h"

#include "runs/aria2_client.h"
#include "runs/cookie_file.h"
#include "runs/run_cookie_jar.h"
#include "runs/download_names.h"
#include "runs/redirect_resolver.h"
#include "runs/engine_registry.h"
#include "runs/run_end.h"
#include "runs/site_headers.h"


#include <QCoreApplication>
#include <algorithm>

Aria2Engine::Aria2Engine(Aria2Options options, QObject *parent)
    : DownloadEngine(parent), m_options(std::move(options))
{
    m_pollTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &Aria2Engine::poll);
}

Aria2Engine::~Aria2Engine() = default;

void Aria2Engine::start(const QList<QUrl> &urls)
{
    // A fresh client drops the answers still due to an earlier run.
    delete m_client;
    m_client = new Aria2Client(m_options.address, m_options.answerMs, this);
    m_items.clear();
    for (const QUrl &url : urls)
        m_items.append({url, {}});
    m_summary = RunResult();
    m_summary.outcomes = QList<FileOutcome>(urls.size(), FileOutcome::NotTried);
    m_settled = 0;
    m_unanswered = 0;
    m_running = true;
    QList<RedirectChain> direct;
    bool cookiesGo = false;
    const RunCookieJar jar(m_options.cookies);
    for (const QUrl &url : urls) {
        direct.append(RedirectChain(url));
        cookiesGo = cookiesGo || !jar.headerFor(url).isEmpty();
    }
    // The daemon would repeat a run's Cookie header to whatever host a
    // redirect leads to: it gets the address the redirects end at, with the
    // cookies of that address's host.
    if (!cookiesGo)
        return hand(urls, direct);
    delete m_resolver;
    m_resolver = new RedirectResolver(m_options.run.site, m_options.cookies, this);
    m_resolver->resolve(urls, [this, urls](const QList<RedirectChain> &chains) { hand(urls, chains); });
}

void Aria2Engine::hand(const QList<QUrl> &urls, const QList<RedirectChain> &chains)
{
    const RunCookieJar jar(m_options.cookies);
    QList<QUrl> addresses;
    QList<Aria2SiteHeaders> headers;
    for (const RedirectChain &chain : chains) {
        addresses.append(chain.current());
        headers.append({chain.referer(refererFor(m_options.run.site, chain.first())), userAgentFor(m_options.run.site),
                        jar.headerFor(chain.current())});
    }
    const QByteArray request =
        aria2AddUrisRequest(m_options.secret, addresses, downloadFileNames(urls), m_options.folder, headers);
    m_client->send(request, urls.size(), [this](const Aria2Answer &answer) {
        QString error;
        const QStringList gids = aria2Gids(answer, &error);
        if (gids.isEmpty() || !m_running) {
            // What the daemon took of a run it did not take whole, or of one
            // stopped meanwhile, goes again.
            QStringList taken;
            for (const Aria2Result &result : answer.results) {
                if (result.error.isEmpty() && result.value.isString())
                    taken.append(result.value.toString());
            }
            if (!taken.isEmpty())
                removeFromDaemon(taken, {});
            // A run stopped while it was handed over has reported already.
            if (m_running) {
                m_running = false;
                emit refused(error);
            }
            return;
        }
        for (qsizetype i = 0; i < gids.size(); ++i)
            m_items[i].gid = gids[i];
        emit accepted(int(gids.size()));
        emit progress(0, m_summary.total());
        m_sincePoll.start();
        m_pollTimer.start(m_options.pollMs);
    });
}

QStringList Aria2Engine::openGids() const
{
    QStringList gids;
    for (const Item &item : m_items) {
        if (!item.settled && !item.gid.isEmpty())
            gids.append(item.gid);
    }
    return gids;
}

void Aria2Engine::poll()
{
    if (!m_running)
        return;
    const QStringList gids = openGids();
    m_client->send(aria2TellStatusRequest(m_options.secret, gids), gids.size(),
                   [this, gids](const Aria2Answer &answer) {
                       // A stopped run is summed up as Stop left it.
                       if (m_running && !m_summary.stopped)
                           pollAnswered(gids, answer);
                   });
}

void Aria2Engine::pollAgain(int settledNow)
{
    // Once a second; sooner when the pace of the last second says the run
    // ends sooner, so that its end is not seen up to a second late.
    qint64 next = m_options.pollMs;
    const qsizetype open = openGids().size();
    if (settledNow > 0)
        next = std::clamp(open * m_sincePoll.elapsed() / settledNow, qint64(m_options.pollMs / 20), next);
    m_sincePoll.start();
    m_pollTimer.start(int(next));
}

void Aria2Engine::pollAnswered(const QStringList &gids, const Aria2Answer &answer)
{
    if (!answer.error.isEmpty()) {
        if (++m_unanswered < m_options.unansweredPolls)
            return pollAgain(0);
        m_pollTimer.stop();
        m_running = false;
        emit refused(answer.error);
        return;
    }
    m_unanswered = 0;
    QHash<QString, int> indexOf;
    for (int i = 0; i < m_items.size(); ++i)
        indexOf.insert(m_items[i].gid, i);
    const int settledBefore = m_settled;
    for (qsizetype i = 0; i < gids.size(); ++i) {
        const Aria2Transfer transfer = aria2TransferOf(answer.results[i]);
        if (transfer.outcome == Aria2Transfer::Outcome::Open)
            continue;
        Item &item = m_items[indexOf.value(gids[i])];
        item.settled = true;
        item.missing = transfer.outcome == Aria2Transfer::Outcome::Missing;
        ++m_settled;
        countIntoSummary(m_summary, indexOf.value(gids[i]), item.url, transfer);
    }
    if (m_settled != settledBefore)
        emit progress(m_settled, m_summary.total());
    if (endSeriesIfReached())
        return;
    if (openGids().isEmpty())
        finish();
    else
        pollAgain(m_settled - settledBefore);
}

bool Aria2Engine::endSeriesIfReached()
{
    if (m_summary.endOfSeries)
        return false;
    QList<bool> missing;
    for (const Item &item : m_items)
        missing.append(item.missing);
    const std::optional<qsizetype> end = seriesEndIndex(missing, m_options.run.missingRunEnd);
    if (!end)
        return false;
    m_summary.endOfSeries = true;
    QStringList later;
    for (qsizetype i = *end + 1; i < m_items.size(); ++i) {
        if (!m_items[i].settled)
            later.append(m_items[i].gid);
        m_items[i].settled = true;
    }
    if (later.isEmpty())
        return false;
    // The run goes on once the daemon has let go of them: files before the
    // end may still be coming.
    removeFromDaemon(later, [this] {
        if (!m_running)
            return;
        if (openGids().isEmpty())
            finish();
        else
            pollAgain(0);
    });
    return true;
}

void Aria2Engine::removeFromDaemon(const QStringList &gids, std::function<void()> then)
{
    m_client->send(aria2ForceRemoveRequest(m_options.secret, gids), gids.size(),
                   [then = std::move(then)](const Aria2Answer &) {
                       if (then)
                           then();
                   });
}

void Aria2Engine::stop()
{
    if (!m_running)
        return;
    m_summary.stopped = true;
    if (m_resolver)
        m_resolver->stop();
    const QStringList open = openGids();
    for (Item &item : m_items)
        item.settled = true;
    m_pollTimer.stop();
    if (open.isEmpty()) {
        finish();
        return;
    }
    removeFromDaemon(open, [this] { finish(); });
}

void Aria2Engine::release()
{
    if (m_resolver)
        m_resolver->stop();
    m_pollTimer.stop();
    m_running = false;
    delete m_client;
    m_client = nullptr;
}

void Aria2Engine::finish()
{
    // Stop and the series' end may both be waiting on the daemon: the run
    // ends once.
    if (!m_running)
        return;
    m_pollTimer.stop();
    m_running = false;
    // Reported from the event loop, never from inside stop().
    QTimer::singleShot(0, this, [this, summary = m_summary] { emit finished(summary); });
}

RegisteredEngine aria2Engine()
{
    const EngineDescription description{
        .name = QStringLiteral("aria2"),
        .menuName = QStringLiteral("mnuSendRunToAria2"),
        .menuCaption = QCoreApplication::translate("Runs", "Send run to aria&2..."),
        .place = EngineDescription::Place::Address,
        .needs = EngineDescription::Needs::AddressSecretFolder,
        .addressKey = QStringLiteral("Aria2Address"),
        .folderKey = QStringLiteral("Aria2Folder"),
        .rememberKey = QStringLiteral("Aria2RememberSecret"),
        .defaultAddress = QStringLiteral("http://127.0.0.1:6800/jsonrpc"),
    };
    auto make = [](const EngineTarget &target) {
        Aria2Options options;
        options.address = aria2Endpoint(target.address);
        options.secret = target.secret;
        options.folder = target.folder;
        options.run.site = target.site;
        if (target.toFoundEnd)
            options.run.missingRunEnd = 0;
        options.cookies = runCookies(target.site);
        return std::make_unique<Aria2Engine>(options);
    };
    return {description, make, {}, aria2Endpoint};
}
