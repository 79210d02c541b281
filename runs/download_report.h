#pragma once

#include "runs/downloader_results.h"
#include "runs/run_summary.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a run of Serimo's own engine comes to, for the summary that the
// window and the terminal share.
// Pure: Qt Core only.

// What the engine's run of these addresses into folder, with these
// options, came to.
RunResult runResultOf(const DownloadSummary &summary, const DownloadOptions &options, const QStringList &run,
                      const QString &folder);
