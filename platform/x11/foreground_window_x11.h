#pragma once

#include "platform/foreground_window.h"

// The window in front on X11, read from the window manager's properties;
// null when Qt does not run on X11.
std::unique_ptr<ForegroundWindow> makeX11ForegroundWindow();
