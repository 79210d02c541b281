#include "series/series_run.h"

#include "common/integer_conversion.h"
#include "series/series_text.h"

#include <optional>

namespace {
// The address a step of delta (0 or +1) gives.
std::optional<QString> steppedUrl(const QString &url, SeriesMode mode, int width, int delta)
{
    const SeriesSplit split = splitSeries(url, width);
    if (mode == SeriesMode::Digits) {
        const auto value = tryStrToInt(split.counter);
        if (!value)
            return std::nullopt;
        return split.prefix + steppedCounter(*value, delta, width) + split.extension;
    }
    const QChar current = split.counter.isEmpty() ? QChar() : split.counter.front();
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
} // namespace

SeriesMode detectedMode(const QString &url)
{
    return isAlphaSeries(url) ? SeriesMode::Alpha : SeriesMode::Digits;
}

int detectedWidth(const QString &url, SeriesMode mode)
{
    return mode == SeriesMode::Alpha ? 1 : countCounterDigits(url);
}

QStringList seriesRun(const QString &url, SeriesMode mode, int width, int count)
{
    if (count < 1)
        return {};
    // The window detects mode and width again whenever its address changes;
    // a short text in Alpha keeps its mode.
    auto redetect = [&](const QString &address) {
        if (hasSeriesRoom(address) || mode == SeriesMode::Digits) {
            mode = detectedMode(address);
            width = detectedWidth(address, mode);
        }
    };
    std::optional<QString> current = steppedUrl(url, mode, width, 0);
    if (!current)
        return {};
    if (*current != url)
        redetect(*current);
    QStringList run{*current};
    while (run.size() < count) {
        current = steppedUrl(run.back(), mode, width, +1);
        if (!current)
            return {};
        if (*current != run.back())
            redetect(*current);
        run.append(*current);
    }
    return run;
}
