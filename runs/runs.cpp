#include "runs/runs.h"

#include "platform/secret_store.h"
#include "runs/download_names.h"
#include "runs/end_finder.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryFile>

bool folderAcceptsFiles(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".serimo-XXXXXX")));
    return probe.open();
}

Runs::Runs(const EngineRegistry &engines, SecretStore &secrets, QObject *parent)
    : QObject(parent), m_engines(engines), m_secrets(secrets)
{
    // Only a secret the engine accepted is worth remembering.
    connect(&m_controller, &DownloadController::accepted, this, [this] {
        if (const std::optional<SecretToRemember> remember = std::exchange(m_secretToRemember, std::nullopt)) {
            QPointer<Runs> self(this);
            m_secrets.write(remember->address, remember->secret, [self, notKept = remember->notKept](bool stored) {
                if (self && !stored)
                    notKept();
            });
        }
    });
    connect(&m_controller, &DownloadController::refused, this, [this](const QString &message, bool handedOver) {
        m_secretToRemember.reset();
        // aria2's word for a wrong secret: it is not offered again.
        const RunContext &run = m_controller.context();
        if (!handedOver && message == QLatin1String("Unauthorized")
            && run.engine.needs == EngineDescription::Needs::AddressSecretFolder) {
            m_sessionSecrets.insert(run.target.address, QString());
            m_secretRefusedAt = run.target.address;
        }
    });
    connect(&m_controller, &DownloadController::accepted, this, [this] { m_secretRefusedAt.clear(); });
}

Runs::~Runs() = default;

EndFinder &Runs::endFinder()
{
    if (!m_endFinder)
        m_endFinder = std::make_unique<EndFinder>();
    return *m_endFinder;
}

bool Runs::findingEnd() const
{
    return m_endFinder && m_endFinder->isRunning();
}

QString Runs::savedFile(const QUrl &url) const
{
    const QString file = m_savedFiles.value(url);
    return !file.isEmpty() && QFileInfo(file).isFile() ? file : QString();
}

QString Runs::runFolder(const QString &downloads) const
{
    const QString folder = m_kept.value(kRunFolderKey);
    return QFileInfo(folder).isDir() ? folder : downloads;
}

EngineTarget Runs::lastTarget(const RegisteredEngine &engine, const QString &downloads) const
{
    const EngineDescription &description = engine.description;
    if (description.needs != EngineDescription::Needs::AddressSecretFolder)
        return {runFolder(downloads), {}, {}};
    EngineTarget target{m_kept.value(description.folderKey), m_kept.value(description.addressKey), {}};
    if (target.address.isEmpty())
        target.address = description.defaultAddress;
    target.folder = folderTypedFor(engine, target.address);
    target.secret = m_sessionSecrets.value(target.address);
    target.remember = m_kept.value(description.rememberKey) == QLatin1String("true");
    target.secretRefused = !m_secretRefusedAt.isEmpty() && m_secretRefusedAt == target.address;
    return target;
}

QString Runs::folderTypedFor(const RegisteredEngine &engine, const QString &address) const
{
    // The settings keep the folder of the last address.
    const EngineDescription &description = engine.description;
    const QString kept = address == m_kept.value(description.addressKey) ? m_kept.value(description.folderKey) : QString();
    return m_daemonFolders.value(address, kept);
}

void Runs::keep(const RegisteredEngine &engine, const EngineTarget &target, const RunPlan &plan)
{
    const EngineDescription &description = engine.description;
    if (description.needs != EngineDescription::Needs::AddressSecretFolder && !plan.urls.isEmpty()) {
        m_savedFiles.clear();
        const QStringList names = downloadFileNames(plan.urls);
        for (qsizetype i = 0; i < plan.urls.size(); ++i)
            m_savedFiles.insert(plan.urls[i], QDir(target.folder).filePath(names[i]));
    }
    if (!description.folderKey.isEmpty())
        m_kept.insert(description.folderKey, target.folder);
    if (!description.addressKey.isEmpty()) {
        m_kept.insert(description.addressKey, target.address);
        m_sessionSecrets.insert(target.address, target.secret);
        m_daemonFolders.insert(target.address, target.folder);
    }
    if (!description.rememberKey.isEmpty())
        m_kept.insert(description.rememberKey, target.remember ? QStringLiteral("true") : QStringLiteral("false"));
}

void Runs::readSecret(const EngineTarget &given, std::function<void(bool, const QString &)> done)
{
    if (m_sessionSecrets.contains(given.address) || !given.remember || m_keyringGivenUp) {
        done(true, m_sessionSecrets.value(given.address));
        return;
    }
    m_secrets.read(given.address, std::move(done));
}

void Runs::rememberOnAcceptance(const EngineTarget &offered, const EngineTarget &target, std::function<void()> notKept)
{
    m_secretToRemember.reset();
    const bool newToKeyring = target.secret != offered.secret || !offered.remember;
    if (target.remember && !target.secret.isEmpty() && newToKeyring && !m_keyringGivenUp)
        m_secretToRemember = SecretToRemember{target.address, target.secret, std::move(notKept)};
}

bool Runs::giveUpKeyring()
{
    return !std::exchange(m_keyringGivenUp, true);
}

QStringList Runs::settingsKeys() const
{
    QStringList keys;
    for (const RegisteredEngine &engine : m_engines.engines()) {
        for (const QString &key :
             {engine.description.addressKey, engine.description.folderKey, engine.description.rememberKey}) {
            if (!key.isEmpty() && !keys.contains(key))
                keys.append(key);
        }
    }
    return keys;
}

QList<std::pair<QString, QString>> Runs::keptToSave() const
{
    QList<std::pair<QString, QString>> saved;
    for (const RegisteredEngine &engine : m_engines.engines()) {
        const EngineDescription &description = engine.description;
        // An engine at an address has gone somewhere once it has an
        // address; the others once they have a folder.
        const QString &used = description.addressKey.isEmpty() ? description.folderKey : description.addressKey;
        if (used.isEmpty() || m_kept.value(used).isEmpty())
            continue;
        for (const QString &key : {description.addressKey, description.folderKey, description.rememberKey}) {
            const bool listed = std::any_of(saved.cbegin(), saved.cend(),
                                            [&key](const auto &entry) { return entry.first == key; });
            if (!key.isEmpty() && !listed)
                saved.append({key, m_kept.value(key)});
        }
    }
    return saved;
}
