#include "app/vemp_107.h"
#include "dialogs/aria2_dialog.h"
#include "output/aria2_engine.h"
#include "platform/message_boxes.h"
#include "platform/secret_store.h"
#include "platform/dbus/taskbar_progress.h"

#include <QAction>
#include <QHostAddress>
#include <QPointer>
#include <QUrl>

// Send run to aria2: the run handed to an aria2 daemon, here or on another
// machine, and followed until it is done. The engine (aria2_engine.*) talks
// to the daemon; this file asks where, keeps the secret and tells the user.

namespace {
const QString kDefaultAria2Address = QStringLiteral("http://127.0.0.1:6800/jsonrpc");

bool isOnThisMachine(const QString &address)
{
    const QString host = QUrl(address).host();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}
} // namespace

void TVempForm::mnuSendRunToAria2Click(QObject *)
{
    if (downloadRunning()) {
        showWarning(tr("A download is running. Stop it before sending another run."));
        return;
    }
    const QList<QUrl> urls = runUrlsForDownload();
    if (urls.isEmpty())
        return;
    const QString address = aria2Address.isEmpty() ? kDefaultAria2Address : aria2Address;
    // A secret given earlier in this session is the one to offer; else the
    // keyring's, which answers later.
    if (m_sessionSecrets.contains(address)) {
        sendRunToAria2(urls, m_sessionSecrets.value(address));
        return;
    }
    QPointer<TVempForm> self(this);
    m_platform.secrets.read(address, [self, urls](bool answered, const QString &secret) {
        if (!self)
            return;
        self->guarded([&] {
            if (!answered)
                self->noteSecretsKeptForSession();
            self->sendRunToAria2(urls, secret);
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

void TVempForm::sendRunToAria2(const QList<QUrl> &urls, const QString &secret)
{
    Aria2Target given{aria2Address.isEmpty() ? kDefaultAria2Address : aria2Address, secret, aria2Folder};
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
    options.address = QUrl(target->address);
    options.secret = target->secret;
    options.folder = target->folder;
    m_runOptions = options.run;
    delete m_aria2Run;
    m_aria2Run = new Aria2Engine(options, this);
    m_aria2Accepted = false;
    const QString shownAddress = target->address;
    connect(m_aria2Run, &DownloadEngine::accepted, this, [this, shownAddress](int count) {
        guarded([&] {
            m_aria2Accepted = true;
            mnuDownload->setText(tr("Stop download"));
            ShowStatus(tr("aria2 at %1 took %2 URLs; it goes on downloading if Serimo closes.")
                           .arg(shownAddress)
                           .arg(count));
        });
    });
    connect(m_aria2Run, &DownloadEngine::refused, this, [this, shownAddress](const QString &message) {
        guarded([&] {
            ShowReady();
            m_platform.taskbar.clear();
            mnuDownload->setText(tr("Down&load run..."));
            const QString text = m_aria2Accepted ? tr("aria2 at %1 stopped answering: %2")
                                                 : tr("aria2 at %1 did not take the run: %2");
            m_platform.messageBoxes.show(tr("Error"), text.arg(shownAddress, message), MessageBoxes::Icon::Error);
        });
    });
    connect(m_aria2Run, &DownloadEngine::progress, this,
            [this](int settled, int total) { guarded([=, this] { aria2Progress(settled, total); }); });
    connect(m_aria2Run, &DownloadEngine::finished, this,
            [this](const DownloadSummary &summary) { guarded([&] { downloadFinished(summary); }); });
    ShowStatus(tr("Sending %1 URLs to aria2 at %2").arg(urls.size()).arg(shownAddress));
    m_aria2Run->start(urls);
}

void TVempForm::aria2Progress(int settled, int total)
{
    ShowStatus(tr("aria2: %1 of %2 done").arg(settled).arg(total));
    m_platform.taskbar.show(double(settled) / total);
}
