#pragma once

#include "runs/downloader_results.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// The JSON-RPC calls Serimo makes of an aria2 daemon, and what its answers
// say about each file of a run. Pure: Qt Core only, no network. Every call
// goes out as one system.multicall, which takes the secret in each call.

// The daemon's address as typed: "host:port" is taken as
// "http://host:port/jsonrpc", where aria2 listens.
QUrl aria2Endpoint(const QString &address);

// Adds each URL as a transfer of its own (addUri takes several URLs as
// mirrors of one file, so each goes in a call of its own) saved under the name of the same place in
// names, into folder when one is given (else the daemon's own). A file
// already there is neither renamed nor overwritten: aria2 reports it.
QByteArray aria2AddUrisRequest(const QString &secret, const QList<QUrl> &urls, const QStringList &names,
                               const QString &folder);
// The state of each transfer: its status, lengths, error code and message.
QByteArray aria2TellStatusRequest(const QString &secret, const QStringList &gids);
// Ends each transfer at once; aria2 keeps what it already wrote.
QByteArray aria2ForceRemoveRequest(const QString &secret, const QStringList &gids);

// One call's part of a system.multicall answer: its value, or aria2's
// message when that call failed.
struct Aria2Result
{
    QJsonValue value;
    QString error;
};

// A whole answer: one result per call, in order, or why the answer as a
// whole is not one (then `results` is empty).
struct Aria2Answer
{
    QList<Aria2Result> results;
    QString error;
};
Aria2Answer parseAria2Answer(const QByteArray &body, qsizetype calls);

// What one transfer came to, as the run counts it.
struct Aria2Transfer
{
    enum class Outcome { Open, Downloaded, AlreadyThere, Missing, Failed };
    Outcome outcome = Outcome::Open;
    qint64 length = 0;    // 0 while unknown
    qint64 completed = 0;
    QString message;      // aria2's words for a failure
};
// The meaning of one tellStatus result.
Aria2Transfer aria2TransferOf(const Aria2Result &status);

// Counts a transfer that is done with, the run's file at index, into the
// run's summary (whose outcomes hold one place for each file); aria2's message
// is a failure's reason.
void countIntoSummary(DownloadSummary &summary, qsizetype index, const QUrl &url, const Aria2Transfer &transfer);

// The GIDs of an addUri answer; empty when any call failed, with the first
// failure's message in error.
QStringList aria2Gids(const Aria2Answer &answer, QString *error);
