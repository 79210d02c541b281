#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
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

namespace {
constexpr QFile::Permissions kUserOnly = QFile::ReadOwner | QFile::WriteOwner;

// The settings may hold an address with a password in it: the folders the
// store creates and the file are the user's alone. A later rewrite keeps
// the file's mode.
void createPrivately(const QString &path)
{
    const QFileInfo file(path);
    QStringList missing;
    for (QDir folder = file.absoluteDir(); !folder.exists(); folder.setPath(QFileInfo(folder.path()).path()))
        missing.prepend(folder.path());
    for (const QString &folder : missing)
        QDir().mkdir(folder, kUserOnly | QFile::ExeOwner);
    QFile created(path);
    if (created.open(QIODevice::WriteOnly | QIODevice::NewOnly, kUserOnly))
        return;
    // A file left by an earlier version, readable by everyone.
    if (file.isFile())
        created.setPermissions(kUserOnly);
}
} // namespace

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
    createPrivately(m_path);
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

bool QtSettingsStore::remove(const QString &name)
{
    if (!m_settings)
        return false;
    m_settings->remove(name);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError || !QSettings(m_path, QSettings::IniFormat).contains(name);
}
