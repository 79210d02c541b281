#pragma once

#include <QString>

// What the terminal's runs (--download, --find-end) write on standard error.

// One line, "serimo: <text>".
void complain(const QString &text);

// Whether a progress line can be redrawn in place.
bool stderrIsTerminal();

// Draws line over the progress line shown before; clearProgressLine() takes
// it away again.
void drawProgressLine(const QString &line);
void clearProgressLine();
