#include "platform/x11/clipboard_x11.h"
#include "platform/x11/xcb_display.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>

namespace {

// The longest a read waits for the clipboard's owner, whatever it does:
// long enough for megabytes of text on a busy machine, where both programs
// may wait a good part of a second for the processor.
constexpr int kAnswerTimeoutMs = 1000;

// Whether the owner of the clipboard sent what was asked.
enum class Answer { Sent, Refused, None };

struct Transfer
{
    Answer answer = Answer::None;
    QByteArray bytes;
};

// ICCCM selection transfers from the owner of CLIPBOARD or of PRIMARY (the
// text last selected, which a middle click pastes) into a property of a
// window of ours: a request, the owner's SelectionNotify, then the property,
// in pieces (INCR) when the owner sends a large text that way.
class SelectionReader
{
public:
    explicit SelectionReader(const XcbDisplay &display) : m_connection(display.connection), m_root(display.root)
    {
        m_clipboard = internAtom(m_connection, "CLIPBOARD");
        m_targets = internAtom(m_connection, "TARGETS");
        m_incr = internAtom(m_connection, "INCR");
        m_utf8String = internAtom(m_connection, "UTF8_STRING");
        m_plainUtf8 = internAtom(m_connection, "text/plain;charset=utf-8");
        m_plain = internAtom(m_connection, "text/plain");
        m_text = internAtom(m_connection, "TEXT");
        m_property = internAtom(m_connection, "SERIMO_CLIPBOARD");
        newWindow();
    }
    ~SelectionReader() { xcb_disconnect(m_connection); }

    SelectionReader(const SelectionReader &) = delete;
    SelectionReader &operator=(const SelectionReader &) = delete;

    // Sent when the clipboard's owner lists a text type among its targets.
    Answer offersText()
    {
        const QDeadlineTimer deadline(kAnswerTimeoutMs);
        const Transfer targets = convert(m_clipboard, m_targets, deadline);
        if (targets.answer != Answer::Sent)
            return targets.answer;
        const std::array textTypes{m_utf8String, m_plainUtf8, m_plain, xcb_atom_t(XCB_ATOM_STRING), m_text};
        for (qsizetype at = 0; at + qsizetype(sizeof(xcb_atom_t)) <= targets.bytes.size(); at += sizeof(xcb_atom_t)) {
            xcb_atom_t atom;
            std::memcpy(&atom, targets.bytes.constData() + at, sizeof atom);
            if (atom != XCB_ATOM_NONE && std::find(textTypes.begin(), textTypes.end(), atom) != textTypes.end())
                return Answer::Sent;
        }
        return Answer::Refused;
    }

    // The text of the clipboard, or of PRIMARY, in UTF-8, else in Latin-1
    // (STRING).
    Answer text(QString &text, bool primary = false)
    {
        const xcb_atom_t selection = primary ? xcb_atom_t(XCB_ATOM_PRIMARY) : m_clipboard;
        const QDeadlineTimer deadline(kAnswerTimeoutMs);
        for (const xcb_atom_t type : {m_utf8String, m_plainUtf8}) {
            const Transfer utf8 = convert(selection, type, deadline);
            if (utf8.answer == Answer::Sent)
                text = QString::fromUtf8(utf8.bytes);
            if (utf8.answer != Answer::Refused)
                return utf8.answer;
        }
        const Transfer latin1 = convert(selection, XCB_ATOM_STRING, deadline);
        if (latin1.answer == Answer::Sent)
            text = QString::fromLatin1(latin1.bytes);
        return latin1.answer;
    }

private:
    Transfer convert(xcb_atom_t selection, xcb_atom_t target, const QDeadlineTimer &deadline)
    {
        if (target == XCB_ATOM_NONE || selection == XCB_ATOM_NONE || m_property == XCB_ATOM_NONE)
            return {Answer::Refused, {}};
        xcb_delete_property(m_connection, m_window, m_property);
        xcb_convert_selection(m_connection, m_window, selection, target, m_property, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        const auto notified = waitFor(
            [&](const xcb_generic_event_t *event) {
                const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event);
                return (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY && notify->requestor == m_window
                       && notify->selection == selection && notify->target == target;
            },
            deadline);
        if (!notified)
            return giveUp();
        if (reinterpret_cast<const xcb_selection_notify_event_t *>(notified.get())->property == XCB_NONE)
            return {Answer::Refused, {}};
        auto value = takeProperty();
        if (!value)
            return {Answer::Refused, {}};
        Transfer transfer{Answer::Sent, bytesOf(*value)};
        if (value->type != m_incr)
            return transfer;
        // Taking the INCR property asked the owner for the first piece; each
        // piece taken asks for the next, and an empty one ends the text.
        transfer.bytes.clear();
        for (;;) {
            const auto written = waitFor(
                [&](const xcb_generic_event_t *event) {
                    const auto *change = reinterpret_cast<const xcb_property_notify_event_t *>(event);
                    return (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && change->window == m_window
                           && change->atom == m_property && change->state == XCB_PROPERTY_NEW_VALUE;
                },
                deadline);
            if (!written || !(value = takeProperty()))
                return giveUp();
            if (xcb_get_property_value_length(value.get()) == 0)
                return transfer;
            transfer.bytes.append(bytesOf(*value));
        }
    }

    XcbReply<xcb_get_property_reply_t> takeProperty()
    {
        const auto cookie = xcb_get_property(m_connection, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                                             UINT32_MAX / 4);
        xcb_generic_error_t *error = nullptr;
        auto value = reply(xcb_get_property_reply(m_connection, cookie, &error), error);
        if (value && value->type == XCB_ATOM_NONE)
            value.reset();
        return value;
    }

    static QByteArray bytesOf(xcb_get_property_reply_t &value)
    {
        return QByteArray(static_cast<const char *>(xcb_get_property_value(&value)),
                          xcb_get_property_value_length(&value));
    }

    // An owner that answers late writes to a window that is gone by then, so
    // its answer can never be taken for the answer to a later request.
    Transfer giveUp()
    {
        xcb_destroy_window(m_connection, m_window);
        newWindow();
        return {Answer::None, {}};
    }

    void newWindow()
    {
        m_window = xcb_generate_id(m_connection);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
        xcb_flush(m_connection);
    }

    // The first event that `wanted` accepts, dropping the others; null at the
    // deadline or when the display connection broke.
    template <typename Wanted>
    XcbReply<xcb_generic_event_t> waitFor(Wanted wanted, const QDeadlineTimer &deadline)
    {
        for (;;) {
            while (xcb_generic_event_t *raw = xcb_poll_for_event(m_connection)) {
                XcbReply<xcb_generic_event_t> event(raw, &std::free);
                if (wanted(raw))
                    return event;
            }
            const qint64 left = deadline.remainingTime();
            if (left <= 0 || xcb_connection_has_error(m_connection))
                return {nullptr, &std::free};
            pollfd ready{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            if (::poll(&ready, 1, int(left)) < 0 && errno != EINTR)
                return {nullptr, &std::free};
        }
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_clipboard;
    xcb_atom_t m_targets;
    xcb_atom_t m_incr;
    xcb_atom_t m_utf8String;
    xcb_atom_t m_plainUtf8;
    xcb_atom_t m_plain;
    xcb_atom_t m_text;
    xcb_atom_t m_property;
};

class X11Clipboard : public Clipboard
{
public:
    explicit X11Clipboard(std::unique_ptr<Clipboard> local) : m_local(std::move(local)) {}

    bool hasText() const override
    {
        if (ownedHere() || !reader())
            return m_local->hasText();
        const Answer answer = m_reader->offersText();
        m_answered = answer != Answer::None;
        return answer == Answer::Sent;
    }

    QString text() const override
    {
        if (ownedHere() || !reader())
            return m_local->text();
        QString text;
        m_answered = m_reader->text(text) != Answer::None;
        return text;
    }

    QString selectionText() const override
    {
        m_answered = true;
        if (QGuiApplication::clipboard()->ownsSelection() || !reader())
            return m_local->selectionText();
        QString text;
        m_answered = m_reader->text(text, true) != Answer::None;
        return text;
    }

    bool answered() const override { return m_answered; }

    bool setText(const QString &text) override { return m_local->setText(text); }

private:
    // Serimo's own text is served by Qt on the window's thread, which is the
    // one that would be waiting for it.
    bool ownedHere() const
    {
        m_answered = true;
        return QGuiApplication::clipboard()->ownsClipboard();
    }

    // Connected at the first read rather than at start-up; null (and Qt reads)
    // where the display does not take a second connection.
    SelectionReader *reader() const
    {
        if (!m_reader && !m_unreachable) {
            const XcbDisplay display = connectToQtDisplay();
            if (display.connection)
                m_reader = std::make_unique<SelectionReader>(display);
            m_unreachable = !m_reader;
        }
        return m_reader.get();
    }

    std::unique_ptr<Clipboard> m_local;
    mutable std::unique_ptr<SelectionReader> m_reader;
    mutable bool m_unreachable = false;
    mutable bool m_answered = true;
};

} // namespace

std::unique_ptr<Clipboard> makeX11Clipboard(std::unique_ptr<Clipboard> local)
{
    if (!qGuiApp || !qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        return nullptr;
    return std::make_unique<X11Clipboard>(std::move(local));
}
