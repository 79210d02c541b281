#pragma once

#include <QString>

// Whether the feed holds back while a window with this title is in front:
// the title (cut at 1023 characters or its first NUL), with its ASCII letters
// folded to lower case, contains "save".
bool titleHoldsFeed(const QString &title);
