#pragma once

#include "platform/keep_above.h"

#include <QDBusMessage>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariantList>
#include <functional>
#include <memory>

class QDBusConnection;
class QDBusServiceWatcher;
class QDBusVirtualObject;

// KWin on Wayland, where a window's stays-on-top flag reaches no one: a small
// script, loaded once into KWin through its scripting interface on the
// session bus, sets Serimo's windows' keep-above. The script asks Serimo on
// the bus for the wanted state and Serimo answers when it changes, so each
// change is one message that Serimo sends without waiting. KWin's answers
// come through the event loop, so a KWin that hangs never holds Serimo up.
class KWinKeepAbove : public KeepAbove
{
public:
    KWinKeepAbove();
    ~KWinKeepAbove() override;

    // Whether KWin is on the session bus.
    static bool isOffered();
    // True once the request is on its way.
    bool set(QWidget *window, bool above) override;

private:
    friend class KeepAboveQuestions;
    // The script's question, with the state it applied last.
    void asked(const QDBusMessage &question, bool applied);
    void answer();
    void load();
    void call(const QString &method, const QVariantList &arguments,
              const std::function<void(const QDBusMessage &)> &then);

    QTemporaryDir m_scripts; // KWin reads a script when it runs it
    QObject m_calls;         // the calls waiting for KWin's answer
    std::unique_ptr<QDBusVirtualObject> m_questions;
    std::unique_ptr<QDBusServiceWatcher> m_kwinGone;
    QDBusMessage m_question; // held until the wanted state changes
    QTimer m_renewal;        // answers a held question before KWin gives up on it
    bool m_wanted = false;
    bool m_loaded = false;   // the script is in KWin or on its way there
};
