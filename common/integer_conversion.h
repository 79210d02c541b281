#pragma once

#include <QString>
#include <optional>

// The one integer conversion used for every number the user can type:
// leading blanks, an optional sign, then decimal digits or "$" and hex digits,
// nothing after them, and a value that fits in 32 signed bits.
std::optional<qint32> tryStrToInt(const QString &text);

// As above, but a text that does not convert raises
// "'<text>' is not a valid integer value".
qint32 strToInt(const QString &text);

// The same grammar for a number the size of a 64-bit counter: a magnitude of
// at most 2^63 - 1, either sign.
std::optional<qint64> tryStrToInt64(const QString &text);
