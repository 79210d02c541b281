#include "platform/dbus/atspi_foreground_window.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QTimer>

namespace {
const QString kConnectionName = QStringLiteral("serimo-foreground-window");
const QString kRegistry = QStringLiteral("org.a11y.atspi.Registry");
// How long a window's title stands after it went inactive with no other
// window announced: the next window's announcement normally follows within
// milliseconds.
constexpr int kGraceMs = 500;
// How long a program has to name its window: one that does not answer in
// time gives no title rather than holding up a tick that waits for it.
constexpr int kLookUpMs = 150;

// A window as the bus identifies it: its program's bus name and its path.
QString windowOf(const QDBusMessage &signal)
{
    return signal.service() + QLatin1Char(' ') + signal.path();
}
} // namespace

AtSpiForegroundWindow::AtSpiForegroundWindow()
    : m_bus(QString()), m_lookUp(QDBusPendingCall::fromCompletedCall(QDBusMessage()))
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
    // Programs send events only while somebody has asked for them.
    for (const char *event : {"window:activate", "window:deactivate"}) {
        QDBusMessage listen = QDBusMessage::createMethodCall(kRegistry, QStringLiteral("/org/a11y/atspi/registry"),
                                                             kRegistry, QStringLiteral("RegisterEvent"));
        listen << QString::fromLatin1(event) << QStringList() << QString();
        m_bus.asyncCall(listen);
    }
}

QString AtSpiForegroundWindow::title()
{
    if (m_announced.isLookingUp()) {
        m_lookUp.waitForFinished();
        takeAnswer(m_announced.activations(), m_lookUp);
    } else if (!m_announced.window().isEmpty() && m_lookUp.isFinished()) {
        // Programs do not all announce a title that changes (Qt's do not):
        // the title is asked for again, for the next tick.
        lookUp(m_announced.window(), m_announced.activations());
    }
    return m_announced.title();
}

void AtSpiForegroundWindow::lookUp(const QString &window, quint64 activation)
{
    // The window's name is its title; ask the program that announced it.
    const qsizetype split = window.indexOf(QLatin1Char(' '));
    QDBusMessage ask = QDBusMessage::createMethodCall(window.left(split), window.mid(split + 1),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    ask << QStringLiteral("org.a11y.atspi.Accessible") << QStringLiteral("Name");
    m_lookUp = m_bus.asyncCall(ask, kLookUpMs);
    auto *watcher = new QDBusPendingCallWatcher(m_lookUp, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, activation](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        takeAnswer(activation, *call);
    });
}

void AtSpiForegroundWindow::takeAnswer(quint64 activation, const QDBusPendingCall &call)
{
    const QDBusPendingReply<QDBusVariant> name = call;
    m_announced.named(activation, name.isValid() ? std::optional(name.value().variant().toString()) : std::nullopt);
}

void AtSpiForegroundWindow::windowActivated(const QDBusMessage &signal)
{
    lookUp(windowOf(signal), m_announced.activated(windowOf(signal)));
}

void AtSpiForegroundWindow::windowDeactivated(const QDBusMessage &signal)
{
    // Windows report going inactive after the next one reported coming in.
    if (windowOf(signal) != m_announced.window())
        return;
    const quint64 activations = m_announced.activations();
    QTimer::singleShot(kGraceMs, this, [this, activations] {
        if (activations == m_announced.activations())
            m_announced.leave();
    });
}
