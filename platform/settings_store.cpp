#include "platform/settings_store.h"

#include <QSettings>

namespace {
std::unique_ptr<QSettings> openSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brellix"),
                                       QStringLiteral("SERIMO"));
}
} // namespace

QtSettingsStore::QtSettingsStore() : m_settings(openSettings()) {}

QtSettingsStore::~QtSettingsStore() = default;

bool QtSettingsStore::isAvailable() const
{
    // A file with lines that do not parse still gives the values that do.
    return m_settings->status() != QSettings::AccessError;
}

std::optional<QVariant> QtSettingsStore::read(const QString &name) const
{
    if (!m_settings->contains(name))
        return std::nullopt;
    return m_settings->value(name);
}

bool QtSettingsStore::write(const QString &name, const QVariant &value)
{
    m_settings->setValue(name, value);
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    // QSettings keeps the status of the file it first read (a format error)
    // even after it has rewritten the file; read back what is on disk now.
    auto reread = openSettings();
    if (reread->status() != QSettings::NoError || reread->value(name) != value)
        return false;
    m_settings = std::move(reread);
    return true;
}
