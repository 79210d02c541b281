#include "app/vemp_107.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "common/serimo_error.h"
#include "series/series_text.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QScreen>

namespace {
const QString kLastUrl = QStringLiteral("LastURL");
const QString kRecord = QStringLiteral("Serimo_099");
const QString kDownloadFolder = QStringLiteral("DownloadFolder");

SerimoError invalidType(const QString &name)
{
    return SerimoError(QStringLiteral("Invalid data type for '%1'").arg(name));
}
} // namespace

void TVempForm::LoadSettings()
{
    SettingsStore &store = m_platform.settings;
    if (const QString why = store.leftAlone(); !why.isEmpty())
        showWarning(why);
    const std::optional<QVariant> record = store.isAvailable() ? store.read(kRecord) : std::nullopt;
    if (record) {
        if (record->typeId() != QMetaType::QByteArray || record->toByteArray().size() > SettingsRecord::kSize)
            throw invalidType(kRecord);
        Settings.load(record->toByteArray());
        setOuterBounds(Settings.restoredBounds(screen()->virtualSize()));

        const std::optional<QVariant> lastUrl = store.read(kLastUrl);
        if (lastUrl && lastUrl->typeId() != QMetaType::QString)
            throw invalidType(kLastUrl);
        Edit1->setTextCascade(lastUrl ? lastUrl->toString() : QString());
        if (Edit1->text().isEmpty())
            Edit1->setTextCascade(kPlaceholderUrl);

        const std::optional<QVariant> folder = store.read(kDownloadFolder);
        if (folder && folder->typeId() != QMetaType::QString)
            throw invalidType(kDownloadFolder);
        downloadFolder = folder ? folder->toString() : QString();

        Timer1->setInterval(feedIntervalFromStored(Settings.feedInterval()));
        mnuShowURL->setChecked(Settings.showUrl());
        if (!Settings.showText())
            mnuShowTextClick(qApp);
        if (!Settings.showHints()) {
            mnuShowHints->setChecked(false);
            applyHints(false);
        }
        if (!Settings.showUrl())
            Panel_URL->hide();
    } else {
        btnDefaultViewClick(qApp);
    }
    WebPageFile = QDir(m_platform.files.homeDirectory()).filePath(QStringLiteral("serimo.htm"));
}

void TVempForm::SaveSettings()
{
    // Every write that can be made is made; the report names those refused.
    // A store left alone was named at start-up, once; nothing goes to it.
    SettingsStore &store = m_platform.settings;
    if (!store.leftAlone().isEmpty())
        return;
    QStringList failures;
    auto write = [&](const QString &name, const QVariant &value) {
        if (!store.write(name, value))
            failures.append(QStringLiteral("Failed to set data for '%1'").arg(name));
    };
    write(kLastUrl, Edit1->text());
    // Written once there is one: a user who never downloads gets no entry.
    if (!downloadFolder.isEmpty())
        write(kDownloadFolder, downloadFolder);
    Settings.setBounds(outerBounds());
    Settings.setFeedInterval(std::uint32_t(Timer1->interval()));
    Settings.setFlags(mnuShowHints->isChecked(), mnuShowText->isChecked(), mnuShowURL->isChecked());
    write(kRecord, Settings.toByteArray());
    if (!failures.isEmpty())
        throw SerimoError(failures.join(u'\n'));
}
