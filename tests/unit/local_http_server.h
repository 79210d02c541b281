#pragma once

// An HTTP server of the test's own on 127.0.0.1, for the download tests.

#include <QElapsedTimer>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <functional>

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
class TestServer : public QObject
{
public:
    struct Reply
    {
        QByteArray bytes;
        bool holdOpen = false;
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

private:
    void request(QTcpSocket *socket)
    {
        QByteArray &text = m_pending[socket];
        text += socket->readAll();
        if (!text.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromUtf8(text.split(' ').value(1).mid(1));
        requests[path].append(m_clock.elapsed());
        const Reply reply = m_respond(path, int(requests[path].size()));
        socket->write(reply.bytes);
        if (!reply.bytes.isEmpty() && !reply.holdOpen)
            socket->disconnectFromHost();
    }
    Respond m_respond;
    QTcpServer m_server;
    QMap<QTcpSocket *, QByteArray> m_pending;
    QElapsedTimer m_clock;
};
