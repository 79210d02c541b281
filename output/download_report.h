#pragma once

#include "output/run_summary.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

struct DownloadFailure;
struct DownloadSummary;

// Between a run of addresses and Serimo's own engine: what it may fetch,
// and what its summary comes to. The window and the terminal share it.

// The address as a web address to fetch; empty when it is not an http or
// https address. An address without a scheme is taken as http.
QUrl webAddress(const QString &address);

// The reason a file failed, worded for a person.
QString failureReason(const DownloadFailure &failure);

// What the engine's run of these addresses into folder came to.
RunResult runResultOf(const DownloadSummary &summary, const QStringList &run, const QString &folder);
