#pragma once

#include "runs/site_options.h"

#include <QString>
#include <QtGlobal>
#include <functional>

class EndFinder;

// Where a series ends, found from a terminal: for `serimo --find-end` and for
// `serimo --download` without COUNT. While stderr is a terminal one progress
// line there is rewritten in place.

struct TerminalEnd
{
    // 0 when found; else the exit status, the reason already on stderr:
    // 1 nothing at the first address or the server failed, 2 bad input.
    int status = 0;
    // The addresses from the one given to the series' last, that one included.
    qint64 count = 0;
    QString lastAddress;
};
// site's cookies file is read here unless the caller read it for the run.
// searching, when given, is handed the search while it runs (to stop it).
TerminalEnd findEndFromTerminal(const QString &typed, SiteOptions site,
                                const std::function<void(EndFinder &)> &searching = {});

// `serimo --find-end URL`: the last address on standard output and, on a
// terminal, "Found the end at img_347.jpg in 23 requests." on stderr.
// Returns the exit status.
int findEndOnTerminal(const QString &typed, const SiteOptions &site);

// `serimo --list URL` without COUNT: the run from URL to the series' end,
// found first as --find-end finds it, one address a line on standard output.
// Returns the exit status.
int listSeriesOnTerminal(const QString &typed);
