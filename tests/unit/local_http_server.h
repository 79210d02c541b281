#pragma once

// An HTTP server of the test's own on 127.0.0.1, for the download tests.

#include <QElapsedTimer>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
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

// A server on 127.0.0.1, in processes of its own, that answers every request
// with 200, no length, and a body that never ends, as fast as it is read.
class EndlessServer
{
public:
    EndlessServer()
    {
        const int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (bind(listener, reinterpret_cast<sockaddr *>(&address), size) != 0 || listen(listener, 8) != 0
            || getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            qFatal("the endless server cannot listen");
        m_port = ntohs(address.sin_port);
        m_pid = fork();
        while (m_pid == 0) {
            // Each connection is served by a process that ends with it.
            const int client = accept(listener, nullptr, nullptr);
            if (client >= 0 && fork() == 0) {
                static char bytes[64 * 1024];
                static const char head[] = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
                bool open = recv(client, bytes, sizeof bytes, 0) > 0 && send(client, head, sizeof head - 1, MSG_NOSIGNAL) > 0;
                while (open)
                    open = send(client, bytes, sizeof bytes, MSG_NOSIGNAL) > 0;
                _exit(0);
            }
            close(client);
        }
        close(listener);
    }
    ~EndlessServer()
    {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    QUrl url(const QString &path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path)); }

private:
    int m_port = 0;
    pid_t m_pid = 0;
};
