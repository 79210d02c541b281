#pragma once

#include "runs/download_engine.h"

#include <QElapsedTimer>
#include <QList>
#include <QNetworkCookie>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <functional>

class Aria2Client;
class RedirectChain;
class RedirectResolver;
struct Aria2Answer;
struct RegisteredEngine;

struct Aria2Options
{
    QUrl address;
    QString secret;
    // The folder on the daemon's machine; empty: the daemon's own.
    QString folder;
    // How long the daemon has to answer a call.
    int answerMs = 5000;
    // How often the run's state is asked for (sooner near its end).
    int pollMs = 1000;
    // The run's rules (the end of the series); the daemon keeps its own
    // number of transfers, pauses and retries.
    DownloadOptions run;
    // Polls that may go unanswered in a row before following ends.
    int unansweredPolls = 3;
    // The cookies each transfer sends where their domain and path match.
    QList<QNetworkCookie> cookies;
};

// A run handed to an aria2 daemon over JSON-RPC, here or on another machine,
// and followed until each of its transfers is done with. The daemon does the
// downloading; the run's rules (the end of the series, the summary) are
// applied here, as for Serimo's own engine.
class Aria2Engine : public DownloadEngine
{
    Q_OBJECT
public:
    explicit Aria2Engine(Aria2Options options, QObject *parent = nullptr);
    ~Aria2Engine() override;

    void start(const QList<QUrl> &urls) override;
    void stop() override;
    void release() override;
    bool isRunning() const override { return m_running; }
    const DownloadOptions &options() const override { return m_options.run; }

private:
    struct Item
    {
        QUrl url;
        QString gid;
        bool settled = false;
        bool missing = false;
    };

    // Hands the run to the daemon: each address where its chain ends.
    void hand(const QList<QUrl> &urls, const QList<RedirectChain> &chains);
    void poll();
    void pollAnswered(const QStringList &gids, const Aria2Answer &answer);
    // Settles when to ask next, from how many transfers the last poll saw end.
    void pollAgain(int settledNow);
    // Ends the series at a long enough stretch of missing files; true while
    // the transfers past its end are being removed.
    bool endSeriesIfReached();
    // Removes the transfers from the daemon, then runs `then`.
    void removeFromDaemon(const QStringList &gids, std::function<void()> then);
    void finish();
    QStringList openGids() const;

    Aria2Options m_options;
    Aria2Client *m_client = nullptr;
    RedirectResolver *m_resolver = nullptr;
    QTimer m_pollTimer;
    QElapsedTimer m_sincePoll;
    QList<Item> m_items;
    RunResult m_summary;
    int m_settled = 0;
    int m_unanswered = 0;
    bool m_running = false;
};

// aria2 in the registry: Send run to aria2, at the address the user gives.
RegisteredEngine aria2Engine();
