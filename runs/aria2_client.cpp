#include "runs/aria2_client.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
constexpr qint64 kMostAnswerBytes = 1024 * 1024;
} // namespace

Aria2Client::Aria2Client(const QUrl &address, int deadlineMs, QObject *parent)
    : QObject(parent), m_address(address), m_deadlineMs(deadlineMs)
{
}

void Aria2Client::send(const QByteArray &request, qsizetype calls, std::function<void(const Aria2Answer &)> done)
{
    QNetworkRequest post(m_address);
    post.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
    // The call carries the secret and the cookies: it goes to the address
    // the user gave and nowhere a redirect points.
    post.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = m_network.post(post, request);
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply] {
        reply->setProperty("timedOut", true);
        reply->abort();
    });
    deadline->start(m_deadlineMs);
    // A daemon's answer is a few kilobytes: one that goes on is refused
    // before it fills the memory.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received) {
        if (received > kMostAnswerBytes && !reply->property("tooLong").toBool()) {
            reply->setProperty("tooLong", true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, calls, done = std::move(done)] {
        reply->deleteLater();
        const QByteArray body = reply->readAll();
        Aria2Answer answer;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->property("tooLong").toBool()) {
            answer.error = tr("its answer went past %1 MB").arg(kMostAnswerBytes / (1024 * 1024));
        } else if (reply->property("timedOut").toBool()) {
            answer.error = tr("no answer within %1 s").arg(m_deadlineMs / 1000.0);
        } else if (status >= 300 && status < 400) {
            answer.error = tr("it answered HTTP %1, a redirect: Serimo sends the run only to the daemon's own address")
                               .arg(status);
        } else {
            // aria2 answers a refused call with an HTTP error status and a
            // JSON-RPC error in the body, which says more than the status.
            answer = parseAria2Answer(body, calls);
            if (!answer.error.isEmpty() && reply->error() != QNetworkReply::NoError
                && !body.trimmed().startsWith('{'))
                answer.error = reply->errorString();
        }
        done(answer);
    });
}
