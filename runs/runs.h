#pragma once

#include "runs/download_controller.h"
#include "runs/engine_registry.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <utility>

class SecretStore;

// Whether a file can be created in folder: tried, not guessed from the
// permissions.
bool folderAcceptsFiles(const QString &folder);

// The runs as the window drives them: the registered engines, the one
// controller, the last folder and address of each engine (kept in the
// settings under the keys the engines name) and the daemons' secrets (in
// the keyring, and for the session).
class Runs : public QObject
{
    Q_OBJECT
public:
    Runs(const EngineRegistry &engines, SecretStore &secrets, QObject *parent = nullptr);

    const EngineRegistry &engines() const { return m_engines; }
    DownloadController &controller() { return m_controller; }
    bool isRunning() const { return m_controller.isRunning(); }

    // Where the runs on this machine go: the folder last chosen while it
    // exists, else downloads.
    QString runFolder(const QString &downloads) const;
    // Where engine's last run went (its default address before any); a
    // daemon here that kept no folder is offered runFolder.
    EngineTarget lastTarget(const RegisteredEngine &engine, const QString &downloads) const;
    // Remembers target as engine's last, its secret for the session.
    void keep(const RegisteredEngine &engine, const EngineTarget &target);

    // The secret for address: the one given this session, else the
    // keyring's. done(false, ...) where no keyring answered.
    void readSecret(const QString &address, std::function<void(bool answered, const QString &secret)> done);
    // Stores a secret the user changed in the keyring; notKept runs where
    // it refused.
    void storeSecret(const QString &address, const QString &secret, std::function<void()> notKept);
    // True the first time the keyring failed: the user is told once that
    // secrets last only the session.
    bool firstKeyringFailure();

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
    QHash<QString, QString> m_kept;           // by settings key
    QHash<QString, QString> m_sessionSecrets; // by address
    bool m_toldKeyringFailure = false;
};
