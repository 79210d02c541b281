#pragma once

#include "runs/download_retry.h"
#include "runs/downloader_results.h"
#include "runs/placeholder.h"

#include <QList>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QPointer>
#include <QTimer>
#include <QObject>
#include <QString>
#include <QUrl>
#include <map>
#include <vector>
#include <memory>

class FileWriter;
class QNetworkReply;

// Downloads a run of URLs into a folder, a few at a time, on the thread it
// lives on without ever blocking it. Each file is written to
// "<name>.serimo-part" and renamed to its name only when whole; a file already there is never
// fetched again nor overwritten. A stopped or failed file leaves nothing
// behind. Before the files, an address of the series that cannot exist is
// asked for: an answer like the server's to it is a missing file.

class Downloader : public QObject
{
    Q_OBJECT
public:
    explicit Downloader(DownloadOptions options = {}, QObject *parent = nullptr);
    ~Downloader() override;

    // The cookies every request sends where their domain and path match.
    void setCookies(const QList<QNetworkCookie> &cookies);
    // Starts the run; it reports from the event loop, never from here.
    void start(const QList<QUrl> &urls, const QString &folder);
    // Ends the run now: transfers are aborted and their partial files
    // removed before it returns; `finished` reports it, stopped.
    void stop();
    bool isRunning() const { return m_running; }
    const DownloadOptions &options() const { return m_options; }
    // The bytes received in this run so far, for a progress line.
    qint64 bytesReceived() const { return m_bytesReceived; }

signals:
    // `settled` of `total` files are done with, whatever became of them.
    void progress(int settled, int total);
    // The server asked to be left alone (429, 503) for this long.
    void serverAsksToWait(qint64 ms);
    void finished(const RunResult &result);

private:
    // Waiting: for the pause before a retry; Due: its pause is over, it
    // waits for a free place.
    enum class State { Pending, Running, Waiting, Due, Settled };
    struct Item
    {
        QUrl url;
        QString path;
        State state = State::Pending;
        bool missing = false;
        int retries = 0;
        // The server answered it 429 or 503 in this run.
        bool rateLimited = false;
        // The size of the file there, asked from on (continueFiles); -1.
        qint64 resumeFrom = -1;
    };
    struct Transfer;

    void probePlaceholder();
    void launchMore();
    // How many transfers may run at once: one with a wait between files or
    // while the server asks to slow down; else the connections, or
    // kHttp2Streams once the site answered over HTTP/2.
    int transferSlots() const;
    // HTTP/1.1 connections the run may open to the site.
    int connections() const;
    QNetworkAccessManager &networkFor(int index);
    void begin(int index);
    void ask(int index, Transfer &transfer);
    void receive(Transfer &transfer, bool all = false);
    bool resumeAt(int index, Transfer &transfer);
    void pieceWritten(quint64 serial, qint64 size, int error);
    void transferEnded(int index);
    bool retryLater(int index, AttemptResult result, const QByteArray &retryAfter);
    void settleUnsaved(int index, AttemptResult result, const DownloadFailure &failure);
    void placeFile(int index, Transfer &transfer);
    void failFile(int index, DownloadFailure failure);
    void failWrite(int index, int error);
    void settle(int index, bool missing);
    void countInRow(bool serverFailed);
    void endSeriesIfReached();
    void drop(int index);
    void carryOn();
    void finish();
    int busySlots() const;

    DownloadOptions m_options;
    QNetworkAccessManager m_network;
    // Past Qt's six connections to a host a manager: more managers.
    std::vector<std::unique_ptr<QNetworkAccessManager>> m_moreNetworks;
    // The site answered over HTTP/2.
    bool m_http2 = false;
    QString m_folder;
    QList<Item> m_items;
    std::map<int, std::unique_ptr<Transfer>> m_transfers;
    RunResult m_summary;
    int m_next = 0;
    int m_settled = 0;
    int m_failuresInRow = 0;
    int m_refusalsInRow = 0;
    qint64 m_bytesReceived = 0;
    // What the server answers for an address that cannot exist, when 200.
    std::optional<Placeholder> m_placeholder;
    QPointer<QNetworkReply> m_probe;
    // Since the last request started, and the wait for the next one.
    QElapsedTimer m_sinceRequest;
    QTimer m_pace;
    // After a 429 or 503, one file at a time until a file comes in that
    // was never answered so.
    bool m_oneAtATime = false;
    quint64 m_serial = 0;
    bool m_running = false;
    bool m_ending = false;
    // Retries scheduled by an earlier run come to nothing.
    int m_generation = 0;
    // Last, so that its thread ends first.
    std::unique_ptr<FileWriter> m_writer;
};
