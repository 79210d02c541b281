#include "platform/x11/x_clipboard_owner.h"

#include "platform/x11/xcb_display.h"

#include <QByteArray>
#include <QtGlobal>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {
struct Atoms
{
    xcb_atom_t clipboard, targets, timestamp, utf8, text, plainUtf8, plain, ownerTime;
};

// The selection's text as the requested target, or nothing for a target
// Serimo does not offer. Latin-1 where the target is STRING.
bool answer(xcb_connection_t *connection, const Atoms &atoms, const xcb_selection_request_event_t &request,
            xcb_atom_t property, const QByteArray &utf8, xcb_timestamp_t ownedSince)
{
    const xcb_atom_t target = request.target;
    if (target == atoms.targets) {
        const xcb_atom_t offered[] = {atoms.targets, atoms.timestamp, atoms.utf8, atoms.plainUtf8,
                                      atoms.text, atoms.plain, XCB_ATOM_STRING};
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32,
                            uint32_t(std::size(offered)), offered);
        return true;
    }
    if (target == atoms.timestamp) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_INTEGER, 32,
                            1, &ownedSince);
        return true;
    }
    QByteArray bytes;
    xcb_atom_t type = target;
    if (target == atoms.utf8 || target == atoms.plainUtf8) {
        bytes = utf8;
    } else if (target == atoms.text) {
        bytes = utf8;
        type = atoms.utf8;
    } else if (target == XCB_ATOM_STRING || target == atoms.plain) {
        bytes = QString::fromUtf8(utf8).toLatin1();
    } else {
        return false;
    }
    // A text beyond one request would need the incremental transfer, which
    // no run of URLs comes near (a request holds megabytes).
    if (quint64(bytes.size()) + 64 > quint64(xcb_get_maximum_request_length(connection)) * 4)
        return false;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, type, 8,
                        uint32_t(bytes.size()), bytes.constData());
    return true;
}
// Tells the requestor how its request went. The server sends 32 bytes of
// whatever it is given; the notification is shorter, and the rest is zero.
void notify(xcb_connection_t *connection, const xcb_selection_request_event_t &request, xcb_atom_t property)
{
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    char event[32] = {};
    static_assert(sizeof notify <= sizeof event);
    std::memcpy(event, &notify, sizeof notify);
    xcb_send_event(connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, event);
}

// Serimo's own connection to X and the window that owns the selection; no
// connection where X cannot be reached.
struct OwnerConnection
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t window = XCB_NONE;
    Atoms atoms{};
};

OwnerConnection connectOwner()
{
    OwnerConnection owner;
    int screenNumber = 0;
    owner.connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(owner.connection)) {
        // Without X nobody there can read: hand-overs go on without it.
        xcb_disconnect(owner.connection);
        return {};
    }
    xcb_connection_t *connection = owner.connection;
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && roots.rem > 1; ++i)
        xcb_screen_next(&roots);
    owner.window = xcb_generate_id(connection);
    // Its property changes tell the server's time, which a selection's
    // owner names when it takes it.
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, owner.window, roots.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    owner.atoms = {internAtom(connection, "CLIPBOARD"),  internAtom(connection, "TARGETS"),
                   internAtom(connection, "TIMESTAMP"),  internAtom(connection, "UTF8_STRING"),
                   internAtom(connection, "TEXT"),       internAtom(connection, "text/plain;charset=utf-8"),
                   internAtom(connection, "text/plain"), internAtom(connection, "_SERIMO_OWNER_TIME")};
    return owner;
}

// The text the selection holds while Serimo owns it.
struct HeldText
{
    QByteArray text;
    QByteArray next; // taken once the server has told its time
    bool owned = false;
    xcb_timestamp_t ownedSince = XCB_CURRENT_TIME;
};

void handleEvent(const OwnerConnection &owner, HeldText &held, xcb_generic_event_t *event)
{
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_SELECTION_REQUEST) {
        const auto &request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
        // An old client names no property: the target stands in.
        const xcb_atom_t property = request.property == XCB_NONE ? request.target : request.property;
        const bool served = held.owned && request.selection == owner.atoms.clipboard
                            && answer(owner.connection, owner.atoms, request, property, held.text, held.ownedSince);
        notify(owner.connection, request, served ? property : xcb_atom_t(XCB_NONE));
    } else if (type == XCB_PROPERTY_NOTIFY) {
        const auto &change = *reinterpret_cast<xcb_property_notify_event_t *>(event);
        // Each change of that property answers a take.
        if (change.window == owner.window && change.atom == owner.atoms.ownerTime) {
            held.text = held.next;
            held.owned = true;
            held.ownedSince = change.time;
            xcb_set_selection_owner(owner.connection, owner.window, owner.atoms.clipboard, held.ownedSince);
        }
    } else if (type == XCB_SELECTION_CLEAR) {
        // Another program copied: its text is the clipboard now.
        held.owned = false;
        held.text.clear();
    }
}

// Events already read along with a reply wait in xcb, not on the socket.
void handleQueuedEvents(const OwnerConnection &owner, HeldText &held)
{
    while (xcb_generic_event_t *event = owner.connection ? xcb_poll_for_event(owner.connection) : nullptr) {
        handleEvent(owner, held, event);
        std::free(event);
    }
}
} // namespace

struct XClipboardOwner::Shared
{
    int wakeRead = -1;
    int wakeWrite = -1;
    std::mutex mutex;
    std::condition_variable ended;
    QByteArray pending; // UTF-8 text still to be taken
    bool takePending = false;
    bool quit = false;
    bool done = false;

    ~Shared()
    {
        ::close(wakeRead);
        ::close(wakeWrite);
    }
    void wake()
    {
        // A full pipe already holds a wake-up.
        while (::write(wakeWrite, "x", 1) < 0 && errno == EINTR) {
        }
    }
    void run();
    // Waits for a wake-up or for X; false when the wait fails or the X
    // server went away.
    bool waitForWork(xcb_connection_t *connection);
};

std::unique_ptr<XClipboardOwner> XClipboardOwner::start()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return nullptr;
    auto shared = std::make_shared<Shared>();
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    shared->wakeRead = wake[0];
    shared->wakeWrite = wake[1];
    // The thread keeps what it uses alive: at the end it is given a moment
    // to part from the X server, and is left behind if that server hangs.
    std::thread([shared] {
        shared->run();
        const std::lock_guard lock(shared->mutex);
        shared->done = true;
        shared->ended.notify_all();
    }).detach();
    return std::unique_ptr<XClipboardOwner>(new XClipboardOwner(std::move(shared)));
}

XClipboardOwner::~XClipboardOwner()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->quit = true;
    m_shared->wake();
    m_shared->ended.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_shared->done; });
}

void XClipboardOwner::take(const QString &text)
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->pending = text.toUtf8();
    m_shared->takePending = true;
    m_shared->wake();
}

void XClipboardOwner::Shared::run()
{
    const OwnerConnection owner = connectOwner();
    HeldText held;
    for (;;) {
        handleQueuedEvents(owner, held);
        if (owner.connection)
            xcb_flush(owner.connection);
        if (!waitForWork(owner.connection))
            break;
        const std::lock_guard lock(mutex);
        if (quit)
            break;
        if (takePending && owner.connection) {
            held.next = std::move(pending);
            // An empty append changes nothing but brings the server's time.
            xcb_change_property(owner.connection, XCB_PROP_MODE_APPEND, owner.window, owner.atoms.ownerTime,
                                XCB_ATOM_STRING, 8, 0, nullptr);
        }
        takePending = false;
    }
    if (owner.connection)
        xcb_disconnect(owner.connection);
}

bool XClipboardOwner::Shared::waitForWork(xcb_connection_t *connection)
{
    pollfd ready[2] = {{wakeRead, POLLIN, 0}, {connection ? xcb_get_file_descriptor(connection) : -1, POLLIN, 0}};
    if (::poll(ready, connection ? 2 : 1, -1) < 0 && errno != EINTR)
        return false;
    if (ready[1].revents & (POLLERR | POLLHUP))
        return false; // the X server went away
    char drain[64];
    while (::read(wakeRead, drain, sizeof drain) > 0) {
    }
    return true;
}
