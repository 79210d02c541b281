#pragma once

#include <QString>

// Where Serimo keeps its own files, the same from the build tree as from an
// installed prefix (bin/serimo beside share/serimo/).

// A file shipped with the program (the help file): next to the executable,
// else in the prefix's share/serimo. The first of the two when neither exists.
QString shippedFile(const QString &name);

// The directory the program writes its own pages to: next to the executable
// where it may write there, else the user's data directory for Serimo
// (created when missing).
QString pageDirectory();
