#pragma once

#include "runs/downloader_results.h"

#include <QString>

// Why a file of a download run failed, in words for the user: the same
// words in the window's summary and on the terminal, whichever engine ran.
QString downloadFailureReason(const DownloadFailure &failure, const DownloadOptions &options);
