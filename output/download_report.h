#pragma once

#include "output/downloader_results.h"
#include "output/run_summary.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// Between a run of addresses and Serimo's own engine: what it may fetch,
// and what its summary comes to. The window and the terminal share it.
// Pure: Qt Core only.

// The address as a web address to fetch; empty when it is not an http or
// https address. An address without a scheme is taken as http.
QUrl webAddress(const QString &address);

// What the engine's run of these addresses into folder, with these
// options, came to.
RunResult runResultOf(const DownloadSummary &summary, const DownloadOptions &options, const QStringList &run,
                      const QString &folder);
