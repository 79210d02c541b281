#include "output/downloader.h"

#include "output/download_names.h"
#include "output/download_retry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>

struct Downloader::Transfer
{
    QNetworkReply *reply = nullptr;
    QFile file;
    QTimer silence;
    qint64 written = 0;
    bool silent = false;
};

namespace {
const QString kPartSuffix = QStringLiteral(".part");

bool isTransientNetworkError(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::UnknownNetworkError:
        return true;
    default:
        return false;
    }
}

bool exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}
} // namespace

bool folderAcceptsFiles(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".serimo-XXXXXX")));
    return probe.open();
}

Downloader::Downloader(DownloadOptions options, QObject *parent) : QObject(parent), m_options(options)
{
    m_network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

Downloader::~Downloader()
{
    // Leaves no ".part" behind, and reports to nobody.
    blockSignals(true);
    stop();
}

void Downloader::start(const QList<QUrl> &urls, const QString &folder)
{
    stop();
    ++m_generation;
    m_items.clear();
    const QStringList names = downloadFileNames(urls);
    for (int i = 0; i < urls.size(); ++i)
        m_items.append({urls[i], QDir(folder).filePath(names[i])});
    m_summary = DownloadSummary();
    m_summary.total = int(urls.size());
    m_summary.outcomes = QList<FileOutcome>(urls.size(), FileOutcome::NotTried);
    m_bytesReceived = 0;
    m_next = 0;
    m_settled = 0;
    m_ending = false;
    m_running = true;
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation && m_running)
            carryOn();
    });
}

int Downloader::busySlots() const
{
    // A file waiting to be retried keeps its place: a server that asked us to
    // slow down gets no other request in its stead.
    const auto waiting = std::count_if(m_items.cbegin(), m_items.cend(),
                                       [](const Item &item) { return item.state == State::Waiting; });
    return int(m_transfers.size() + waiting);
}

void Downloader::launchMore()
{
    while (m_running && !m_ending && busySlots() < m_options.maxTransfers && m_next < m_items.size()) {
        const int index = m_next++;
        if (exists(m_items[index].path)) {
            ++m_summary.alreadyThere;
            m_summary.outcomes[index] = FileOutcome::AlreadyThere;
            settle(index, false);
        } else {
            begin(index);
        }
    }
}

void Downloader::begin(int index)
{
    Item &item = m_items[index];
    auto transfer = std::make_unique<Transfer>();
    // A ".part" left by an earlier run that was killed is ours to replace;
    // the new one is made afresh, never followed through a link.
    const QString partPath = item.path + kPartSuffix;
    QFile::remove(partPath);
    transfer->file.setFileName(partPath);
    if (!transfer->file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        failWrite(transfer->file.errorString());
        return;
    }
    item.state = State::Running;

    QNetworkRequest request(item.url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Serimo/" SERIMO_VERSION));
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, true);
    Transfer &t = *transfer;
    t.reply = m_network.get(request);
    t.silence.setSingleShot(true);
    t.silence.setInterval(m_options.silenceMs);
    connect(&t.silence, &QTimer::timeout, this, [&t] {
        t.silent = true;
        t.reply->abort();
    });
    connect(t.reply, &QNetworkReply::readyRead, this, [this, &t] { receive(t); });
    connect(t.reply, &QNetworkReply::metaDataChanged, &t.silence, qOverload<>(&QTimer::start));
    connect(t.reply, &QNetworkReply::finished, this, [this, index] { transferEnded(index); });
    t.silence.start();
    m_transfers.emplace(index, std::move(transfer));
}

void Downloader::receive(Transfer &transfer)
{
    transfer.silence.start();
    const QByteArray data = transfer.reply->readAll();
    if (data.isEmpty())
        return;
    if (transfer.file.write(data) != data.size()) {
        failWrite(transfer.file.errorString());
        return;
    }
    transfer.written += data.size();
    m_bytesReceived += data.size();
}

void Downloader::transferEnded(int index)
{
    const auto found = m_transfers.find(index);
    if (found == m_transfers.end())
        return;
    Transfer &transfer = *found->second;
    transfer.silence.stop();
    QNetworkReply &reply = *transfer.reply;
    Item &item = m_items[index];

    DownloadFailure failure;
    failure.url = item.url;
    AttemptResult result = AttemptResult::Failed;
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool networkError = reply.error() != QNetworkReply::NoError
                              && (status < 400 || isTransientNetworkError(reply.error()));
    if (transfer.silent) {
        result = AttemptResult::Transient;
        failure.cause = DownloadFailure::Cause::Silent;
    } else if (networkError) {
        failure.cause = DownloadFailure::Cause::Network;
        failure.text = reply.errorString();
        result = isTransientNetworkError(reply.error()) ? AttemptResult::Transient : AttemptResult::Failed;
    } else {
        failure.cause = DownloadFailure::Cause::HttpStatus;
        failure.status = status;
        result = resultOfStatus(status);
    }

    if (result == AttemptResult::Complete) {
        receive(transfer);
        if (!m_running)
            return;
        const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() != transfer.written) {
            result = AttemptResult::Transient;
            failure.cause = DownloadFailure::Cause::Incomplete;
        }
    }

    if (result == AttemptResult::Complete) {
        // Every byte must reach the disk before the file takes its name.
        const bool flushed = transfer.file.flush();
        transfer.file.close();
        if (!flushed || transfer.file.error() != QFileDevice::NoError) {
            failWrite(transfer.file.errorString());
            return;
        }
        QFile part(transfer.file.fileName());
        if (part.rename(item.path)) {
            drop(index);
            ++m_summary.downloaded;
            m_summary.outcomes[index] = FileOutcome::Saved;
            settle(index, false);
            carryOn();
            return;
        }
        // Another program made the file meanwhile: it stays as it is.
        result = AttemptResult::Failed;
        failure.cause = DownloadFailure::Cause::Network;
        failure.text = part.errorString();
    }

    const QByteArray retryAfter = reply.rawHeader("Retry-After");
    drop(index);
    const std::optional<qint64> pause =
        retryPauseMs(result, item.retries, retryAfterSeconds(retryAfter, QDateTime::currentDateTimeUtc()),
                     m_options.retryPauseMs);
    if (pause && !m_ending) {
        ++item.retries;
        item.state = State::Waiting;
        const int generation = m_generation;
        QTimer::singleShot(*pause, this, [this, index, generation] {
            if (generation != m_generation || m_items[index].state != State::Waiting)
                return;
            begin(index);
            carryOn();
        });
        return;
    }
    if (result == AttemptResult::Missing) {
        ++m_summary.missing;
        m_summary.outcomes[index] = FileOutcome::Missing;
    } else {
        ++m_summary.failed;
        m_summary.failures.append(failure);
        m_summary.outcomes[index] = FileOutcome::Failed;
    }
    settle(index, result == AttemptResult::Missing);
    carryOn();
}

void Downloader::settle(int index, bool missing)
{
    Item &item = m_items[index];
    item.state = State::Settled;
    item.missing = missing;
    ++m_settled;
    emit progress(m_settled, int(m_items.size()));
    if (missing)
        endOfSeriesAt(index);
}

// Ends the run when the missing file at index completes a stretch of
// missing files long enough to be the end of the series. Files before the
// stretch still in transfer finish; those after it are past the end.
void Downloader::endOfSeriesAt(int index)
{
    auto isMissing = [this](int i) {
        return i >= 0 && i < m_items.size() && m_items[i].state == State::Settled && m_items[i].missing;
    };
    int first = index;
    while (isMissing(first - 1))
        --first;
    int last = index;
    while (isMissing(last + 1))
        ++last;
    if (last - first + 1 < m_options.missingRunEnd)
        return;
    m_ending = true;
    m_summary.endOfSeries = true;
    for (int i = last + 1; i < m_items.size(); ++i) {
        if (m_items[i].state == State::Running)
            drop(i);
        m_items[i].state = State::Settled;
    }
}

void Downloader::failWrite(const QString &error)
{
    m_summary.writeError = error;
    finish();
}

// Ends the transfer of one file and removes what it wrote.
void Downloader::drop(int index)
{
    const auto found = m_transfers.find(index);
    if (found == m_transfers.end())
        return;
    std::unique_ptr<Transfer> transfer = std::move(found->second);
    m_transfers.erase(found);
    disconnect(transfer->reply, nullptr, this, nullptr);
    if (!transfer->reply->isFinished())
        transfer->reply->abort();
    transfer->reply->deleteLater();
    transfer->file.close();
    // A file renamed into place has no ".part" any more.
    QFile::remove(transfer->file.fileName());
}

// Starts what the free places allow, and ends the run when nothing is left.
void Downloader::carryOn()
{
    launchMore();
    if (!m_running || busySlots() > 0)
        return;
    if (m_ending || m_next >= m_items.size())
        finish();
}

void Downloader::stop()
{
    if (!m_running)
        return;
    m_summary.stopped = true;
    finish();
}

void Downloader::finish()
{
    ++m_generation;
    while (!m_transfers.empty())
        drop(m_transfers.begin()->first);
    m_running = false;
    // Reported from the event loop: the receiver may open a dialog, which
    // must not run inside a transfer's signal.
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation, summary = m_summary] {
        if (generation == m_generation)
            emit finished(summary);
    });
}
