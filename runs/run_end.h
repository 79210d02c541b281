#pragma once

#include <QList>
#include <optional>

// The one rule of where a series ends, for the search of its end and for a
// run alike: the last present address before this many missing in a row.
inline constexpr int kSeriesEndMisses = 10;

// Where a series ends: the first stretch of `stretch` missing files in a row.
// missing[i] is true for a file known to be missing; the answer is the index
// of the stretch's last file, and the files after it are past the end.
std::optional<qsizetype> seriesEndIndex(const QList<bool> &missing, int stretch);
