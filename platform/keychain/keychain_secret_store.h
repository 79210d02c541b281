#pragma once

#include "platform/secret_store.h"

#include <QObject>

// The desktop's keyring through QtKeychain, under the service "Serimo".
class KeychainSecretStore : public SecretStore
{
public:
    explicit KeychainSecretStore(int deadlineMs) : m_deadlineMs(deadlineMs) {}
    void read(const QString &key, std::function<void(bool answered, const QString &secret)> done) override;
    void write(const QString &key, const QString &secret, std::function<void(bool stored)> done) override;

private:
    int m_deadlineMs;
    QObject m_context; // ends the answers still due when Serimo closes
};
