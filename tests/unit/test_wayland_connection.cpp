// Serimo's Wayland adapters against a small compositor in the test: a server
// thread that accepts every request and sends what each case needs.

#include "platform/wayland/data_control_clipboard.h"
#include "platform/wayland/foreign_toplevel_window.h"
#include "platform/wayland/wayland_connection.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QTest>
#include <memory>
#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <mutex>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>
#include <wayland-server.h>

namespace {
// Event numbers, in the order the protocols define the events.
enum : uint32_t { kToplevel = 0, kFinished = 1 };
enum : uint32_t { kTitle = 0, kState = 4, kDone = 5 };
enum : uint32_t { kSend = 0 };

struct Window
{
    const char *title;
    bool active;
};

class Compositor
{
public:
    explicit Compositor(std::vector<Window> windows) : m_windows(std::move(windows))
    {
        m_display = wl_display_create();
        for (Global &global : m_globals)
            global.compositor = this;
        wl_global_create(m_display, &wl_seat_interface, 1, &m_globals[0], &bind);
        wl_global_create(m_display, &zwlr_data_control_manager_v1_interface, 1, &m_globals[1], &bind);
        m_toplevels = wl_global_create(m_display, &zwlr_foreign_toplevel_manager_v1_interface, 2, &m_globals[2], &bind);
        int fds[2];
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds);
        m_client = wl_client_create(m_display, fds[0]);
        m_clientFd = fds[1];
        m_thread = std::thread([this] {
            while (!m_stop) {
                wl_event_loop_dispatch(wl_display_get_event_loop(m_display), 5);
                runTasks();
                wl_display_flush_clients(m_display);
            }
        });
    }

    ~Compositor()
    {
        m_stop = true;
        m_thread.join();
        wl_display_destroy_clients(m_display);
        wl_display_destroy(m_display);
    }

    // The client's end, for a connection of Serimo's.
    wl_display *connect() const { return wl_display_connect_to_fd(m_clientFd); }

    // Runs `task` on the compositor's thread and waits for it.
    void run(std::function<void()> task)
    {
        std::promise<void> done;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_tasks.push_back([&] {
                task();
                done.set_value();
            });
        }
        done.get_future().wait();
    }

    // Keeps the compositor from answering for `ms`, from now on.
    void stall(int ms)
    {
        auto started = std::make_shared<std::promise<void>>();
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_tasks.push_back([started, ms] {
                started->set_value();
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            });
        }
        started->get_future().wait();
    }

    void finishList()
    {
        run([this] {
            wl_resource_post_event(m_manager, kFinished);
            wl_resource_destroy(m_manager);
        });
    }
    void removeList()
    {
        run([this] { wl_global_destroy(m_toplevels); });
    }
    void dropClient()
    {
        run([this] { wl_client_destroy(m_client); });
    }
    // Asks the source of the clipboard's text for it on a pipe whose reader
    // has gone.
    void askSourceIntoClosedPipe()
    {
        run([this] {
            int fds[2];
            pipe(fds);
            ::close(fds[0]);
            wl_resource_post_event(m_source, kSend, "text/plain;charset=utf-8", fds[1]);
            ::close(fds[1]);
        });
    }

private:
    struct Global
    {
        Compositor *compositor;
        const wl_interface *interface;
    };

    static void bind(wl_client *client, void *data, uint32_t version, uint32_t id)
    {
        const auto *global = static_cast<const Global *>(data);
        wl_resource *resource = global->compositor->accept(client, global->interface, int(version), id);
        // The list announces the windows there are as soon as it is bound.
        if (global->interface == &zwlr_foreign_toplevel_manager_v1_interface)
            global->compositor->announce(resource);
    }

    wl_resource *accept(wl_client *client, const wl_interface *interface, int version, uint32_t id)
    {
        wl_resource *resource = wl_resource_create(client, interface, version, id);
        wl_resource_set_dispatcher(resource, &dispatch, nullptr, this, nullptr);
        if (interface == &zwlr_data_control_source_v1_interface)
            m_source = resource;
        return resource;
    }

    // Every request is accepted: objects it makes are made, destructors destroy.
    static int dispatch(const void *, void *target, uint32_t, const wl_message *message, wl_argument *args)
    {
        auto *resource = static_cast<wl_resource *>(target);
        auto *self = static_cast<Compositor *>(wl_resource_get_user_data(resource));
        int argument = 0;
        for (const char *type = message->signature; *type; ++type) {
            if (*type == '?' || (*type >= '0' && *type <= '9'))
                continue;
            if (*type == 'n')
                self->accept(wl_resource_get_client(resource), message->types[argument],
                             wl_resource_get_version(resource), args[argument].n);
            if (*type == 'h')
                ::close(args[argument].h);
            ++argument;
        }
        if (qstrcmp(message->name, "destroy") == 0)
            wl_resource_destroy(resource);
        return 0;
    }

    void announce(wl_resource *manager)
    {
        m_manager = manager;
        for (const Window &window : m_windows) {
            wl_resource *handle = accept(wl_resource_get_client(manager), &zwlr_foreign_toplevel_handle_v1_interface,
                                         wl_resource_get_version(manager), 0);
            wl_resource_post_event(manager, kToplevel, handle);
            wl_resource_post_event(handle, kTitle, window.title);
            wl_array states;
            wl_array_init(&states);
            if (window.active)
                *static_cast<uint32_t *>(wl_array_add(&states, sizeof(uint32_t))) =
                    ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
            wl_resource_post_event(handle, kState, &states);
            wl_array_release(&states);
            wl_resource_post_event(handle, kDone);
        }
    }

    void runTasks()
    {
        std::vector<std::function<void()>> tasks;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            tasks.swap(m_tasks);
        }
        for (const auto &task : tasks)
            task();
    }

    std::vector<Window> m_windows;
    Global m_globals[3] = {{nullptr, &wl_seat_interface},
                           {nullptr, &zwlr_data_control_manager_v1_interface},
                           {nullptr, &zwlr_foreign_toplevel_manager_v1_interface}};
    wl_display *m_display;
    wl_global *m_toplevels;
    wl_client *m_client;
    int m_clientFd;
    wl_resource *m_manager = nullptr;
    wl_resource *m_source = nullptr;
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_tasks;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};
} // namespace

// Serimo's adapters on one connection, made as the program makes them: the
// clipboard first, whose set-up runs a roundtrip, then the window list.
struct Session
{
    explicit Session(Compositor &compositor)
        : connection(WaylandConnection::takeOver(compositor.connect())),
          clipboard(DataControlClipboard::create(connection.get())),
          windows(ForeignToplevelWindow::create(connection.get()))
    {
    }
    std::unique_ptr<WaylandConnection> connection;
    std::unique_ptr<DataControlClipboard> clipboard;
    std::unique_ptr<ForeignToplevelWindow> windows;
};

class TestWaylandConnection : public QObject
{
    Q_OBJECT
private slots:
    void windowsOpenBeforeTheList_data();
    void windowsOpenBeforeTheList();
    void listEndsWithTheCompositor_data();
    void listEndsWithTheCompositor();
    void lostConnectionRefusesHandOver();
    void lateAnswer_data();
    void lateAnswer();
    void readerGoneDoesNotEndSerimo();
};

const std::vector<Window> kWindows = {{"Downloads", false}, {"Save As", true}};

void TestWaylandConnection::windowsOpenBeforeTheList_data()
{
    QTest::addColumn<int>("busyMs");
    QTest::newRow("a compositor that answers at once") << 0;
    // On a loaded machine: a missed answer would leave no clipboard of ours.
    QTest::newRow("a compositor busy for 2 s as Serimo starts") << 2000;
}

void TestWaylandConnection::windowsOpenBeforeTheList()
{
    QFETCH(int, busyMs);
    Compositor compositor(kWindows);
    compositor.stall(busyMs);
    Session session(compositor);
    QVERIFY(session.clipboard && session.windows);
    QCOMPARE(session.windows->title(), QStringLiteral("Save As"));
}

void TestWaylandConnection::listEndsWithTheCompositor_data()
{
    QTest::addColumn<std::function<void(Compositor &)>>("end");
    QTest::newRow("the list is finished") << std::function<void(Compositor &)>(&Compositor::finishList);
    QTest::newRow("the list's global is withdrawn") << std::function<void(Compositor &)>(&Compositor::removeList);
}

void TestWaylandConnection::listEndsWithTheCompositor()
{
    QFETCH(std::function<void(Compositor &)>, end);
    Compositor compositor(kWindows);
    Session session(compositor);
    QCOMPARE(session.windows->title(), QStringLiteral("Save As"));
    end(compositor);
    QCOMPARE(session.windows->title(), QString());
    QVERIFY(session.clipboard->setText(QStringLiteral("http://example.com/1")));
}

void TestWaylandConnection::lostConnectionRefusesHandOver()
{
    Compositor compositor(kWindows);
    Session session(compositor);
    QVERIFY(session.clipboard->setText(QStringLiteral("http://example.com/1")));
    compositor.dropClient();
    QCOMPARE(session.windows->title(), QString());
    QVERIFY(!session.clipboard->setText(QStringLiteral("http://example.com/2")));
    QVERIFY(!session.clipboard->hasText());
}

void TestWaylandConnection::lateAnswer_data()
{
    QTest::addColumn<int>("busyMs");
    QTest::addColumn<bool>("handOver");
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("answered");
    // A hand-over waits up to 1 s for a busy compositor; a paste says it got
    // no answer rather than finding the clipboard empty.
    QTest::newRow("hand-over answered late") << 300 << true << true << true;
    QTest::newRow("hand-over not answered within 1 s") << 1500 << true << false << true;
    QTest::newRow("paste answered late") << 300 << false << false << false;
}

void TestWaylandConnection::lateAnswer()
{
    QFETCH(int, busyMs);
    QFETCH(bool, handOver);
    Compositor compositor(kWindows);
    Session session(compositor);
    compositor.stall(busyMs);
    const bool result = handOver ? session.clipboard->setText(QStringLiteral("http://example.com/1"))
                                 : session.clipboard->hasText();
    QTEST(result, "result");
    if (!handOver)
        QTEST(session.clipboard->answered(), "answered");
}

void TestWaylandConnection::readerGoneDoesNotEndSerimo()
{
    // As in a program that leaves SIGPIPE as it comes (the test library's may differ).
    std::signal(SIGPIPE, SIG_DFL);
    Compositor compositor(kWindows);
    Session session(compositor);
    QVERIFY(session.clipboard->setText(QStringLiteral("http://example.com/1")));
    compositor.askSourceIntoClosedPipe();
    // Serimo writes its text while it dispatches; a SIGPIPE would end the test here.
    QVERIFY(session.clipboard->hasText());
    sigset_t pending;
    sigpending(&pending);
    QVERIFY(!sigismember(&pending, SIGPIPE));
    struct sigaction action;
    sigaction(SIGPIPE, nullptr, &action);
    QVERIFY(action.sa_handler == SIG_DFL);
}

QTEST_GUILESS_MAIN(TestWaylandConnection)
#include "test_wayland_connection.moc"
