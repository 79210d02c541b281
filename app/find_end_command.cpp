#include "app/status_line.h"
#include "app/status_text.h"
#include "app/vemp_107.h"
#include "runs/download_address.h"
#include "runs/end_finder.h"
#include "runs/runs.h"
#include "series/series_addresses.h"
#include "series/series_run.h"

#include <QAction>
#include <climits>

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
    SiteOptions site = m_runs->sites().optionsFor(webAddress(*first).url);
    if (!readCookiesOfRun(site))
        return;
    // Each search reports to the addresses it was started on.
    disconnect(&finder, nullptr, this, nullptr);
    connect(&finder, &EndFinder::progress, this, [this](int requests, qint64 items) {
        guarded([&] {
            const QString found = tr("%n item(s)", nullptr, int(std::min<qint64>(items, INT_MAX)));
            ShowStatus(tr("Finding the end: %1 so far").arg(found),
                       tr("Finding the end: %1, %2 so far").arg(tr("%n request(s)", nullptr, requests), found));
        });
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
    case EndFound::Outcome::Failed: {
        // In a few words the status and where it came from, the address
        // shortened to what the panel holds.
        const QString words = found.failureGist.startsWith(QLatin1String("HTTP ")) ? tr("%1 from %2")
                                                                                  : tr("%2: %1");
        const QString gist = words.arg(found.failureGist, addressShown(found.failureUrl, [&](const QString &address) {
            return StatusBar->fitsBeside(words.arg(found.failureGist, address));
        }));
        ShowStatus(found.failureGist.isEmpty() ? found.failure : gist, found.failure);
        return;
    }
    case EndFound::Outcome::NothingThere:
        ShowStatus(tr("Nothing at this address"),
                   tr("Nothing at this address (%n request(s))", nullptr, found.requests));
        return;
    case EndFound::Outcome::Found:
        break;
    }
    const qint64 count = found.end + 1;
    const QString requests = tr("%n request(s)", nullptr, found.requests);
    if (count >= SeriesAddresses::kFarthest) {
        ShowStatus(tr("Goes on past %1 addresses").arg(count),
                   tr("The series goes on past %1 addresses (%2)").arg(count).arg(requests));
        return;
    }
    const QString counter = addresses.counterAt(found.end).value_or(QString());
    const int most = UpDownItems->maximum();
    m_foundEnd = {Edit1->text(), count};
    UpDownItems->setPosition(int(std::min<qint64>(count, most)));
    if (count > most)
        ShowStatus(tr("Ends at %1; Items holds %2").arg(counter).arg(most),
                   tr("Series ends at %1 (%2): %3, Items holds %4")
                       .arg(counter, requests, tr("%n item(s)", nullptr, int(count)))
                       .arg(most));
    else
        ShowStatus(tr("Series ends at %1 (%2)").arg(counter, requests));
}
