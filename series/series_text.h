#pragma once

#include <QString>
#include <optional>

// Pure text rules of a URL series: where the counter sits, how wide it is,
// how it steps and how the status line abbreviates a URL.

// The URL that replaces one whose counter does not match the digits.
inline const QString kPlaceholderUrl = QStringLiteral("http://www.example.com/err12345.jpg");
// The URL a new window starts with.
inline const QString kExampleUrl = QStringLiteral("http://www.example.com/members/gallery/photos/98/pic001.jpg");

struct SeriesSplit
{
    QString prefix;
    QString counter;
    QString extension;
};

// Where the counter ends. An address whose last path segment ends in an
// extension (a "." and one to five letters or digits) has its counter just
// before that extension, which keeps any query or fragment after it; an
// address without one that ends in a digit has its counter at its very end.
// Any other text has it four characters before its end (an extension of a
// dot and three more): a short text gives a position before its start.
qsizetype counterEnd(const QString &url);

// The text that follows the counter: from the extension or the end, or for
// other text its real extension (fileExtension).
QString textAfterCounter(const QString &url);

// The counter is the w characters that end at counterEnd.
SeriesSplit splitSeries(const QString &url, int width);

// The text from the last "." to the end, when no "\" or ":" follows it.
QString fileExtension(const QString &url);

// c1 is the character just before counterEnd, c2 the one before it, ...
// Positions before the start of the text give a null character.
QChar counterChar(const QString &url, int k);

bool isDecimalDigit(QChar c);

// Whether more than one character comes before the counter's end: only then
// can the text hold a series.
bool hasSeriesRoom(const QString &url);

// A text with series room whose c1 is not a digit is an Alpha series.
bool isAlphaSeries(const QString &url);

// The length of the run of digits ending at c1, at least 1 and at most 6.
int countCounterDigits(const QString &url);

// ".." and the tail of the text from its last "/" after the first seven
// characters (the "http://"), or ".." alone when there is none.
QString shortForm(const QString &text);

// The short form of the URL's series item, or of the all-nines item; empty
// when the counter at this width is not a number.
std::optional<QString> rangeText(const QString &url, int width, bool allNines);

// The counter text after a Digits step of delta from value n at width w:
// never below 0, zero-padded, widened only at 10, 100 and 1000.
QString steppedCounter(qint32 value, int delta, int width);

// The character an Alpha position stands for: the low 8 bits of the position.
QChar letterForPosition(int position);

// Moves an Alpha position by delta (-1, 0 or +1), passing over the position
// whose low 8 bits are 0 in the direction of travel, since code 0 cannot stand
// in a URL. Stays within the up-down's wrapping range -32760..32760.
int stepLetterPosition(int position, int delta);

// A letter beyond the 8-bit codes steps by whole characters: delta (-1, 0
// or +1) from it, passing over the surrogate codes and ending at U+FFFD.
// Half of a surrogate pair (a character beyond U+FFFF) cannot step: nothing.
std::optional<QChar> steppedWideLetter(QChar letter, int delta);

// The items up-down's maximum and the longest text the items box keeps, for
// a digits value: 9 and 1, 99 and 2, otherwise 999 and 3.
int itemsMaximum(int digits);
int itemsTextLimit(int digits);
