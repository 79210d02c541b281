#pragma once

#include "runs/redirect_chain.h"
#include "runs/site_options.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QObject>
#include <QUrl>
#include <functional>

class QNetworkReply;

// Where each address of a run leads once the site's redirects are followed,
// asked as the run would ask (its Referer, user agent and the cookies of
// each hop's host) with a GET whose body is never read. For an engine that
// repeats a fixed Cookie header to every host a redirect leads to: handed
// the last address, it sends the cookies of that address's host only.
class RedirectResolver : public QObject
{
    Q_OBJECT
public:
    RedirectResolver(const SiteOptions &site, const QList<QNetworkCookie> &cookies, QObject *parent = nullptr);

    // Follows each address's redirects, a few at a time (one at a time, at
    // the site's pace, where it has a wait); done gets the chain of each, in
    // order. An address that fails or whose redirect is not followed keeps
    // the chain as far as it went.
    void resolve(const QList<QUrl> &urls, std::function<void(const QList<RedirectChain> &)> done);
    // Ends the requests under way; done is not called.
    void stop();

private:
    static constexpr int kAtOnce = 4;
    static constexpr int kAnswerMs = 15000;

    void askMore();
    void ask(int index);
    void answered(int index, QNetworkReply *reply);

    QNetworkAccessManager m_network;
    SiteOptions m_site;
    QList<RedirectChain> m_chains;
    std::function<void(const QList<RedirectChain> &)> m_done;
    QList<QNetworkReply *> m_asking;
    int m_next = 0;
    int m_settled = 0;
    // Answers of a stopped resolution come to nothing.
    int m_generation = 0;
};
