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
    // The path of a settings file left alone, neither read nor written,
    // because it is no regular file; empty while the store is in use.
    virtual QString leftAlone() const = 0;
    // The stored value, or nothing when the name is not there.
    virtual std::optional<QVariant> read(const QString &name) const = 0;
    // Stores the value at once; false when the store refuses it.
    virtual bool write(const QString &name, const QVariant &value) = 0;
    // Removes the value at once; false when the store refuses.
    virtual bool remove(const QString &name) = 0;
};

// An INI file through QSettings, the format QSettings calls native on Linux.
// A path that names something other than a regular file (a FIFO, a device,
// a directory) is left alone: opening a FIFO to read it would wait for a
// writer for ever.
class QtSettingsStore : public SettingsStore
{
public:
    explicit QtSettingsStore(const QString &path = defaultPath());
    ~QtSettingsStore() override;

    // Organisation "Brellix", application "SERIMO" in the user's
    // configuration directory: ~/.config/Brellix/SERIMO.conf.
    static QString defaultPath();

    bool isAvailable() const override;
    QString leftAlone() const override;
    std::optional<QVariant> read(const QString &name) const override;
    bool write(const QString &name, const QVariant &value) override;
    bool remove(const QString &name) override;

private:
    QString m_path;
    QString m_leftAlone;
    // Null while the store is left alone.
    std::unique_ptr<QSettings> m_settings;
};
