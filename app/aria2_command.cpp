#include "app/vemp_107.h"
#include "dialogs/aria2_dialog.h"
#include "runs/aria2_engine.h"
#include "runs/aria2_rpc.h"
#include "platform/secret_store.h"

#include <QHostAddress>
#include <QPointer>
#include <QUrl>

// Send run to aria2: the run handed to an aria2 daemon, here or on another
// machine, and followed until it is done. The engine (aria2_engine.*) talks
// to the daemon and reports through the window's download controller, as
// Serimo's own engine does; this file asks where and keeps the secret.

namespace {
const QString kDefaultAria2Address = QStringLiteral("http://127.0.0.1:6800/jsonrpc");

QString addressOrDefault(const QString &address)
{
    return address.isEmpty() ? kDefaultAria2Address : address;
}

bool isOnThisMachine(const QString &address)
{
    const QString host = aria2Endpoint(address).host();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}
} // namespace

void TVempForm::mnuSendRunToAria2Click(QObject *)
{
    if (downloadRunning()) {
        showWarning(tr("A download is running. Stop it before sending another run."));
        return;
    }
    const QStringList run = runForHandOver();
    const QList<QUrl> urls = downloadUrls(run);
    if (urls.isEmpty())
        return;
    const QString address = addressOrDefault(aria2Address);
    // A secret given earlier in this session is the one to offer; else the
    // keyring's, which answers later, when the user asked to remember it.
    // Otherwise the keyring is left alone: some raise a prompt that takes
    // the keyboard and the mouse.
    if (m_sessionSecrets.contains(address) || !aria2RememberSecret || m_keyringGivenUp) {
        sendRunToAria2(run, urls, m_sessionSecrets.value(address));
        return;
    }
    QPointer<TVempForm> self(this);
    m_platform.secrets.read(address, [self, run, urls](bool answered, const QString &secret) {
        if (!self)
            return;
        self->guarded([&] {
            if (!answered)
                self->giveUpKeyring();
            self->sendRunToAria2(run, urls, secret);
        });
    });
}

void TVempForm::giveUpKeyring()
{
    if (m_keyringGivenUp)
        return;
    m_keyringGivenUp = true;
    ShowStatus(tr("No keyring answered: the secret lasts until Serimo closes."));
}

void TVempForm::sendRunToAria2(const QStringList &run, const QList<QUrl> &urls, const QString &secret)
{
    Aria2Target given{addressOrDefault(aria2Address), secret, aria2Folder, aria2RememberSecret};
    if (given.folder.isEmpty() && isOnThisMachine(given.address))
        given.folder = runFolder();
    const std::optional<Aria2Target> target = askAria2Target(given, this);
    if (!target)
        return;
    aria2Address = target->address;
    aria2Folder = target->folder;
    aria2RememberSecret = target->remember;
    m_sessionSecrets.insert(target->address, target->secret);
    // Only a secret the daemon accepts is kept, and never an empty one.
    m_secretToRemember.reset();
    if (target->remember && !target->secret.isEmpty() && target->secret != secret && !m_keyringGivenUp)
        m_secretToRemember = std::pair(target->address, target->secret);

    Aria2Options options;
    options.address = aria2Endpoint(target->address);
    options.secret = target->secret;
    options.folder = target->folder;
    m_runEngineName = QStringLiteral("aria2");
    m_runEngineAddress = target->address;
    m_runFolderHere = isOnThisMachine(target->address) && !target->folder.isEmpty();
    ShowStatus(tr("Sending %1 URLs to aria2 at %2").arg(urls.size()).arg(target->address));
    startRun(std::make_unique<Aria2Engine>(options), run, urls,
             target->folder.isEmpty() ? tr("aria2's own folder") : target->folder);
}
