#include "platform/wayland/data_control_clipboard.h"

#include "platform/wayland/wayland_connection.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {
// The text types Serimo offers, and looks for, in order of preference.
const QStringList kTextTypes = {QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("UTF8_STRING"),
                                QStringLiteral("text/plain"), QStringLiteral("TEXT"), QStringLiteral("STRING")};
// How long reading another program's clipboard may take; an owner that has
// not given all of its text by then did not answer.
constexpr int kReadTimeoutMs = 100;
// The oldest version that has every request and event used here.
constexpr uint32_t kDataControlVersion = 1;
// A busy compositor may answer a hand-over late; it gets this long in all
// before the hand-over counts as refused.
constexpr int kHandOverTimeoutMs = 1000;

// Writes to a pipe whose reader may close its end early, as much as the
// pipe takes now; true while there is more to write. The SIGPIPE that a
// write to a closed pipe raises is held back for this thread and taken away
// again, so it neither ends Serimo nor changes how the rest of the program
// handles it.
bool writeAvailable(int fd, const QByteArray &bytes, qsizetype &done)
{
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);

    bool broken = false;
    bool more = false;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            more = true;
            break;
        }
        if (n <= 0) {
            broken = errno == EPIPE;
            break; // the reader went away
        }
        done += n;
    }

    if (broken && !pendingBefore) {
        const timespec now{0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return more;
}

// Serves one paste to its end from the event loop, as fast as the reader
// reads: a reader that stops reading holds up only itself.
class PipeWriter : public QObject
{
public:
    PipeWriter(int fd, QByteArray bytes, qsizetype done, QObject *parent)
        : QObject(parent), m_fd(fd), m_bytes(std::move(bytes)), m_done(done),
          m_notifier(fd, QSocketNotifier::Write)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, [this] {
            if (!writeAvailable(m_fd, m_bytes, m_done)) {
                m_notifier.setEnabled(false);
                deleteLater();
            }
        });
    }
    ~PipeWriter() override
    {
        m_notifier.setEnabled(false);
        ::close(m_fd);
    }

private:
    int m_fd;
    QByteArray m_bytes;
    qsizetype m_done;
    QSocketNotifier m_notifier;
};

// Writes what the pipe takes at once and leaves the rest to a writer.
void serve(int fd, const QByteArray &bytes, QObject *owner)
{
    qsizetype done = 0;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0 || !writeAvailable(fd, bytes, done)) {
        ::close(fd);
        return;
    }
    new PipeWriter(fd, bytes, done, owner);
}
} // namespace

// The protocol's callbacks, with access to the clipboard's state.
struct DataControlEvents
{
    static void offerMime(void *data, zwlr_data_control_offer_v1 *, const char *mimeType)
    {
        static_cast<DataControlClipboard::Offer *>(data)->mimeTypes.append(QString::fromUtf8(mimeType));
    }

    static void dataOffer(void *data, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer)
    {
        static const zwlr_data_control_offer_v1_listener listener = {&offerMime};
        auto *self = static_cast<DataControlClipboard *>(data);
        DataControlClipboard::dropOffer(self->m_announced);
        self->m_announced.offer = offer;
        zwlr_data_control_offer_v1_add_listener(offer, &listener, &self->m_announced);
    }

    static void selection(void *data, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer)
    {
        auto *self = static_cast<DataControlClipboard *>(data);
        DataControlClipboard::dropOffer(self->m_selection);
        if (offer && offer == self->m_announced.offer) {
            self->m_selection = std::move(self->m_announced);
            self->m_announced = {};
            // The mime types were collected against the announced record.
            zwlr_data_control_offer_v1_set_user_data(offer, &self->m_selection);
        } else if (offer) {
            zwlr_data_control_offer_v1_destroy(offer);
        }
    }

    static void finished(void *data, zwlr_data_control_device_v1 *device)
    {
        // The seat went away: the device can set nothing any more.
        auto *self = static_cast<DataControlClipboard *>(data);
        zwlr_data_control_device_v1_destroy(device);
        self->m_device = nullptr;
        self->dropSource();
    }
    static void primarySelection(void *, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer)
    {
        if (offer)
            zwlr_data_control_offer_v1_destroy(offer);
    }

    static void send(void *data, zwlr_data_control_source_v1 *, const char *mimeType, int32_t fd)
    {
        const auto *self = static_cast<const DataControlClipboard *>(data);
        const bool latin1 = qstrcmp(mimeType, "STRING") == 0;
        serve(fd, latin1 ? self->m_sourceText.toLatin1() : self->m_sourceText.toUtf8(), self->m_connection);
    }

    static void cancelled(void *data, zwlr_data_control_source_v1 *)
    {
        // Another program took the clipboard: that is normal, not a refusal.
        static_cast<DataControlClipboard *>(data)->dropSource();
    }
};

std::unique_ptr<DataControlClipboard> DataControlClipboard::create(WaylandConnection *connection)
{
    if (!connection || !connection->seat())
        return nullptr;
    uint32_t global = 0;
    auto *manager = static_cast<zwlr_data_control_manager_v1 *>(
        connection->bind(zwlr_data_control_manager_v1_interface, kDataControlVersion, global));
    if (!manager)
        return nullptr;
    static const zwlr_data_control_device_v1_listener listener = {
        &DataControlEvents::dataOffer, &DataControlEvents::selection, &DataControlEvents::finished,
        &DataControlEvents::primarySelection};
    zwlr_data_control_device_v1 *device = zwlr_data_control_manager_v1_get_data_device(manager, connection->seat());
    std::unique_ptr<DataControlClipboard> clipboard(new DataControlClipboard(connection, global, manager, device));
    zwlr_data_control_device_v1_add_listener(device, &listener, clipboard.get());
    connection->roundtrip();
    return clipboard;
}

DataControlClipboard::DataControlClipboard(WaylandConnection *connection, uint32_t global,
                                           zwlr_data_control_manager_v1 *manager,
                                           zwlr_data_control_device_v1 *device)
    : m_connection(connection), m_global(global), m_manager(manager), m_device(device)
{
}

DataControlClipboard::~DataControlClipboard()
{
    dropSource();
    dropOffer(m_announced);
    dropOffer(m_selection);
    if (m_device)
        zwlr_data_control_device_v1_destroy(m_device);
    zwlr_data_control_manager_v1_destroy(m_manager);
    wl_display_flush(m_connection->display());
}

void DataControlClipboard::dropSource()
{
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
    m_source = nullptr;
    m_sourceText.clear();
}

void DataControlClipboard::dropOffer(Offer &offer)
{
    if (offer.offer)
        zwlr_data_control_offer_v1_destroy(offer.offer);
    offer = {};
}

bool DataControlClipboard::setText(const QString &text)
{
    static const zwlr_data_control_source_v1_listener listener = {&DataControlEvents::send,
                                                                  &DataControlEvents::cancelled};
    dropSource();
    if (!m_device)
        return false;
    m_source = zwlr_data_control_manager_v1_create_data_source(m_manager);
    zwlr_data_control_source_v1_add_listener(m_source, &listener, this);
    for (const QString &type : kTextTypes)
        zwlr_data_control_source_v1_offer(m_source, type.toUtf8().constData());
    m_sourceText = text;
    zwlr_data_control_device_v1_set_selection(m_device, m_source);
    // A compositor that refuses the selection cancels the source at once; a
    // late answer is waited for once more.
    Answer answer = reach();
    if (answer == Answer::Late)
        answer = reach(kHandOverTimeoutMs - WaylandConnection::kAnswerTimeoutMs);
    return answer == Answer::Given && m_source != nullptr;
}

QString DataControlClipboard::textMimeType() const
{
    for (const QString &type : kTextTypes) {
        if (m_selection.mimeTypes.contains(type))
            return type;
    }
    return {};
}

DataControlClipboard::Answer DataControlClipboard::reach(int timeoutMs) const
{
    const Answer answer = m_connection->roundtrip(timeoutMs);
    if (answer == Answer::Given && !(m_device && m_connection->offers(m_global)))
        return Answer::Lost;
    return answer;
}

bool DataControlClipboard::usable() const
{
    // A compositor that answers late has not said what the clipboard holds:
    // that is no answer, not an empty clipboard.
    const Answer answer = reach();
    m_answered = answer != Answer::Late;
    return answer == Answer::Given;
}

bool DataControlClipboard::hasText() const
{
    return usable() && (m_source || !textMimeType().isEmpty());
}

QString DataControlClipboard::selectionText() const
{
    m_answered = true;
    return QGuiApplication::clipboard()->text(QClipboard::Selection);
}

bool DataControlClipboard::answered() const
{
    return m_answered;
}

QString DataControlClipboard::text() const
{
    if (!usable())
        return {};
    if (m_source)
        return m_sourceText;
    const QString type = textMimeType();
    int fds[2];
    if (type.isEmpty() || ::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    zwlr_data_control_offer_v1_receive(m_selection.offer, type.toUtf8().constData(), fds[1]);
    ::close(fds[1]);
    wl_display_flush(m_connection->display());

    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    m_answered = false;
    for (;;) {
        pollfd ready{fds[0], POLLIN, 0};
        const int left = kReadTimeoutMs - int(clock.elapsed());
        if (left <= 0)
            break;
        const int polled = ::poll(&ready, 1, left);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            break;
        char chunk[4096];
        const ssize_t n = ::read(fds[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_answered = n == 0; // the owner's end of the text
            break;
        }
        bytes.append(chunk, n);
    }
    if (!m_answered)
        bytes.clear();
    ::close(fds[0]);
    return type == QLatin1String("STRING") ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}
