#pragma once

#include "platform/announced_window.h"
#include "platform/foreground_window.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>

class QDBusMessage;

// The window in front as the accessibility bus tells it: the window a
// program last announced active, with its title as AnnouncedWindow keeps it.
// It sees the windows of every program that publishes accessibility (Qt and
// GTK programs do while the bus runs), on any desktop. When the window in
// front went inactive and no other window was announced, the window in front
// is one the bus cannot see: no title. Setting up takes a few messages and
// happens in the background: until then there is no title.
class AtSpiForegroundWindow : public QObject, public ForegroundWindow
{
    Q_OBJECT
public:
    AtSpiForegroundWindow();
    // While the new window's title is being looked up, waits for the answer
    // (for a short time at most); else asks again, for a title that changed.
    QString title() override;

private slots:
    void windowActivated(const QDBusMessage &signal);
    void windowDeactivated(const QDBusMessage &signal);

private:
    void connectToBus(const QString &address);
    void lookUp(const QString &window, quint64 activation);
    void takeAnswer(quint64 activation, const QDBusPendingCall &call);

    QDBusConnection m_bus;
    AnnouncedWindow m_announced;
    QDBusPendingCall m_lookUp;
};
