#include "app/vemp_107.h"
#include "runs/download_address.h"
#include "runs/end_finder.h"
#include "runs/runs.h"
#include "series/series_addresses.h"
#include "series/series_run.h"

#include <QAction>

// Find the end: where the series in the URL box ends, found in a few
// requests while the window stays in use. The URL box stays as it is; Items
// becomes the count of addresses from it to the end.

bool TVempForm::findingEnd() const
{
    return m_runs->findingEnd();
}

void TVempForm::mnuFindEndClick(QObject *)
{
    EndFinder &finder = m_runs->endFinder();
    if (finder.isRunning()) {
        finder.stop();
        return;
    }
    // The menu offers it only then; Esc and a feed's tick share the window.
    if (Timer1->isEnabled() || downloadRunning())
        return;
    takeSelectedCounter();
    if (refusePage(Edit1->text()))
        return;
    auto addresses = std::make_shared<SeriesAddresses>(
        Edit1->text(), isDigitsMode() ? SeriesMode::Digits : SeriesMode::Alpha, digitsValue(), counterChoice());
    const std::optional<QString> first = addresses->at(0);
    if (!first) {
        showWarning(tr("There is no series from %1: its counter is not a number.").arg(Edit1->text()));
        return;
    }
    if (downloadUrls({*first}).isEmpty())
        return;
    // The search asks as Download run would: behind a login, a site shows
    // its series only to the browser's cookies.
    SiteOptions site = m_runs->siteOptions();
    if (!readCookiesOfRun(site))
        return;
    // Each search reports to the addresses it was started on.
    disconnect(&finder, nullptr, this, nullptr);
    connect(&finder, &EndFinder::progress, this, [this](int requests, qint64 items) {
        guarded([&] { ShowStatus(tr("Finding the end: %1 requests, %2 items so far").arg(requests).arg(items)); });
    });
    connect(&finder, &EndFinder::finished, this,
            [this, addresses](const EndFound &found) { guarded([&] { endFound(found, *addresses); }); });
    mnuFindEnd->setText(tr("Stop &finding the end"));
    ShowStatus(tr("Finding the end..."));
    finder.start([addresses](qint64 index) -> std::optional<QUrl> {
        const std::optional<QString> address = addresses->at(index);
        if (!address)
            return std::nullopt;
        return webAddress(*address).url;
    }, site);
}

void TVempForm::offerCommands()
{
    // A search for the end sets Items, which a feed counts down and a
    // download's run was made from.
    mnuFindEnd->setEnabled(findingEnd() || (!Timer1->isEnabled() && !downloadRunning()));
}

void TVempForm::endFound(const EndFound &found, SeriesAddresses &addresses)
{
    mnuFindEnd->setText(tr("&Find the end"));
    switch (found.outcome) {
    case EndFound::Outcome::Stopped:
        ShowStatus(tr("Finding the end stopped."));
        return;
    case EndFound::Outcome::Failed:
        ShowStatus(found.failure);
        return;
    case EndFound::Outcome::NothingThere:
        ShowStatus(tr("Nothing at this address (%1 requests)").arg(found.requests));
        return;
    case EndFound::Outcome::Found:
        break;
    }
    const qint64 count = found.end + 1;
    if (count >= SeriesAddresses::kFarthest) {
        ShowStatus(tr("The series goes on past %1 addresses (%2 requests)").arg(count).arg(found.requests));
        return;
    }
    const QString counter = addresses.counterAt(found.end).value_or(QString());
    const int most = UpDownItems->maximum();
    m_foundEnd = {Edit1->text(), count};
    UpDownItems->setPosition(int(std::min<qint64>(count, most)));
    if (count > most)
        ShowStatus(tr("Series ends at %1 (%2 requests): %3 items, Items holds %4")
                       .arg(counter)
                       .arg(found.requests)
                       .arg(count)
                       .arg(most));
    else
        ShowStatus(tr("Series ends at %1 (%2 requests)").arg(counter).arg(found.requests));
}
