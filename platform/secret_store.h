#pragma once

#include <QString>
#include <functional>

// Secrets (an aria2 daemon's) kept in the desktop's keyring, never in the
// settings file. Answers come from the event loop, never while the caller
// waits.
class SecretStore
{
public:
    virtual ~SecretStore() = default;
    // answered is false when no keyring answered; a keyring that holds
    // nothing under key answers an empty secret.
    virtual void read(const QString &key, std::function<void(bool answered, const QString &secret)> done) = 0;
    virtual void write(const QString &key, const QString &secret, std::function<void(bool stored)> done) = 0;
};
