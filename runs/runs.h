#pragma once

#include "runs/download_controller.h"
#include "runs/engine_registry.h"
#include "runs/site_book.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class EndFinder;
class SecretStore;

// Whether a file can be created in folder: tried, not guessed from the
// permissions.
bool folderAcceptsFiles(const QString &folder);

// The runs as the window drives them: the registered engines, the one
// controller, the search for a series' end, what the runs send each site
// (Download options), the last folder and address of each engine (kept in
// the settings under the keys the engines name) and the daemons' secrets
// (in the keyring, and for the session).
class Runs : public QObject
{
    Q_OBJECT
public:
    Runs(const EngineRegistry &engines, SecretStore &secrets, QObject *parent = nullptr);
    ~Runs() override;

    const EngineRegistry &engines() const { return m_engines; }
    DownloadController &controller() { return m_controller; }
    bool isRunning() const { return m_controller.isRunning(); }
    // The search for a series' end, made when first asked for.
    EndFinder &endFinder();
    bool findingEnd() const;
    // What the runs on each site send it, and the wait between their files.
    SiteBook &sites() { return m_sites; }

    // Where the runs on this machine go: the folder last chosen while it
    // exists, else downloads.
    QString runFolder(const QString &downloads) const;
    // Where engine's last run went (its default address before any), with
    // the folder last typed for that address: never a folder of this
    // machine that the user did not type for the daemon.
    EngineTarget lastTarget(const RegisteredEngine &engine, const QString &downloads) const;
    // The folder last typed for the daemon at address; empty for none.
    QString folderTypedFor(const RegisteredEngine &engine, const QString &address) const;
    // Remembers target as engine's last, its secret for the session; and
    // where a run into a folder here puts each of plan's files.
    void keep(const RegisteredEngine &engine, const EngineTarget &target, const RunPlan &plan = {});
    // The file on this machine the last run into a folder here saved from
    // url, while it is there; empty otherwise.
    QString savedFile(const QUrl &url) const;

    // The secret for given's address: the one given this session, else the
    // keyring's where given remembers it. done(false, ...) where no keyring
    // answered. The keyring is asked only when the user wants the secret
    // remembered: some raise a prompt that takes the keyboard and the mouse.
    void readSecret(const EngineTarget &given, std::function<void(bool answered, const QString &secret)> done);
    // Puts target's secret in the keyring once the engine accepts the run,
    // where target remembers it, it is not empty and it is new to the
    // keyring (offered is what the dialog was given); notKept runs where the
    // keyring refused. A refused run forgets it.
    void rememberOnAcceptance(const EngineTarget &offered, const EngineTarget &target, std::function<void()> notKept);
    // The keyring is not asked again until Serimo closes; true the first
    // time, so that the user is told once that secrets last only the session.
    bool giveUpKeyring();

    // The settings keys the engines keep, each once, in registry order.
    QStringList settingsKeys() const;
    void setKept(const QString &key, const QString &value) { m_kept.insert(key, value); }
    // What to save: every key of an engine once it has gone somewhere, so
    // that a user who never sends a run gets no entry.
    QList<std::pair<QString, QString>> keptToSave() const;

private:
    const EngineRegistry &m_engines;
    SecretStore &m_secrets;
    DownloadController m_controller;
    std::unique_ptr<EndFinder> m_endFinder;
    SiteBook m_sites;
    QHash<QString, QString> m_kept;           // by settings key
    QHash<QString, QString> m_sessionSecrets; // by address
    QHash<QUrl, QString> m_savedFiles;        // the last run into a folder here, by address
    QHash<QString, QString> m_daemonFolders;  // by address, typed this session
    QString m_secretRefusedAt;                // the address whose daemon refused the last secret
    bool m_keyringGivenUp = false;
    // The secret to put in the keyring once the engine took the run.
    struct SecretToRemember
    {
        QString address;
        QString secret;
        std::function<void()> notKept;
    };
    std::optional<SecretToRemember> m_secretToRemember;
};
