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
    // keyring's, which answers later.
    if (m_sessionSecrets.contains(address)) {
        sendRunToAria2(run, urls, m_sessionSecrets.value(address));
        return;
    }
    QPointer<TVempForm> self(this);
    m_platform.secrets.read(address, [self, run, urls](bool answered, const QString &secret) {
        if (!self)
            return;
        self->guarded([&] {
            if (!answered)
                self->noteSecretsKeptForSession();
            self->sendRunToAria2(run, urls, secret);
        });
    });
}

void TVempForm::noteSecretsKeptForSession()
{
    if (m_toldSessionSecrets)
        return;
    m_toldSessionSecrets = true;
    ShowStatus(tr("No keyring answered: Serimo keeps the aria2 secret until it closes."));
}

void TVempForm::sendRunToAria2(const QStringList &run, const QList<QUrl> &urls, const QString &secret)
{
    Aria2Target given{addressOrDefault(aria2Address), secret, aria2Folder};
    if (given.folder.isEmpty() && isOnThisMachine(given.address))
        given.folder = runFolder();
    const std::optional<Aria2Target> target = askAria2Target(given, this);
    if (!target)
        return;
    aria2Address = target->address;
    aria2Folder = target->folder;
    m_sessionSecrets.insert(target->address, target->secret);
    if (target->secret != secret) {
        QPointer<TVempForm> self(this);
        m_platform.secrets.write(target->address, target->secret, [self](bool stored) {
            if (self && !stored)
                self->guarded([&] { self->noteSecretsKeptForSession(); });
        });
    }

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
