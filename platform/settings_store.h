#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class QSettings;

// The per-user settings store: named values of any type.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    // False when the store can be neither opened nor created.
    virtual bool isAvailable() const = 0;
    // The stored value, or nothing when the name is not there.
    virtual std::optional<QVariant> read(const QString &name) const = 0;
    // Stores the value at once; false when the store refuses it.
    virtual bool write(const QString &name, const QVariant &value) = 0;
};

// QSettings in native format, user scope, organisation "Brellix", application
// "SERIMO": on Linux ~/.config/Brellix/SERIMO.conf.
class QtSettingsStore : public SettingsStore
{
public:
    QtSettingsStore();
    ~QtSettingsStore() override;

    bool isAvailable() const override;
    std::optional<QVariant> read(const QString &name) const override;
    bool write(const QString &name, const QVariant &value) override;

private:
    std::unique_ptr<QSettings> m_settings;
};
