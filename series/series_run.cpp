#include "series/series_run.h"

#include "series/series_text.h"

#include <optional>

namespace {
// The address a step of delta (0 or +1) gives.
std::optional<QString> steppedUrl(const QString &url, SeriesMode mode, int width, int delta, CounterChoice choice)
{
    // An Alpha counter is one letter, whatever the width says.
    const SeriesSplit split = splitSeries(url, mode == SeriesMode::Alpha ? 1 : width, choice);
    if (mode == SeriesMode::Digits) {
        const auto value = counterValue(split, width);
        if (!value || isCounterTooLong(url, choice))
            return std::nullopt;
        return steppedSeries(split, *value, delta, width);
    }
    if (split.counter.isEmpty())
        return std::nullopt;
    const QChar current = split.counter.front();
    if (isLetterSeriesEnd(current, delta))
        return std::nullopt;
    if (current.unicode() > 0xFF) {
        const auto letter = steppedWideLetter(current, delta);
        if (!letter)
            return std::nullopt;
        return split.prefix + *letter + split.extension;
    }
    int position = stepLetterPosition(current.unicode(), delta);
    if ((position & 0xFF) == 0)
        position = stepLetterPosition(position, +1);
    return split.prefix + letterForPosition(position) + split.extension;
}

// A step whose new character would make the held counter part of the host
// (a "/" stepped into a "://") cannot be made.
std::optional<QString> steppedAround(const QString &url, SeriesMode mode, int width, int delta, CounterChoice held)
{
    std::optional<QString> stepped = steppedUrl(url, mode, width, delta, held);
    if (stepped && counterEnd(*stepped, held) != stepped->size() - *held)
        return std::nullopt;
    return stepped;
}
} // namespace

SeriesMode detectedMode(const QString &url, CounterChoice choice)
{
    return isAlphaSeries(url, choice) ? SeriesMode::Alpha : SeriesMode::Digits;
}

int detectedWidth(const QString &url, SeriesMode mode, CounterChoice choice)
{
    return mode == SeriesMode::Alpha ? 1 : countCounterDigits(url, choice);
}

int walkSeriesRun(const QString &url, SeriesMode mode, int width, int count, CounterChoice choice,
                  const std::function<bool(const QString &address, const QString &counter)> &take)
{
    if (count < 1)
        return 0;
    // No step changes the text after the counter: holding its length holds
    // the counter where it is, as the window does.
    const CounterChoice held = url.size() - counterEnd(url, choice);
    // The window detects mode and width again whenever its address changes;
    // a short text in Alpha keeps its mode.
    auto redetect = [&](const QString &address) {
        if (hasSeriesRoom(address, held) || mode == SeriesMode::Digits) {
            mode = detectedMode(address, held);
            width = detectedWidth(address, mode, held);
        }
    };
    std::optional<QString> current = steppedAround(url, mode, width, 0, held);
    if (!current)
        return 0;
    if (*current != url)
        redetect(*current);
    for (int taken = 1;; ++taken) {
        if (!take(*current, splitSeries(*current, mode == SeriesMode::Alpha ? 1 : width, held).counter)
            || taken == count)
            return taken;
        // A series ends where its next step cannot be made: past z, or past
        // the longest number.
        std::optional<QString> next = steppedAround(*current, mode, width, +1, held);
        if (!next)
            return taken;
        if (*next != *current)
            redetect(*next);
        current = std::move(next);
    }
}

QStringList seriesRun(const QString &url, SeriesMode mode, int width, int count, CounterChoice choice,
                      QStringList *counters)
{
    QStringList run;
    QStringList counterOf;
    walkSeriesRun(url, mode, width, count, choice, [&](const QString &address, const QString &counter) {
        run.append(address);
        counterOf.append(counter);
        return true;
    });
    if (counters)
        *counters = counterOf;
    return run;
}
