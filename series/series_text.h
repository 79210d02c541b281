#pragma once

#include "series/counter_place.h"

#include <QString>
#include <optional>

// Pure text rules of a URL series: where the counter sits, how wide it is,
// how it steps and how the status line abbreviates a URL.

// The URL a window starts with when the stored one is empty.
inline const QString kPlaceholderUrl = QStringLiteral("http://www.example.com/err12345.jpg");
// The URL a new window starts with.
inline const QString kExampleUrl = QStringLiteral("http://www.example.com/members/gallery/photos/98/pic001.jpg");

// The text before the counter, the counter, and everything after it.
struct SeriesSplit
{
    QString prefix;
    QString counter;
    QString extension;
};

// The counter is the w characters that end at counterEnd, or fewer where the
// text before it is shorter; the text after it is everything that follows.
SeriesSplit splitSeries(const QString &url, int width, CounterChoice choice = {});

// The counter's value in Digits mode: a counter of the full width that
// converts.
std::optional<qint64> counterValue(const SeriesSplit &split, int width);

// c1 is the character just before counterEnd, c2 the one before it, ...
// Positions before the start of the text give a null character.
QChar counterChar(const QString &url, int k, CounterChoice choice = {});

bool isDecimalDigit(QChar c);

// Whether more than one character comes before the counter's end: only then
// can the text hold a series.
bool hasSeriesRoom(const QString &url, CounterChoice choice = {});

// A text with series room whose c1 is not a digit is an Alpha series.
bool isAlphaSeries(const QString &url, CounterChoice choice = {});

// The longest counter: the Digits spinner's range. Every number of this many
// digits, and one step past it, fits a 64-bit counter.
constexpr int kLongestCounter = 18;

// The length of the run of digits ending at c1, at least 1 and at most
// kLongestCounter.
int countCounterDigits(const QString &url, CounterChoice choice = {});

// Whether the run of digits ending at c1 is longer than kLongestCounter: such
// a number is never stepped in part.
bool isCounterTooLong(const QString &url, CounterChoice choice = {});

// ".." and the tail of the text from its last "/" after the first seven
// characters (the "http://"), or ".." alone when there is none. Given where
// the counter starts, the last "/" before it, so that the counter shows.
QString shortForm(const QString &text, qsizetype counterStart = -1);

// The short form of the URL's series item, or of the all-nines item; empty
// when the counter at this width is not a number.
std::optional<QString> rangeText(const QString &url, int width, bool allNines, CounterChoice choice = {});

// The counter text after a Digits step of delta from value n at width w:
// never below 0, zero-padded to w, widened when the number outgrows w
// (9999 gives 10000, 0999 gives 1000), and narrowed by a step back from
// there (10 gives 9, 10000 gives 9999, while 010 gives 009). Nothing when the
// counter would be longer than kLongestCounter, or the value is.
std::optional<QString> steppedCounter(qint64 value, int delta, int width);

// The counter step in an address: the text before the counter, the stepped
// counter and the text after it. Nothing where steppedCounter gives nothing,
// or where the counter, stepped at a width set by hand below its number's,
// carries into a number longer than kLongestCounter (a ...999 counter of
// three at the end of eighteen digits): a long number never wraps.
std::optional<QString> steppedSeries(const SeriesSplit &split, qint64 value, int delta, int width);

// Whether a letter is the end of its alphabet in the direction of travel
// (+1: z and Z, -1: a and A), where a series of letters stops.
bool isLetterSeriesEnd(QChar letter, int direction);

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
