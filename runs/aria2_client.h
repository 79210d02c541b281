#pragma once

#include "runs/aria2_rpc.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>
#include <functional>

// Sends system.multicall requests to an aria2 daemon over HTTP and hands
// back its answer, or why there was none, within a deadline.
class Aria2Client : public QObject
{
    Q_OBJECT
public:
    Aria2Client(const QUrl &address, int deadlineMs, QObject *parent = nullptr);

    // done runs from the event loop with the parsed answer; a network error,
    // or no answer within the deadline, is the answer's error. Calls still
    // out when the client goes are dropped without an answer.
    void send(const QByteArray &request, qsizetype calls, std::function<void(const Aria2Answer &)> done);

private:
    QUrl m_address;
    int m_deadlineMs;
    QNetworkAccessManager m_network;
};
