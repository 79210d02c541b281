#include "runs/downloader.h"

#include "runs/answer_result.h"
#include "runs/download_names.h"
#include "runs/download_reasons.h"
#include "runs/download_retry.h"
#include "runs/downloader_file_writer.h"
#include "runs/downloader_part_file.h"
#include "runs/placeholder_probe.h"
#include "runs/run_cookie_jar.h"
#include "runs/run_end.h"
#include "runs/site_headers.h"

#include <QDir>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QHttp2Configuration>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#ifdef __GLIBC__
#include <malloc.h>
#endif

struct Downloader::Transfer
{
    Transfer(const QString &path, quint64 serial, const QUrl &url)
        : part(std::make_shared<PartFile>(path)), serial(serial), chain(url)
    {
    }
    enum class Cut { None, NoAnswer, Silent, TooSlow, Placeholder, Unreadable, Inflated, Redirected };
    QNetworkReply *reply = nullptr;
    // Shared with the writer's thread while pieces of it wait there.
    std::shared_ptr<PartFile> part;
    // Tells this transfer's pieces from those of a dropped one at the same
    // place of the run.
    quint64 serial = 0;
    QTimer silence;
    QTimer slowness;
    qint64 received = 0;
    qint64 receivedBefore = 0; // at the start of the slowness window
    qint64 queued = 0;         // received, not yet on the disk
    // The reply has ended; the file is placed once its last piece is written.
    bool ending = false;
    Cut cut = Cut::None;
    // An answer whose headers were all dropped: Qt's way of refusing too
    // many or too long ones, after which nothing more comes.
    bool headless = false;
    // The body is hashed while it may be the placeholder's.
    bool hashing = false;
    QCryptographicHash hash{kPlaceholderHash};
    // The answer's headers have all come.
    bool answered = false;
    // The addresses the request went through; why a redirect was not
    // followed.
    RedirectChain chain;
    QString redirectFailure;

    // Ends the reply, for the reason given.
    void cutShort(Cut why)
    {
        cut = why;
        reply->abort();
    }

    // What the ended reply came to, before its body is looked at; the reason
    // for a failure goes to failure. url is the file's.
    AttemptResult endResult(const QUrl &url, DownloadFailure &failure) const;
    // What a complete answer came to once all of its body has come:
    // Complete when it is the file.
    AttemptResult bodyResult(const std::optional<Placeholder> &placeholder, DownloadFailure &failure) const;
};

namespace {
// How much of a body waits between the network and the disk, per transfer,
// in Qt's buffer and then in the writer's queue: what bounds a run's memory
// whatever a server sends.
constexpr qint64 kReadBufferBytes = 256 * 1024;
constexpr qint64 kQueuedBytes = 1024 * 1024;

// Qt's network thread allocates each piece of a body and the engine's
// thread frees it. With glibc's sliding threshold, the pieces of a long body
// come from the network thread's heap, which a fast server fragments by a
// hundred megabytes and more; mapped on their own, they are given back
// whole. Small files do not need it and go faster without.
constexpr qint64 kLongBodyBytes = 8 * 1024 * 1024;

void mapLongBodiesPiecesOnTheirOwn()
{
#ifdef __GLIBC__
    static const bool mapped = mallopt(M_MMAP_THRESHOLD, 32 * 1024) == 1;
    Q_UNUSED(mapped);
#endif
}

// Write errors that concern one file's name, not the folder or the disk.
bool failsOneFile(int error)
{
    return error == EINVAL || error == ENAMETOOLONG || error == EISDIR || error == EILSEQ;
}

// A server that has not answered the address that cannot exist by then
// shows no placeholder: the run does not wait longer for it.
constexpr int kProbeMs = 3000;

// text with url's user name and password left out, wherever it quotes them.
QString withoutUserInfo(QString text, const QUrl &url)
{
    if (url.userInfo().isEmpty())
        return text;
    for (const QUrl::ComponentFormattingOptions form : {QUrl::PrettyDecoded, QUrl::FullyEncoded})
        text.replace(url.toString(form), url.adjusted(QUrl::RemoveUserInfo).toString(form));
    text.replace(url.userInfo(QUrl::FullyEncoded), QStringLiteral("…"));
    if (!url.password().isEmpty())
        text.replace(url.password(), QStringLiteral("…"));
    return text;
}

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

// A file already in the folder, not fetched again. An empty one (a
// transfer another program stopped) is no file: it is removed and fetched.
bool exists(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile() && !info.isSymLink() && info.size() == 0)
        return !QFile::remove(path);
    return info.exists() || info.isSymLink();
}
} // namespace

Downloader::Downloader(DownloadOptions options, QObject *parent)
    : QObject(parent), m_options(options), m_writer(std::make_unique<FileWriter>())
{
    m_network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_pace.setSingleShot(true);
    connect(&m_pace, &QTimer::timeout, this, [this] { carryOn(); });
}

void Downloader::setCookies(const QList<QNetworkCookie> &cookies)
{
    m_network.setCookieJar(new RunCookieJar(cookies, &m_network));
    m_moreNetworks.clear();
}

Downloader::~Downloader()
{
    // Leaves no partial file behind, and reports to nobody.
    blockSignals(true);
    stop();
}

void Downloader::start(const QList<QUrl> &urls, const QString &folder)
{
    stop();
    ++m_generation;
    m_items.clear();
    m_folder = folder;
    const QStringList names = downloadFileNames(urls);
    for (int i = 0; i < urls.size(); ++i)
        m_items.append({urls[i], QDir(folder).filePath(names[i])});
    m_summary = RunResult();
    m_summary.outcomes = QList<FileOutcome>(urls.size(), FileOutcome::NotTried);
    m_bytesReceived = 0;
    m_next = 0;
    m_settled = 0;
    m_failuresInRow = 0;
    m_refusalsInRow = 0;
    m_oneAtATime = false;
    m_http2 = false;
    m_placeholder.reset();
    m_sinceRequest.invalidate();
    m_ending = false;
    m_running = true;
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation && m_running)
            probePlaceholder();
    });
}

void Downloader::probePlaceholder()
{
    QList<QUrl> urls;
    for (const Item &item : std::as_const(m_items))
        urls.append(item.url);
    const QUrl address = impossibleAddress(urls);
    if (address.isEmpty())
        return carryOn();
    // The probe is no file: the first file does not wait --wait behind it.
    m_probe = ::probePlaceholder(m_network, address, m_options.site, std::min(m_options.silenceMs, kProbeMs), this,
                                 [this](std::optional<Placeholder> placeholder) {
                                     m_probe = nullptr;
                                     m_placeholder = std::move(placeholder);
                                     carryOn();
                                 });
    // The site's answer says whether it speaks HTTP/2 before the first file.
    connect(m_probe, &QNetworkReply::metaDataChanged, this, [this, probe = m_probe] {
        m_http2 = m_http2 || probe->attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
    });
}

int Downloader::transferSlots() const
{
    if (m_options.site.waitMs > 0 || m_oneAtATime)
        return 1;
    return m_http2 ? kHttp2Streams : connections();
}

int Downloader::connections() const
{
    return m_options.site.connections > 0 ? m_options.site.connections : m_options.maxTransfers;
}

// Qt opens at most six HTTP/1.1 connections to a host for one manager: more
// take more managers, which share the run's cookies.
QNetworkAccessManager &Downloader::networkFor(int index)
{
    constexpr int kQtConnectionsPerHost = 6;
    const int managers = m_http2 ? 1 : (connections() + kQtConnectionsPerHost - 1) / kQtConnectionsPerHost;
    while (int(m_moreNetworks.size()) + 1 < managers) {
        auto network = std::make_unique<QNetworkAccessManager>();
        network->setCookieJar(m_network.cookieJar());
        m_network.cookieJar()->setParent(&m_network);
        m_moreNetworks.push_back(std::move(network));
    }
    const int which = index % managers;
    return which == 0 ? m_network : *m_moreNetworks[std::size_t(which - 1)];
}

int Downloader::busySlots() const
{
    // A file waiting to be retried keeps its place: a server that asked us to
    // slow down gets no other request in its stead.
    const auto waiting = std::count_if(m_items.cbegin(), m_items.cend(), [](const Item &item) {
        return item.state == State::Waiting || item.state == State::Due;
    });
    return int(m_transfers.size() + waiting);
}

void Downloader::launchMore()
{
    // A retry whose pause is over goes first, when a place is free.
    for (int index = 0; m_running && !m_probe && index < m_items.size()
                        && int(m_transfers.size()) < transferSlots(); ++index) {
        if (m_items[index].state == State::Due)
            begin(index);
    }
    while (m_running && !m_ending && !m_probe && busySlots() < transferSlots() && m_next < m_items.size()) {
        const int index = m_next;
        const bool there = exists(m_items[index].path);
        if (!there && m_options.site.waitMs > 0 && m_sinceRequest.isValid()) {
            const qint64 left = m_options.site.waitMs - m_sinceRequest.elapsed();
            if (left > 0) {
                m_pace.start(int(left));
                return;
            }
        }
        ++m_next;
        const QFileInfo held(m_items[index].path);
        if (there && m_options.continueFiles && held.isFile() && !held.isSymLink()) {
            m_items[index].resumeFrom = held.size();
            begin(index);
        } else if (there) {
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
    auto transfer = std::make_unique<Transfer>(item.path, ++m_serial, item.url);
    switch (transfer->part->open()) {
    case PartFile::Opened::Ours:
        break;
    case PartFile::Opened::Elsewhere: {
        DownloadFailure failure;
        failure.cause = DownloadFailure::Cause::Elsewhere;
        failFile(index, failure);
        return;
    }
    case PartFile::Opened::Failed:
        failWrite(index, transfer->part->error());
        return;
    }
    item.state = State::Running;
    Transfer &t = *transfer;
    t.silence.setSingleShot(true);
    t.silence.setInterval(m_options.silenceMs);
    t.slowness.setInterval(m_options.slowMs);
    connect(&t.silence, &QTimer::timeout, this, [&t] {
        // Headers that never end (sent a byte at a time) are no answer yet.
        t.cutShort(!t.answered ? Transfer::Cut::NoAnswer
                   : t.headless ? Transfer::Cut::Unreadable
                                : Transfer::Cut::Silent);
    });
    connect(&t.slowness, &QTimer::timeout, this, [&t, this] {
        if (t.received - t.receivedBefore < m_options.slowBytes)
            return t.cutShort(Transfer::Cut::TooSlow);
        t.receivedBefore = t.received;
    });
    ask(index, t);
    m_transfers.emplace(index, std::move(transfer));
}

// Asks for the transfer's file at the current address of its chain.
void Downloader::ask(int index, Transfer &t)
{
    const QUrl url = m_items[index].url;
    QNetworkRequest request = siteRequest(t.chain, m_options.site);
    if (const qint64 from = m_items[index].resumeFrom; from >= 0)
        request.setRawHeader("Range", "bytes=" + QByteArray::number(from) + '-');
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, true);
    // Room on the connection for each stream's read buffer: with the
    // protocol's 64 KB for the whole connection, many streams at once would
    // wait on each other's window updates.
    QHttp2Configuration http2;
    http2.setStreamReceiveWindowSize(kReadBufferBytes);
    http2.setSessionReceiveWindowSize(kHttp2Streams * kReadBufferBytes);
    request.setHttp2Configuration(http2);
    // Compressed answers are held to kInflatedLimit by receive(): Qt's own
    // check fails them with an empty reason and reports the failure twice.
    request.setDecompressedSafetyCheckThreshold(-1);
    m_sinceRequest.start();
    t.reply = networkFor(index).get(request);
    t.reply->setReadBufferSize(kReadBufferBytes);
    connect(t.reply, &QNetworkReply::readyRead, this, [this, &t] { receive(t); });
    connect(t.reply, &QNetworkReply::metaDataChanged, this, [this, &t, index, url] {
        t.silence.start();
        t.answered = true;
        t.headless = t.reply->rawHeaderList().isEmpty();
        // One HTTP/2 connection carries many requests at once.
        m_http2 = m_http2 || t.reply->attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
        const int status = t.reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400 && t.reply->hasRawHeader("Location")) {
            t.redirectFailure = t.chain.follow(t.reply->rawHeader("Location"));
            if (t.redirectFailure.isEmpty())
                t.cutShort(Transfer::Cut::Redirected);
            return;
        }
        // A site that answers a missing file with a page or a placeholder.
        if (status < 200 || status >= 300)
            return;
        const QString type = t.reply->header(QNetworkRequest::ContentTypeHeader).toString();
        if (answersMissing(url, t.reply->url(), type, m_placeholder))
            return t.cutShort(Transfer::Cut::Placeholder);
        // A script's picture is named by what the server says it is.
        const QFileInfo given(m_items[index].path);
        if (const QString named = nameForAnswer(given.fileName(), type); named != given.fileName())
            t.part->renameTo(given.dir().filePath(named));
        // The rest of a file there: what it holds goes first.
        if (status == 206 && !resumeAt(index, t))
            return t.cutShort(Transfer::Cut::Unreadable);
        const QVariant length = t.reply->header(QNetworkRequest::ContentLengthHeader);
        t.hashing = status != 206 && mayBePlaceholder(length.isValid() ? length.toLongLong() : -1, m_placeholder);
    });
    connect(t.reply, &QNetworkReply::finished, this, [this, index] { transferEnded(index); });
    t.silence.start();
    t.slowness.start();
}

// A 206 to the Range of a file there: its bytes go to the part file before
// the rest. False where the server answers from another place.
bool Downloader::resumeAt(int index, Transfer &transfer)
{
    const Item &item = m_items[index];
    const QByteArray range = transfer.reply->rawHeader("Content-Range");
    QFile there(item.path);
    if (item.resumeFrom < 0 || !range.startsWith("bytes " + QByteArray::number(item.resumeFrom) + '-')
        || !there.open(QIODevice::ReadOnly))
        return false;
    QByteArray held = there.readAll();
    const qint64 size = held.size();
    transfer.queued += size;
    m_writer->write(transfer.part, std::move(held), [this, serial = transfer.serial, size](int error) {
        QMetaObject::invokeMethod(this, [this, serial, size, error] { pieceWritten(serial, size, error); },
                                  Qt::QueuedConnection);
    });
    return true;
}

// Hands what has come from the network to the writer, as long as the
// pieces waiting there leave room (or, at the end, all of it); the rest
// waits in Qt's bounded buffer, which holds the server back.
void Downloader::receive(Transfer &transfer, bool all)
{
    transfer.silence.start();
    while ((all || transfer.queued < kQueuedBytes) && transfer.reply->bytesAvailable() > 0) {
        QByteArray piece = transfer.reply->read(kReadBufferBytes);
        if (piece.isEmpty())
            break;
        const qint64 size = piece.size();
        if (transfer.received + size > kInflatedLimit && transfer.reply->hasRawHeader("Content-Encoding")) {
            transfer.cut = Transfer::Cut::Inflated;
            transfer.reply->abort();
            return;
        }
        if (transfer.received < kLongBodyBytes && transfer.received + size >= kLongBodyBytes)
            mapLongBodiesPiecesOnTheirOwn();
        transfer.received += size;
        transfer.queued += size;
        transfer.hashing = transfer.hashing && transfer.received <= m_placeholder->length;
        if (transfer.hashing)
            transfer.hash.addData(piece);
        m_bytesReceived += size;
        m_writer->write(transfer.part, std::move(piece), [this, serial = transfer.serial, size](int error) {
            QMetaObject::invokeMethod(this, [this, serial, size, error] { pieceWritten(serial, size, error); },
                                      Qt::QueuedConnection);
        });
    }
}

// A piece of the transfer `serial` is on the disk, or the disk refused it.
void Downloader::pieceWritten(quint64 serial, qint64 size, int error)
{
    const auto found = std::find_if(m_transfers.begin(), m_transfers.end(),
                                    [serial](const auto &entry) { return entry.second->serial == serial; });
    if (found == m_transfers.end())
        return;
    const int index = found->first;
    Transfer &transfer = *found->second;
    transfer.queued -= size;
    if (error != 0) {
        failWrite(index, error);
        return;
    }
    if (!transfer.ending)
        receive(transfer);
    else if (transfer.queued == 0)
        placeFile(index, transfer);
}

AttemptResult Downloader::Transfer::endResult(const QUrl &url, DownloadFailure &failure) const
{
    AttemptResult result = AttemptResult::Failed;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool networkError = reply->error() != QNetworkReply::NoError
                              && (status < 400 || isTransientNetworkError(reply->error()));
    // A redirect without a Location whose body is a page: a server's
    // "removed" page for what it does not have.
    const bool deadEnd = status >= 300 && status < 400 && !reply->hasRawHeader("Location")
                         && isPageType(reply->header(QNetworkRequest::ContentTypeHeader).toString());
    const QString lengthProblem =
        status >= 200 && status < 300 ? announcedLengthProblem(reply->rawHeader("Content-Length")) : QString();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const qint64 came = received + reply->bytesAvailable();
    if (cut == Cut::Placeholder || deadEnd) {
        result = AttemptResult::Missing;
    } else if (reply->error() == QNetworkReply::SslHandshakeFailedError) {
        failure.cause = DownloadFailure::Cause::Certificate;
        failure.text = reply->errorString();
    } else if (!redirectFailure.isEmpty()) {
        failure.cause = DownloadFailure::Cause::Redirect;
        failure.text = redirectFailure;
    } else if (cut == Cut::None && status >= 200 && status < 300 && networkError && length.isValid()
               && came < length.toLongLong()) {
        // The server closed the connection in the middle of the body.
        result = AttemptResult::Transient;
        failure.cause = DownloadFailure::Cause::Incomplete;
        failure.received = came;
        failure.announced = length.toLongLong();
    } else if (!lengthProblem.isEmpty()) {
        // Which length is true cannot be told: the file is never saved.
        failure.cause = DownloadFailure::Cause::BadLength;
        failure.text = lengthProblem;
    } else if (cut == Cut::Unreadable) {
        failure.cause = DownloadFailure::Cause::Unreadable;
    } else if (cut == Cut::Inflated) {
        failure.cause = DownloadFailure::Cause::Inflated;
    } else if (cut == Cut::NoAnswer || cut == Cut::Silent || cut == Cut::TooSlow) {
        result = AttemptResult::Transient;
        failure.cause = cut == Cut::NoAnswer ? DownloadFailure::Cause::NoAnswer
                        : cut == Cut::Silent ? DownloadFailure::Cause::Silent
                                             : DownloadFailure::Cause::TooSlow;
    } else if (networkError) {
        failure.cause = DownloadFailure::Cause::Network;
        failure.text = withoutUserInfo(reply->errorString(), url);
        result = isTransientNetworkError(reply->error()) ? AttemptResult::Transient : AttemptResult::Failed;
    } else {
        failure.cause = DownloadFailure::Cause::HttpStatus;
        failure.status = status;
        result = resultOfStatus(status);
    }
    return result;
}

AttemptResult Downloader::Transfer::bodyResult(const std::optional<Placeholder> &placeholder,
                                               DownloadFailure &failure) const
{
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (cut == Cut::Inflated) {
        failure.cause = DownloadFailure::Cause::Inflated;
        return AttemptResult::Failed;
    }
    if (length.isValid() && length.toLongLong() != received) {
        failure.cause = DownloadFailure::Cause::Incomplete;
        failure.received = received;
        failure.announced = length.toLongLong();
        return AttemptResult::Transient;
    }
    if (hashing && isPlaceholderBody(received, hash.result(), placeholder))
        return AttemptResult::Missing;
    return AttemptResult::Complete;
}

void Downloader::transferEnded(int index)
{
    const auto found = m_transfers.find(index);
    if (found == m_transfers.end())
        return;
    Transfer &transfer = *found->second;
    transfer.silence.stop();
    transfer.slowness.stop();
    if (transfer.cut == Transfer::Cut::Redirected) {
        disconnect(transfer.reply, nullptr, this, nullptr);
        transfer.reply->deleteLater();
        transfer.cut = Transfer::Cut::None;
        transfer.answered = false;
        ask(index, transfer);
        return;
    }

    DownloadFailure failure;
    const int status = transfer.reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_items[index].resumeFrom >= 0 && status == 416) {
        // The file there is whole.
        drop(index);
        m_summary.outcomes[index] = FileOutcome::AlreadyThere;
        countInRow(false);
        settle(index, false);
        return carryOn();
    }
    AttemptResult result = transfer.endResult(m_items[index].url, failure);
    // A server that asks to slow down gets one request at a time.
    if (result == AttemptResult::RateLimited) {
        m_oneAtATime = true;
        m_items[index].rateLimited = true;
    }
    if (result == AttemptResult::Complete) {
        receive(transfer, true);
        result = transfer.bodyResult(m_placeholder, failure);
        if (result == AttemptResult::Complete) {
            transfer.ending = true;
            if (transfer.queued == 0)
                placeFile(index, transfer);
            return;
        }
    }

    const QByteArray retryAfter = transfer.reply->rawHeader("Retry-After");
    drop(index);
    if (!retryLater(index, result, retryAfter))
        settleUnsaved(index, result, failure);
}

// Asks for the file at index again after the pause its result calls for,
// unless the run is ending. False when it is not asked for again.
bool Downloader::retryLater(int index, AttemptResult result, const QByteArray &retryAfter)
{
    Item &item = m_items[index];
    const std::optional<qint64> pause =
        retryPauseMs(result, item.retries, retryAfterSeconds(retryAfter, QDateTime::currentDateTimeUtc()),
                     m_options.retryPauseMs);
    if (!pause || m_ending)
        return false;
    if (result == AttemptResult::RateLimited)
        emit serverAsksToWait(*pause);
    ++item.retries;
    item.state = State::Waiting;
    const int generation = m_generation;
    QTimer::singleShot(*pause, this, [this, index, generation] {
        if (generation != m_generation || m_items[index].state != State::Waiting)
            return;
        m_items[index].state = State::Due;
        carryOn();
    });
    return true;
}

// Settles a file that ended without being saved: missing, or failed for
// the reason in failure.
void Downloader::settleUnsaved(int index, AttemptResult result, const DownloadFailure &failure)
{
    if (result == AttemptResult::Missing) {
        m_summary.outcomes[index] = FileOutcome::Missing;
        countInRow(false);
        settle(index, true);
        carryOn();
        return;
    }
    if (failure.cause == DownloadFailure::Cause::Certificate) {
        // Every file of the site would fail alike.
        failFile(index, failure);
        m_summary.writeError = downloadFailureReason(failure, m_options);
        finish();
        return;
    }
    const bool serverFailed = failure.cause != DownloadFailure::Cause::HttpStatus || failure.status >= 500;
    const bool refused =
        failure.cause == DownloadFailure::Cause::HttpStatus && (failure.status == 401 || failure.status == 403);
    failFile(index, failure);
    countInRow(serverFailed);
    if (refused && ++m_refusalsInRow >= m_options.failureRunEnd && m_running) {
        m_summary.siteKeptRefusing = true;
        finish();
    }
    carryOn();
}

// Gives a whole file its name.
void Downloader::placeFile(int index, Transfer &transfer)
{
    // A file there completed (or replaced by a whole answer) takes its place.
    const bool completing = m_items[index].resumeFrom >= 0;
    if (completing)
        QFile::remove(m_items[index].path);
    switch (transfer.part->place()) {
    case PartFile::Placed::Done:
        m_summary.outcomes[index] = completing ? FileOutcome::Completed : FileOutcome::Saved;
        // One that was never asked to wait ends it, unless others still wait.
        m_oneAtATime = m_oneAtATime && (m_items[index].rateLimited || busySlots() > int(m_transfers.size()));
        break;
    case PartFile::Placed::NameTaken:
        // Another program made the file meanwhile: it stays as it is.
        m_summary.outcomes[index] = FileOutcome::AlreadyThere;
        break;
    case PartFile::Placed::Failed:
        failWrite(index, transfer.part->error());
        return;
    }
    drop(index);
    countInRow(false);
    m_refusalsInRow = 0;
    settle(index, false);
    carryOn();
}

// Counts a file that failed for the reason given.
void Downloader::failFile(int index, DownloadFailure failure)
{
    failure.url = m_items[index].url.adjusted(QUrl::RemoveUserInfo);
    failure.index = index;
    drop(index);
    m_summary.failures.append(failure);
    m_summary.outcomes[index] = FileOutcome::Failed;
    settle(index, false);
}

// A failure in a row of them ends the run; anything the server delivered
// ends the row.
void Downloader::countInRow(bool serverFailed)
{
    m_failuresInRow = serverFailed ? m_failuresInRow + 1 : 0;
    if (m_failuresInRow >= m_options.failureRunEnd && m_running) {
        m_summary.serverKeptFailing = true;
        finish();
    }
}

// The disk refused the file at index: a name it does not take fails that
// file; anything else (a full disk, a folder gone) ends the run.
void Downloader::failWrite(int index, int error)
{
    DownloadFailure failure;
    failure.cause = DownloadFailure::Cause::Write;
    failure.error = error;
    failure.folder = QDir::toNativeSeparators(m_folder);
    if (failsOneFile(error)) {
        failFile(index, failure);
        return;
    }
    m_summary.writeError = downloadFailureReason(failure, m_options);
    finish();
}

void Downloader::settle(int index, bool missing)
{
    Item &item = m_items[index];
    item.state = State::Settled;
    item.missing = missing;
    ++m_settled;
    emit progress(m_settled, int(m_items.size()));
    if (missing)
        endSeriesIfReached();
}

// Ends the run once the missing files settled so far hold the end of the
// series. Files before it still in transfer finish; those after it are past
// the end.
void Downloader::endSeriesIfReached()
{
    QList<bool> missing;
    missing.reserve(m_items.size());
    for (const Item &item : m_items)
        missing.append(item.missing);
    const std::optional<qsizetype> end = seriesEndIndex(missing, m_options.missingRunEnd);
    if (!end)
        return;
    m_ending = true;
    m_summary.endOfSeries = true;
    for (qsizetype i = *end + 1; i < m_items.size(); ++i) {
        if (m_items[i].state == State::Running)
            drop(int(i));
        m_items[i].state = State::Settled;
    }
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
    // Deleting a reply ends its request without a word; aborting it makes
    // it end twice when its network error is already on the way.
    transfer->reply->deleteLater();
    transfer->part->discard();
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
    m_pace.stop();
    if (m_probe) {
        disconnect(m_probe, nullptr, this, nullptr);
        m_probe->abort();
        m_probe->deleteLater();
    }
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
