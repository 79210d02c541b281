#pragma once

// An HTTP server of the test's own on 127.0.0.1, for the download tests.

#include <QElapsedTimer>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <cerrno>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <vector>
#include <unistd.h>

inline QByteArray answer(int status, const QByteArray &body, const QByteArray &headers = {})
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: " + QByteArray::number(body.size())
           + "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

inline QByteArray bodyOf(const QString &path)
{
    return path.toUtf8().repeated(100);
}

// An HTTP server on 127.0.0.1, one request per connection. `respond` gives
// the raw answer to the n-th request for a path (n from 1); an empty answer
// keeps the connection open and silent, as does `holdOpen` after its answer.
// `later` follows `bytes`, `chunk` bytes every `everyMs`.
class TestServer : public QObject
{
public:
    struct Reply
    {
        QByteArray bytes;
        bool holdOpen = false;
        QByteArray later = {};
        int chunk = 0;
        int everyMs = 0;
    };
    using Respond = std::function<Reply(const QString &path, int n)>;

    explicit TestServer(Respond respond) : m_respond(std::move(respond))
    {
        if (!m_server.listen(QHostAddress::LocalHost))
            qFatal("the test server cannot listen");
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { request(socket); });
        });
        m_clock.start();
    }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(m_server.serverPort()).arg(path));
    }
    QMap<QString, QList<qint64>> requests; // the times each path was asked for, in ms
    QByteArray lastRequest;                // its request line and headers

private:
    void request(QTcpSocket *socket)
    {
        QByteArray &text = m_pending[socket];
        text += socket->readAll();
        if (!text.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromUtf8(text.split(' ').value(1).mid(1));
        requests[path].append(m_clock.elapsed());
        lastRequest = text;
        const Reply reply = m_respond(path, int(requests[path].size()));
        socket->write(reply.bytes);
        if (!reply.later.isEmpty()) {
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket, timer, rest = reply.later, reply]() mutable {
                socket->write(rest.left(reply.chunk));
                rest.remove(0, reply.chunk);
                if (rest.isEmpty()) {
                    timer->stop();
                    if (!reply.holdOpen)
                        socket->disconnectFromHost();
                }
            });
            timer->start(reply.everyMs);
        } else if (!reply.bytes.isEmpty() && !reply.holdOpen) {
            socket->disconnectFromHost();
        }
    }
    Respond m_respond;
    QTcpServer m_server;
    QMap<QTcpSocket *, QByteArray> m_pending;
    QElapsedTimer m_clock;
};

// A server on 127.0.0.1 on a thread of its own that answers every request
// with 200, no length, and a body that never ends, as fast as it is read.
class EndlessServer
{
public:
    EndlessServer()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (bind(m_listener, reinterpret_cast<sockaddr *>(&address), size) != 0 || listen(m_listener, 8) != 0
            || getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            qFatal("the endless server cannot listen");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            while (!m_stop) {
                const int client = accept(m_listener, nullptr, nullptr);
                if (client < 0)
                    return;
                m_clients.emplace_back([this, client] { serve(client); });
            }
        });
    }
    ~EndlessServer()
    {
        m_stop = true;
        shutdown(m_listener, SHUT_RDWR);
        close(m_listener);
        m_thread.join();
        for (std::thread &client : m_clients)
            client.join();
    }
    QUrl url(const QString &path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path)); }

private:
    void serve(int client)
    {
        // A reader that stopped reading ends the stream once the server stops.
        const timeval second{1, 0};
        setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
        char request[4096];
        if (recv(client, request, sizeof request, 0) > 0) {
            const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n";
            const QByteArray body(64 * 1024, 'e');
            bool sent = send(client, head.constData(), size_t(head.size()), MSG_NOSIGNAL) > 0;
            while (sent && !m_stop)
                sent = send(client, body.constData(), size_t(body.size()), MSG_NOSIGNAL) > 0 || errno == EAGAIN;
        }
        close(client);
    }
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
    std::vector<std::thread> m_clients;
};
