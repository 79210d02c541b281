#include "app/terminal_find_end.h"

#include "app/command_line.h"
#include "app/terminal_lines.h"
#include "common/english_plurals.h"
#include "common/translate_main.h"
#include "runs/download_address.h"
#include "runs/end_finder.h"
#include "series/run_list.h"
#include "series/series_addresses.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <climits>
#include <cstdio>

namespace {
TerminalEnd failedWith(int status)
{
    return {status, 0, {}};
}

QString fileNameOf(const QString &address)
{
    return QUrl(address, QUrl::TolerantMode).fileName();
}
} // namespace

TerminalEnd findEndFromTerminal(const QString &typed, SiteOptions site,
                                const std::function<void(EndFinder &)> &searching)
{
    // Bad input is answered as --list and --download answer it.
    const ListedRun listed = listedRun(typed, QStringLiteral("1"));
    if (listed.run.isEmpty()) {
        complain(listed.error);
        return failedWith(2);
    }
    const RunAddresses first = runAddresses(listed.run);
    if (const QString problem = addressProblemMessage(first, AddressUse::Ask, MessageStyle::Terminal);
        !problem.isEmpty()) {
        complain(problem);
        return failedWith(2);
    }
    if (!announceSiteOptions(site))
        return failedWith(2);

    SeriesAddresses addresses(typed);
    EndFinder finder;
    QEventLoop loop;
    EndFound found;
    QObject::connect(&finder, &EndFinder::finished, &loop, [&](const EndFound &result) {
        found = result;
        loop.quit();
    });
    const bool showProgress = stderrIsTerminal();
    if (showProgress) {
        QObject::connect(&finder, &EndFinder::progress, [](int requests, qint64 items) {
            const QString line = trMain("Finding the end: %1, %2 so far")
                                     .arg(trCount("main", "%n request(s)", requests),
                                          trCount("main", "%n item(s)", int(std::min<qint64>(items, INT_MAX))));
            drawProgressLine(line);
        });
    }
    finder.start([&addresses](qint64 index) -> std::optional<QUrl> {
        const std::optional<QString> address = addresses.at(index);
        if (!address)
            return std::nullopt;
        return webAddress(*address).url;
    }, site);
    if (searching)
        searching(finder);
    loop.exec();
    if (showProgress)
        clearProgressLine();

    switch (found.outcome) {
    case EndFound::Outcome::NothingThere:
        complain(trMain("nothing at the first address: '%1'").arg(first.urls.first().adjusted(QUrl::RemoveUserInfo).toString()));
        return failedWith(1);
    case EndFound::Outcome::Stopped:
        return failedWith(1);
    case EndFound::Outcome::Failed:
        complain(found.failure);
        return failedWith(1);
    case EndFound::Outcome::Found:
        break;
    }
    if (found.end + 1 >= SeriesAddresses::kFarthest) {
        complain(trMain("the series goes on past %1 addresses").arg(SeriesAddresses::kFarthest));
        return failedWith(1);
    }
    const QString last = *addresses.at(found.end);
    if (showProgress) {
        const QString line = trCount("main", "Found the end at %1 in %n request(s).", found.requests).arg(fileNameOf(last));
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    }
    return {0, found.end + 1, last};
}

int findEndOnTerminal(const QString &typed, const SiteOptions &site)
{
    const TerminalEnd end = findEndFromTerminal(typed, site);
    if (end.status != 0)
        return end.status;
    return printText(end.lastAddress + u'\n');
}

int listSeriesOnTerminal(const QString &typed)
{
    const TerminalEnd end = findEndFromTerminal(typed, {});
    if (end.status != 0)
        return end.status;
    const QStringList run = SeriesAddresses(typed).first(end.count).run;
    int printed = 0;
    for (qsizetype i = 0; i < run.size() && printed == 0; ++i)
        printed = printText(runListText({run[i]}));
    return printed;
}
