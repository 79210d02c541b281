#include "platform/atspi_foreground_window.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QTimer>

namespace {
const QString kConnectionName = QStringLiteral("serimo-foreground-window");
const QString kRegistry = QStringLiteral("org.a11y.atspi.Registry");
// How long a window's title stands after it went inactive with no other
// window announced.
constexpr int kGraceMs = 500;
} // namespace

AtSpiForegroundWindow::AtSpiForegroundWindow() : m_bus(QString())
{
    // The accessibility bus has an address of its own, given on the session bus.
    const QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus"),
        QStringLiteral("GetAddress"));
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(ask), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<QString> address = *call;
        call->deleteLater();
        if (address.isValid() && !address.value().isEmpty())
            connectToBus(address.value());
    });
}

void AtSpiForegroundWindow::connectToBus(const QString &address)
{
    m_bus = QDBusConnection::connectToBus(address, kConnectionName);
    if (!m_bus.isConnected())
        return;
    const QString windowEvents = QStringLiteral("org.a11y.atspi.Event.Window");
    m_bus.connect(QString(), QString(), windowEvents, QStringLiteral("Activate"), this,
                  SLOT(windowActivated(QDBusMessage)));
    m_bus.connect(QString(), QString(), windowEvents, QStringLiteral("Deactivate"), this,
                  SLOT(windowDeactivated(QDBusMessage)));
    // Programs send window events only while somebody has asked for them.
    for (const char *event : {"window:activate", "window:deactivate"}) {
        QDBusMessage listen = QDBusMessage::createMethodCall(kRegistry, QStringLiteral("/org/a11y/atspi/registry"),
                                                             kRegistry, QStringLiteral("RegisterEvent"));
        listen << QString::fromLatin1(event) << QStringList() << QString();
        m_bus.asyncCall(listen);
    }
}

void AtSpiForegroundWindow::windowActivated(const QDBusMessage &signal)
{
    // The window's name is its title; ask the program that announced it.
    const quint64 activation = ++m_activations;
    m_activeWindow = signal.service() + signal.path();
    const QDBusMessage ask = QDBusMessage::createMethodCall(signal.service(), signal.path(),
                                                            QStringLiteral("org.freedesktop.DBus.Properties"),
                                                            QStringLiteral("Get"))
                             << QStringLiteral("org.a11y.atspi.Accessible") << QStringLiteral("Name");
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, 1000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, activation](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<QDBusVariant> name = *call;
        call->deleteLater();
        // An answer that comes after a newer activation is out of date.
        if (activation == m_activations && name.isValid())
            m_title = name.value().variant().toString();
    });
}

void AtSpiForegroundWindow::windowDeactivated(const QDBusMessage &signal)
{
    // Windows report going inactive after the next one reported coming in.
    if (signal.service() + signal.path() != m_activeWindow)
        return;
    // The next window's announcement normally follows within milliseconds.
    const quint64 activation = m_activations;
    QTimer::singleShot(kGraceMs, this, [this, activation] {
        if (activation == m_activations) {
            m_title.clear();
            m_activeWindow.clear();
        }
    });
}
