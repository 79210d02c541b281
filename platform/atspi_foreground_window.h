#pragma once

#include "platform/foreground_window.h"

#include <QDBusConnection>
#include <QObject>

class QDBusMessage;

// The window in front as the accessibility bus tells it: the title of the
// window a program last announced active. It sees the windows of every
// program that publishes accessibility (Qt and GTK programs do while the bus
// runs), on any desktop. Between two windows the last title stands for a
// moment; when its window went inactive and no other window was announced,
// the window in front is one the bus cannot see: no title. Setting up takes
// a few messages and happens in the background: until then there is no title.
class AtSpiForegroundWindow : public QObject, public ForegroundWindow
{
    Q_OBJECT
public:
    AtSpiForegroundWindow();
    QString title() override { return m_title; }

private slots:
    void windowActivated(const QDBusMessage &signal);
    void windowDeactivated(const QDBusMessage &signal);

private:
    void connectToBus(const QString &address);

    QDBusConnection m_bus;
    QString m_title;
    QString m_activeWindow; // bus name and path of the window last announced active
    quint64 m_activations = 0;
};
