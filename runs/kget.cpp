#include "runs/kget.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString kService = QStringLiteral("org.kde.kget");
constexpr int kTimeoutMs = 5000;
constexpr int kTimeoutPerUrlMs = 20;

// Runs done with the reply once it has come (or timed out), in the event loop.
void whenAnswered(QObject *context, const QDBusPendingCall &call,
                  std::function<void(const QDBusPendingCallWatcher &)> done)
{
    auto *watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [done = std::move(done)](QDBusPendingCallWatcher *finished) {
                         finished->deleteLater();
                         done(*finished);
                     });
}
} // namespace

void DBusKGet::checkPresent(std::function<void(bool present)> done)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        done(false);
        return;
    }
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << kService;
    whenAnswered(&m_context, bus.asyncCall(ask, kTimeoutMs),
                 [done](const QDBusPendingCallWatcher &answer) {
                     const QDBusPendingReply<bool> reply = answer;
                     done(reply.isValid() && reply.value());
                 });
}

void DBusKGet::addTransfers(const QStringList &urls, const QString &folder, std::function<void(Answer)> done)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        done({false, 0, bus.lastError().message()});
        return;
    }
    // KGet takes many sources in one text, separated by ";": a ";" inside
    // an address is written as its percent code, which means the same to a
    // server, so that the address stays whole.
    QStringList sources;
    for (const QString &url : urls)
        sources.append(QString(url).replace(u';', QLatin1String("%3B")));
    // A long run takes KGet a while to take in.
    const int timeoutMs = kTimeoutMs + kTimeoutPerUrlMs * int(urls.size());
    QDBusMessage add = QDBusMessage::createMethodCall(kService, QStringLiteral("/KGet"),
                                                      QStringLiteral("org.kde.kget.main"),
                                                      QStringLiteral("addTransfer"));
    add << sources.join(u';') << folder << true;
    whenAnswered(&m_context, bus.asyncCall(add, timeoutMs), [done](const QDBusPendingCallWatcher &answer) {
        const QDBusPendingReply<QStringList> reply = answer;
        if (reply.isError())
            done({false, 0, reply.error().message()});
        else
            done({true, int(reply.value().size()), {}});
    });
}
