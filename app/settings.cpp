#include "app/vemp_107.h"
#include "app/view_geometry.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "runs/download_address.h"
#include "runs/runs.h"
#include "common/serimo_error.h"
#include "series/series_text.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>

namespace {
const QString kLastUrl = QStringLiteral("LastURL");
const QString kRecord = QStringLiteral("Serimo_099");
// The length of LastURL's text after the counter the user chose; -1 when the
// rules find the counter.
const QString kCounterTail = QStringLiteral("LastURLCounterTail");
// What runs send each site (Download options), as a JSON object by site.
const QString kSites = QStringLiteral("DownloadOptionsBySite");
// The options every site took before they were kept per site; the wait in
// milliseconds. Read once, into the options of the last address's site.
const QString kReferer = QStringLiteral("Referer");
const QString kUserAgent = QStringLiteral("UserAgent");
const QString kCookiesFile = QStringLiteral("CookiesFile");
const QString kWaitMs = QStringLiteral("WaitBetweenFilesMs");

SerimoError invalidType(const QString &name)
{
    return SerimoError(QStringLiteral("Invalid data type for '%1'").arg(name));
}

std::optional<QVariant> readIfAvailable(const SettingsStore &store, const QString &name)
{
    return store.isAvailable() ? store.read(name) : std::nullopt;
}

// Where the runs went last, under the keys their engines name; the names of
// values of the wrong type go to invalid.
void loadRunPlaces(const SettingsStore &store, Runs &runs, QStringList &invalid)
{
    for (const QString &name : runs.settingsKeys()) {
        if (const std::optional<QVariant> stored = readIfAvailable(store, name)) {
            if (stored->typeId() == QMetaType::QString)
                runs.setKept(name, stored->toString());
            else
                invalid.append(invalidType(name).message());
        }
    }
}

// The options every site took before they were kept per site; the names of
// values of the wrong type go to invalid.
void loadGlobalSiteOptions(const SettingsStore &store, SiteOptions &options, QStringList &invalid)
{
    QString referer;
    for (const auto &[name, value] : {std::pair{&kReferer, &referer}, std::pair{&kUserAgent, &options.userAgent},
                                       std::pair{&kCookiesFile, &options.cookiesFile}}) {
        if (const std::optional<QVariant> stored = readIfAvailable(store, *name)) {
            if (stored->typeId() == QMetaType::QString)
                *value = stored->toString();
            else
                invalid.append(invalidType(*name).message());
        }
    }
    if (!referer.isEmpty())
        options.referer = referer;
    if (const std::optional<QVariant> wait = readIfAvailable(store, kWaitMs)) {
        bool isNumber = false;
        const int waitMs = wait->toInt(&isNumber);
        if (!isNumber || wait->typeId() == QMetaType::QByteArray || waitMs < 0 || waitMs > kWaitMaximumSeconds * 1000)
            invalid.append(invalidType(kWaitMs).message());
        else
            options.waitMs = waitMs;
    }
}

// What runs send each site, into sites; options kept for every site before
// go to the site of lastUrl. The names of values of the wrong type go to
// invalid.
void loadSites(const SettingsStore &store, const QString &lastUrl, SiteBook &sites, QStringList &invalid)
{
    if (const std::optional<QVariant> stored = readIfAvailable(store, kSites)) {
        const std::optional<SiteBook> read = stored->typeId() == QMetaType::QString
                                                 ? SiteBook::fromJson(stored->toString().toUtf8())
                                                 : std::nullopt;
        if (read)
            sites = *read;
        else
            invalid.append(invalidType(kSites).message());
        return;
    }
    SiteOptions global;
    loadGlobalSiteOptions(store, global, invalid);
    if (const QUrl last = webAddress(lastUrl).url; global.isSet() && !last.host().isEmpty())
        sites.set(sites.siteOf(last), global);
}
} // namespace

void TVempForm::LoadSettings()
{
    SettingsStore &store = m_platform.settings;
    WebPageFile = QDir(m_platform.files.homeDirectory()).filePath(QStringLiteral("serimo.htm"));
    if (const QString file = store.leftAlone(); !file.isEmpty())
        showWarning(tr("The settings file %1 is not a regular file. Serimo starts with its first settings and "
                       "saves none.")
                        .arg(QDir::toNativeSeparators(file)));
    // Each value is taken on its own: one of the wrong type is reported and
    // takes its default, and the others load, to be saved back as they were.
    QStringList invalid;
    const std::optional<QVariant> record = readIfAvailable(store, kRecord);
    const bool recordValid = record && record->typeId() == QMetaType::QByteArray
                             && record->toByteArray().size() <= SettingsRecord::kSize;
    if (record && !recordValid)
        invalid.append(invalidType(kRecord).message());
    if (recordValid)
        restoreRecord(record->toByteArray());
    else
        btnDefaultViewClick(qApp);
    if (record)
        loadLastUrl(invalid);
    loadRunPlaces(store, *m_runs, invalid);
    loadSites(store, Edit1->text(), m_runs->sites(), invalid);
    if (!invalid.isEmpty())
        throw SerimoError(invalid.join(u'\n'));
}

// The window's bounds, the feed's interval and the display toggles the
// record holds.
void TVempForm::restoreRecord(const QByteArray &record)
{
    Settings.load(record);
    QList<QRect> screens;
    for (const QScreen *each : QGuiApplication::screens())
        screens.append(each->availableGeometry());
    m_placedBounds = reachableBounds(Settings.restoredBounds(screen()->virtualSize()), screens);
    setOuterBounds(m_placedBounds);

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
}

// The last URL into the URL box, and the counter chosen in it; the names of
// values of the wrong type go to invalid.
void TVempForm::loadLastUrl(QStringList &invalid)
{
    const SettingsStore &store = m_platform.settings;
    const std::optional<QVariant> lastUrl = store.read(kLastUrl);
    const bool urlValid = !lastUrl || lastUrl->typeId() == QMetaType::QString;
    if (!urlValid)
        invalid.append(invalidType(kLastUrl).message());
    Edit1->setTextCascade(lastUrl && urlValid ? lastUrl->toString() : QString());
    if (Edit1->text().isEmpty())
        Edit1->setTextCascade(kPlaceholderUrl);
    if (const std::optional<QVariant> tail = store.read(kCounterTail)) {
        bool isNumber = false;
        const qlonglong length = tail->toLongLong(&isNumber);
        if (!isNumber || tail->typeId() == QMetaType::QByteArray)
            invalid.append(invalidType(kCounterTail).message());
        else if (length >= 0 && length < Edit1->text().size())
            m_chosenTail = Edit1->text().right(length);
        m_counterTailStored = true;
    }
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
    // Written once there is a choice, and from then on.
    if (m_chosenTail || m_counterTailStored)
        write(kCounterTail, m_chosenTail ? qlonglong(m_chosenTail->size()) : -1LL);
    for (const auto &[name, value] : m_runs->keptToSave())
        write(name, value);
    // Written once set, and from then on, so that clearing them is kept too;
    // the options once kept for every site are in it by then.
    if (!m_runs->sites().isEmpty() || store.read(kSites)) {
        write(kSites, QString::fromUtf8(m_runs->sites().toJson()));
        for (const QString *name : {&kReferer, &kUserAgent, &kCookiesFile, &kWaitMs})
            if (store.read(*name) && !store.remove(*name))
                failures.append(QStringLiteral("Failed to remove '%1'").arg(*name));
    }
    // Bounds the window still has where the stored ones put it are kept as
    // stored, also where they had to be pulled onto the screen.
    if (outerBounds() != m_placedBounds)
        Settings.setBounds(outerBounds());
    Settings.setFeedInterval(std::uint32_t(Timer1->interval()));
    Settings.setFlags(mnuShowHints->isChecked(), mnuShowText->isChecked(), mnuShowURL->isChecked());
    write(kRecord, Settings.toByteArray());
    if (!failures.isEmpty())
        throw SerimoError(failures.join(u'\n'));
}
