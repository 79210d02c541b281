#pragma once

#include "platform/keep_above.h"

#include <QObject>
#include <QTemporaryDir>
#include <QVariantList>
#include <functional>

class QDBusMessage;

// KWin on Wayland, where a window's stays-on-top flag reaches no one: a
// small script, run through KWin's scripting interface on the session bus,
// sets Serimo's windows' keep-above. The calls go out without waiting: KWin's
// answers come through the event loop, so a KWin that hangs never holds
// Serimo up.
class KWinKeepAbove : public KeepAbove
{
public:
    // Whether KWin is on the session bus.
    static bool isOffered();
    // True once the request is on its way.
    bool set(QWidget *window, bool above) override;

private:
    void runScript();
    void finished();
    void call(const QString &method, const QVariantList &arguments,
              const std::function<void(const QDBusMessage &)> &then);

    QTemporaryDir m_scripts; // KWin reads a script when it runs it
    QObject m_calls;         // the calls waiting for KWin's answer
    bool m_wanted = false;   // the newest request
    bool m_ran = false;      // the request the script on its way carries
    bool m_running = false;
};
