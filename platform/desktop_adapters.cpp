#include "platform/desktop_adapters.h"

#include "platform/dbus/atspi_foreground_window.h"
#include "platform/clipboard.h"
#include "platform/foreground_window.h"
#include "platform/keep_above.h"
#include "platform/dbus/kwin_keep_above.h"
#include "platform/secret_store.h"
#ifdef SERIMO_KEYCHAIN
#include "platform/keychain/keychain_secret_store.h"
#endif
#ifdef SERIMO_WAYLAND
#include "platform/wayland/data_control_clipboard.h"
#include "platform/wayland/foreign_toplevel_window.h"
#include "platform/wayland/plasma_window_list.h"
#include "platform/wayland/wayland_connection.h"
#endif
#ifdef SERIMO_X11
#include "platform/x11/clipboard_x11.h"
#include "platform/x11/foreground_window_x11.h"
#include "platform/x11/x_mirrored_clipboard.h"
#endif

#include <QGuiApplication>
#include <QTimer>
#include <QtGlobal>

namespace {
class NoKeyring : public SecretStore
{
public:
    void read(const QString &, std::function<void(bool, const QString &)> done) override
    {
        QTimer::singleShot(0, &m_context, [done = std::move(done)] { done(false, {}); });
    }
    void write(const QString &, const QString &, std::function<void(bool)> done) override
    {
        QTimer::singleShot(0, &m_context, [done = std::move(done)] { done(false); });
    }

private:
    QObject m_context;
};

class NoForegroundWindow : public ForegroundWindow
{
public:
    QString title() override { return {}; }
};

// The first route's title, or the second's where the first sees no window:
// under XWayland the X route sees no window while a native one is in front.
class FirstTitle : public ForegroundWindow
{
public:
    FirstTitle(std::unique_ptr<ForegroundWindow> first, std::unique_ptr<ForegroundWindow> second)
        : m_first(std::move(first)), m_second(std::move(second))
    {
    }
    QString title() override
    {
        const QString title = m_first->title();
        return title.isEmpty() ? m_second->title() : title;
    }

private:
    std::unique_ptr<ForegroundWindow> m_first;
    std::unique_ptr<ForegroundWindow> m_second;
};
} // namespace

QByteArray chooseWindowSystem()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
#ifdef SERIMO_WAYLAND
    if (compositorOffersDataControl())
        return "wayland";
#endif
    return qEnvironmentVariableIsEmpty("DISPLAY") ? QByteArray() : QByteArray("xcb");
}

std::shared_ptr<WaylandConnection> openWaylandConnection()
{
#ifdef SERIMO_WAYLAND
    return WaylandConnection::open();
#else
    return nullptr;
#endif
}

std::unique_ptr<Clipboard> makeClipboard([[maybe_unused]] WaylandConnection *wayland)
{
    std::unique_ptr<Clipboard> clipboard;
#ifdef SERIMO_WAYLAND
    clipboard = DataControlClipboard::create(wayland);
#endif
#ifdef SERIMO_X11
    // On X, another program's clipboard is read with a deadline of our own.
    if (!clipboard)
        clipboard = makeX11Clipboard(std::make_unique<QtClipboard>());
#endif
    if (!clipboard)
        clipboard = std::make_unique<QtClipboard>();
#ifdef SERIMO_X11
    // Native on Wayland with an X server beside it: X programs get every
    // hand-over too.
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        if (auto x = XClipboardOwner::start())
            return std::make_unique<XMirroredClipboard>(std::move(clipboard), std::move(x));
    }
#endif
    return clipboard;
}

std::unique_ptr<ForegroundWindow> makeForegroundWindow([[maybe_unused]] WaylandConnection *wayland)
{
    const bool waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#ifdef SERIMO_X11
    if (auto x11 = makeX11ForegroundWindow()) {
        if (!waylandSession)
            return x11;
        return std::make_unique<FirstTitle>(std::move(x11), std::make_unique<AtSpiForegroundWindow>());
    }
#endif
#ifdef SERIMO_WAYLAND
    if (auto toplevels = ForeignToplevelWindow::create(wayland))
        return toplevels;
    if (auto plasmaWindows = PlasmaWindowList::create(wayland))
        return plasmaWindows;
#endif
    if (waylandSession)
        return std::make_unique<AtSpiForegroundWindow>();
    return std::make_unique<NoForegroundWindow>();
}

std::unique_ptr<KeepAbove> makeKeepAbove()
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return std::make_unique<WindowFlagKeepAbove>();
    if (KWinKeepAbove::isOffered())
        return std::make_unique<KWinKeepAbove>();
    return std::make_unique<NoKeepAbove>();
}

std::unique_ptr<SecretStore> makeSecretStore([[maybe_unused]] int deadlineMs)
{
#ifdef SERIMO_KEYCHAIN
    return std::make_unique<KeychainSecretStore>(deadlineMs);
#else
    return std::make_unique<NoKeyring>();
#endif
}
