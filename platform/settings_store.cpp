#include "platform/settings_store.h"

#include <QSettings>

QtSettingsStore::QtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Brellix"), QStringLiteral("SERIMO")))
{
}

QtSettingsStore::~QtSettingsStore() = default;

bool QtSettingsStore::isAvailable() const
{
    return m_settings->status() == QSettings::NoError;
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
    return m_settings->status() == QSettings::NoError;
}
