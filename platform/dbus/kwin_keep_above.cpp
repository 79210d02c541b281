#include "platform/dbus/kwin_keep_above.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>

namespace {
const QString kService = QStringLiteral("org.kde.KWin");
const QString kScriptName = QStringLiteral("serimo-keep-above");
// KWin answers at once; a call that has no answer by then failed.
constexpr int kCallTimeoutMs = 2000;
// How long start-up waits for the bus to say whether KWin is there.
constexpr int kBusAnswerMs = 100;

// The script: every ordinary window of this process, above or not. Older
// KWins list windows as clients.
const char *const kScript = R"(var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < windows.length; ++i) {
    if (windows[i].pid === %1 && windows[i].normalWindow)
        windows[i].keepAbove = %2;
}
)";

QDBusMessage scriptingCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/Scripting"),
                                                       QStringLiteral("org.kde.kwin.Scripting"), method);
    call.setArguments(arguments);
    return call;
}
} // namespace

bool KWinKeepAbove::isOffered()
{
    // The bus itself answers this; one that does not answer at once offers nothing.
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("/org/freedesktop/DBus"),
                                                       QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("NameHasOwner"));
    call << kService;
    const QDBusMessage answer = QDBusConnection::sessionBus().call(call, QDBus::Block, kBusAnswerMs);
    return answer.type() == QDBusMessage::ReplyMessage && answer.arguments().value(0).toBool();
}

bool KWinKeepAbove::set(QWidget *, bool above)
{
    if (!m_scripts.isValid())
        return false;
    m_wanted = above;
    if (!m_running)
        runScript();
    return true;
}

void KWinKeepAbove::runScript()
{
    m_running = true;
    m_ran = m_wanted;
    QFile script(m_scripts.filePath(QStringLiteral("keep-above.js")));
    const QByteArray source = QString::fromLatin1(kScript)
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(m_ran ? QStringLiteral("true") : QStringLiteral("false"))
                                  .toUtf8();
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate) || script.write(source) != source.size()) {
        m_running = false;
        return;
    }
    script.close();
    // A script stays loaded under its name after it ran; the one before goes
    // first. Every call waits for its answer in the event loop, never here.
    const QString path = script.fileName();
    call(QStringLiteral("unloadScript"), {kScriptName}, [this, path](const QDBusMessage &) {
        call(QStringLiteral("loadScript"), {path, kScriptName}, [this](const QDBusMessage &loaded) {
            // The script's number, or -1 when KWin could not load it.
            if (loaded.type() != QDBusMessage::ReplyMessage || loaded.arguments().value(0).toInt() < 0)
                return finished();
            call(QStringLiteral("start"), {}, [this](const QDBusMessage &) { finished(); });
        });
    });
}

void KWinKeepAbove::finished()
{
    m_running = false;
    // A request that came while this one ran.
    if (m_wanted != m_ran)
        runScript();
}

void KWinKeepAbove::call(const QString &method, const QVariantList &arguments,
                         const std::function<void(const QDBusMessage &)> &then)
{
    auto *watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(scriptingCall(method, arguments), kCallTimeoutMs), &m_calls);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_calls, [watcher, then] {
        watcher->deleteLater();
        then(watcher->reply());
    });
}
