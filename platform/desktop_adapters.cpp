#include "platform/desktop_adapters.h"

#include "platform/clipboard.h"
#include "platform/foreground_window.h"
#include "platform/wayland/data_control_clipboard.h"
#include "platform/wayland/foreign_toplevel_window.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/x11/foreground_window_x11.h"

#include <QtGlobal>

namespace {
class NoForegroundWindow : public ForegroundWindow
{
public:
    QString title() override { return {}; }
};
} // namespace

void chooseWindowSystem()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    if (!compositorOffersDataControl())
        qputenv("QT_QPA_PLATFORM", "xcb");
}

std::unique_ptr<Clipboard> makeClipboard(WaylandConnection *wayland)
{
    if (auto dataControl = DataControlClipboard::create(wayland))
        return dataControl;
    return std::make_unique<QtClipboard>();
}

std::unique_ptr<ForegroundWindow> makeForegroundWindow(WaylandConnection *wayland)
{
    if (auto x11 = makeX11ForegroundWindow())
        return x11;
    if (auto toplevels = ForeignToplevelWindow::create(wayland))
        return toplevels;
    return std::make_unique<NoForegroundWindow>();
}
