#include "platform/dbus/kwin_keep_above.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QFile>

namespace {
const QString kService = QStringLiteral("org.kde.KWin");
const QString kScriptName = QStringLiteral("serimo-keep-above");
const QString kPath = QStringLiteral("/KeepAbove");
const QString kInterface = QStringLiteral("com.example.serimo.KeepAbove");
// KWin answers at once; a call that has no answer by then failed.
constexpr int kCallTimeoutMs = 2000;
// How long start-up waits for the bus to say whether KWin is there.
constexpr int kBusAnswerMs = 100;
// KWin's calls give up after 25 s; a question held that long is answered
// with the unchanged state, and the script asks again.
constexpr int kHoldMs = 20000;

// The script: every ordinary window of this process, above or not, each time
// Serimo answers its question. Older KWins list windows as clients.
const char *const kScript = R"(function follow(above) {
    var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
    for (var i = 0; i < windows.length; ++i) {
        if (windows[i].pid === %1 && windows[i].normalWindow)
            windows[i].keepAbove = above;
    }
    ask(above);
}
function ask(applied) {
    callDBus("%2", "%3", "%4", "Next", applied, follow);
}
ask(false);
)";

QDBusMessage scriptingCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/Scripting"),
                                                       QStringLiteral("org.kde.kwin.Scripting"), method);
    call.setArguments(arguments);
    return call;
}
} // namespace

// Where the script's questions arrive.
class KeepAboveQuestions : public QDBusVirtualObject
{
public:
    explicit KeepAboveQuestions(KWinKeepAbove &owner) : m_owner(owner) {}

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        if (message.interface() != kInterface || message.member() != QLatin1String("Next")
            || message.arguments().size() != 1)
            return false;
        m_owner.asked(message, message.arguments().constFirst().toBool());
        return true;
    }

private:
    KWinKeepAbove &m_owner;
};

KWinKeepAbove::KWinKeepAbove()
    : m_questions(std::make_unique<KeepAboveQuestions>(*this)),
      m_kwinGone(std::make_unique<QDBusServiceWatcher>(kService, QDBusConnection::sessionBus(),
                                                       QDBusServiceWatcher::WatchForUnregistration))
{
    QDBusConnection::sessionBus().registerVirtualObject(kPath, m_questions.get());
    // A KWin that restarts has forgotten the script.
    QObject::connect(m_kwinGone.get(), &QDBusServiceWatcher::serviceUnregistered, &m_calls, [this] {
        m_loaded = false;
        m_question = {};
        m_renewal.stop();
    });
    m_renewal.setSingleShot(true);
    m_renewal.setInterval(kHoldMs);
    QObject::connect(&m_renewal, &QTimer::timeout, &m_calls, [this] { answer(); });
}

KWinKeepAbove::~KWinKeepAbove()
{
    QDBusConnection::sessionBus().unregisterObject(kPath);
    if (m_loaded)
        QDBusConnection::sessionBus().asyncCall(scriptingCall(QStringLiteral("unloadScript"), {kScriptName}));
}

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
    if (!m_loaded)
        load();
    answer();
    return true;
}

void KWinKeepAbove::asked(const QDBusMessage &question, bool applied)
{
    answer(); // a question from before, should the script have asked twice
    m_question = question;
    m_question.setDelayedReply(true);
    if (applied != m_wanted)
        answer();
    else
        m_renewal.start();
}

void KWinKeepAbove::answer()
{
    if (m_question.type() != QDBusMessage::MethodCallMessage)
        return;
    QDBusConnection::sessionBus().send(m_question.createReply(m_wanted));
    m_question = {};
    m_renewal.stop();
}

void KWinKeepAbove::load()
{
    QFile script(m_scripts.filePath(QStringLiteral("keep-above.js")));
    const QByteArray source = QString::fromLatin1(kScript)
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(QDBusConnection::sessionBus().baseService(), kPath, kInterface)
                                  .toUtf8();
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate) || script.write(source) != source.size())
        return;
    script.close();
    m_loaded = true;
    // KWin keeps one script under a name: one left by a Serimo before goes
    // first. Every call waits for its answer in the event loop, never here.
    const QString path = script.fileName();
    call(QStringLiteral("unloadScript"), {kScriptName}, [this, path](const QDBusMessage &) {
        call(QStringLiteral("loadScript"), {path, kScriptName}, [this](const QDBusMessage &loaded) {
            // The script's number, or -1 when KWin could not load it.
            if (loaded.type() != QDBusMessage::ReplyMessage || loaded.arguments().value(0).toInt() < 0) {
                m_loaded = false;
                return;
            }
            call(QStringLiteral("start"), {}, [this](const QDBusMessage &started) {
                m_loaded = started.type() == QDBusMessage::ReplyMessage;
            });
        });
    });
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
