#include "platform/dbus/kwin_keep_above.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <optional>

namespace {
const QString kService = QStringLiteral("org.kde.KWin");
const QString kScriptName = QStringLiteral("serimo-keep-above");
// KWin answers at once; a desktop that hangs must not hang Serimo.
constexpr int kCallTimeoutMs = 2000;

// The script: every ordinary window of this process, above or not. Older
// KWins list windows as clients.
const char *const kScript = R"(var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < windows.length; ++i) {
    if (windows[i].pid === %1 && windows[i].normalWindow)
        windows[i].keepAbove = %2;
}
)";

// The answer, or nothing when KWin refused or did not answer.
std::optional<QVariantList> callScripting(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/Scripting"),
                                                       QStringLiteral("org.kde.kwin.Scripting"), method);
    call.setArguments(arguments);
    const QDBusMessage answer = QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
    if (answer.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return answer.arguments();
}
} // namespace

bool KWinKeepAbove::isOffered()
{
    const QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(kService);
}

bool KWinKeepAbove::set(QWidget *, bool above)
{
    if (!m_scripts.isValid())
        return false;
    QFile script(m_scripts.filePath(QStringLiteral("keep-above.js")));
    const QByteArray source = QString::fromLatin1(kScript)
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(above ? QStringLiteral("true") : QStringLiteral("false"))
                                  .toUtf8();
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate) || script.write(source) != source.size())
        return false;
    script.close();
    // A script stays loaded under its name after it ran; the one before goes first.
    callScripting(QStringLiteral("unloadScript"), {kScriptName});
    // The script's number, or -1 when KWin could not load it.
    const auto loaded = callScripting(QStringLiteral("loadScript"), {script.fileName(), kScriptName});
    if (!loaded || loaded->isEmpty() || loaded->constFirst().toInt() < 0)
        return false;
    return callScripting(QStringLiteral("start"), {}).has_value();
}
