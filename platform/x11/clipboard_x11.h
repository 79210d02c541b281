#pragma once

#include "platform/clipboard.h"

#include <memory>

// The clipboard on X11. Writes, and reads while Serimo holds the clipboard,
// go through `local` (Qt's clipboard, which answers from this process). Another
// program's text is read over a connection of Serimo's own that gives up on a
// clipboard owner that does not answer within 100 ms, so a program that takes
// the clipboard and never serves it cannot freeze the window. Null when Qt
// does not run on X11.
std::unique_ptr<Clipboard> makeX11Clipboard(std::unique_ptr<Clipboard> local);
