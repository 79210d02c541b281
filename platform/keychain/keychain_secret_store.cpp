#include "platform/keychain/keychain_secret_store.h"

#include <QTimer>
#include <memory>
#include <qt6keychain/keychain.h>

namespace {
const QString kService = QStringLiteral("Serimo");

// Runs job and calls done once: with the job when it finishes, with null
// when it did not within deadlineMs (a keyring that waits on a prompt nobody
// answers). The job is never deleted while it runs.
void runWithDeadline(QKeychain::Job *job, int deadlineMs, QObject *context,
                     std::function<void(QKeychain::Job *)> done)
{
    auto answer = std::make_shared<std::function<void(QKeychain::Job *)>>(std::move(done));
    auto *deadline = new QTimer(job);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, context, [answer] {
        if (auto done = std::exchange(*answer, {}))
            done(nullptr);
    });
    QObject::connect(job, &QKeychain::Job::finished, context, [answer](QKeychain::Job *finished) {
        if (auto done = std::exchange(*answer, {}))
            done(finished);
    });
    job->setAutoDelete(true);
    // Secrets go only to a real keyring, never into a file beside it.
    job->setInsecureFallback(false);
    deadline->start(deadlineMs);
    job->start();
}
} // namespace

void KeychainSecretStore::read(const QString &key, std::function<void(bool, const QString &)> done)
{
    auto *job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(key);
    runWithDeadline(job, m_deadlineMs, &m_context, [done = std::move(done)](QKeychain::Job *finished) {
        if (!finished)
            return done(false, {});
        if (finished->error() == QKeychain::EntryNotFound)
            return done(true, {});
        const auto *read = static_cast<QKeychain::ReadPasswordJob *>(finished);
        done(finished->error() == QKeychain::NoError, read->textData());
    });
}

void KeychainSecretStore::write(const QString &key, const QString &secret, std::function<void(bool)> done)
{
    auto *job = new QKeychain::WritePasswordJob(kService);
    job->setKey(key);
    job->setTextData(secret);
    runWithDeadline(job, m_deadlineMs, &m_context, [done = std::move(done)](QKeychain::Job *finished) {
        done(finished && finished->error() == QKeychain::NoError);
    });
}
