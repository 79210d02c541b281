#include "platform/settings_store.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

QtSettingsStore::QtSettingsStore(const QString &path) : m_path(path)
{
    const QFileInfo file(path);
    if (file.exists() && !file.isFile()) {
        m_leftAlone = path;
        return;
    }
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Brellix/SERIMO.conf");
}

bool QtSettingsStore::isAvailable() const
{
    // A file with lines that do not parse still gives the values that do.
    return m_settings && m_settings->status() != QSettings::AccessError;
}

QString QtSettingsStore::leftAlone() const
{
    return m_leftAlone;
}

std::optional<QVariant> QtSettingsStore::read(const QString &name) const
{
    if (!m_settings || !m_settings->contains(name))
        return std::nullopt;
    return m_settings->value(name);
}

bool QtSettingsStore::write(const QString &name, const QVariant &value)
{
    if (!m_settings)
        return false;
    m_settings->setValue(name, value);
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    // QSettings keeps the status of the file it first read (a format error)
    // even after it has rewritten the file; read back what is on disk now.
    auto reread = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    if (reread->status() != QSettings::NoError || reread->value(name) != value)
        return false;
    m_settings = std::move(reread);
    return true;
}
