#pragma once

#include <QString>
#include <functional>

// Whether the feed holds back while a window with this title is in front:
// the title (cut at 1023 characters or its first NUL), with its ASCII letters
// folded to lower case, contains "save".
bool titleHoldsFeed(const QString &title);

// The title as the hold names it where it does not fit whole: cut where it
// loses least, keeping the word that holds the feed. Its start up to a word
// end after "save" ("Save file…"), else the words around "save" between two
// ellipses; the first candidate that fits, else the shortest.
QString heldTitleShown(const QString &title, const std::function<bool(const QString &)> &fits);
