#pragma once

#include "series/counter_place.h"

#include <QString>
#include <QStringList>
#include <functional>

// A run of a series without the window: the addresses Images, Download and
// the run commands cover.

enum class SeriesMode { Digits, Alpha };

// The address url, as the window shows it at the start of a run, and the
// count - 1 addresses after it, each stepped as Next steps it: a Digits
// counter grows past its nines, an Alpha letter passes over code 0,
// and after each step mode and width are detected again from the new
// address, as the window does. The counter stays where it was at the start,
// so the text after it is the same in every address. Empty when the counter
// at this width is not a number (Digits) or cannot be stepped (no counter, a
// number longer than kLongestCounter, or half of a character pair); shorter
// than count when the series ends before (a letter at z, the longest number).
// Where counters is given, it gets the counter of each address, as the step
// left it.
QStringList seriesRun(const QString &url, SeriesMode mode, int width, int count, CounterChoice choice = {},
                      QStringList *counters = nullptr);

// The same run, each address handed to take as soon as it is made, so that
// a long run never needs the memory of all its addresses at once. Stops
// early when take returns false. take gets each address with its counter, as
// the step left it. Returns how many addresses take was given.
int walkSeriesRun(const QString &url, SeriesMode mode, int width, int count, CounterChoice choice,
                  const std::function<bool(const QString &address, const QString &counter)> &take);

// The mode and width the window detects for an address.
SeriesMode detectedMode(const QString &url, CounterChoice choice = {});
int detectedWidth(const QString &url, SeriesMode mode, CounterChoice choice = {});
