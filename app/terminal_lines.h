#pragma once

#include <QString>

struct SiteOptions;

// What the terminal's runs (--download, --find-end) write on standard error.

// One line, "serimo: <text>".
void complain(const QString &text);

// Whether a progress line can be redrawn in place.
bool stderrIsTerminal();

// Draws line over the progress line shown before; clearProgressLine() takes
// it away again.
void drawProgressLine(const QString &line);
void clearProgressLine();

// Says that certificates are not checked, where the run asked so; reads the
// run's cookies file once (runs/cookie_file.h), saying what it left out.
// False after saying why the file cannot be read.
bool announceSiteOptions(SiteOptions &site);
