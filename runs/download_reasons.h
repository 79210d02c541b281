#pragma once

#include "runs/downloader_results.h"

#include <QString>

// Why a file of a download run failed, in words for the user: the same
// words in the window's summary and on the terminal, whichever engine ran.
QString downloadFailureReason(const DownloadFailure &failure, const DownloadOptions &options);

// What is wrong with an answer's Content-Length (several headers joined by
// commas): two different lengths, a negative one, or no number; empty when
// it is one length, or none is given.
QString announcedLengthProblem(const QByteArray &contentLength);
