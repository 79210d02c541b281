// Fuzzes the pure series engine and the settings record decoder with
// arbitrary text and bytes. Any crash, sanitizer report or broken invariant
// below is a fault.

#include "app/settings_record.h"
#include "common/integer_conversion.h"
#include "series/series_run.h"
#include "series/series_text.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {
void require(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int width = data[0] % 22 - 1; // -1..20: hand-set widths include nonsense
    const int delta = int(data[1] % 3) - 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const QString text = QString::fromUtf8(bytes);

    if (const auto value = tryStrToInt64(text)) {
        const auto counter = steppedCounter(*value, delta, std::max(width, 1));
        // Back may narrow by one where Next widened (10 gives 9).
        require(!counter || (counter->size() >= std::max(width, 1) - (delta < 0) && counter->size() <= kLongestCounter));
    }
    const SeriesSplit split = splitSeries(text, width);
    require(split.prefix.size() + split.counter.size() <= text.size());
    const int digits = countCounterDigits(text);
    require(digits >= 1 && digits <= kLongestCounter);
    for (const bool allNines : {false, true})
        (void)rangeText(text, width, allNines);
    (void)shortForm(text);
    (void)isAlphaSeries(text);
    const SeriesMode mode = detectedMode(text);
    const QStringList run = seriesRun(text, mode, width, data[1] % 4);
    // A run ends early only where its series does (a letter at z).
    require(run.size() <= data[1] % 4);

    // A step changes only the counter: whatever the rules or a choice pick,
    // the text before it and the text after it stay as they were.
    const CounterChoice choice = data[0] & 0x80 ? CounterChoice(data[1] % (text.size() + 2) - 1) : std::nullopt;
    const SeriesMode chosenMode = detectedMode(text, choice);
    const SeriesSplit around = splitSeries(text, chosenMode == SeriesMode::Alpha ? 1 : width, choice);
    require(around.prefix + around.counter + around.extension == text);
    // A percent-escape is one character of the address: never part of a
    // counter, so every step keeps it as it was.
    for (qsizetype i = around.prefix.size(); i < text.size() - around.extension.size(); ++i)
        require(!isInPercentEscape(text, i));
    const QStringList steps = seriesRun(text, chosenMode, width, 3, choice);
    for (const QString &stepped : steps)
        require(stepped.endsWith(around.extension) && stepped.size() > around.extension.size());
    require(steps.isEmpty() || steps.front().startsWith(around.prefix));
    // Next never goes back in the counter's numbering: no wrap past the nines.
    // The number is the whole run of digits the counter ends, which may
    // reach before a counter narrower than its run.
    const auto numberIn = [&](const QString &stepped) -> std::optional<qint64> {
        const qsizetype end = stepped.size() - around.extension.size();
        qsizetype start = end;
        while (start > 0 && isDecimalDigit(stepped[start - 1]) && !isInPercentEscape(stepped, start - 1))
            --start;
        // A step never makes a number longer than the longest counter.
        require(chosenMode == SeriesMode::Alpha || end - start <= kLongestCounter);
        if (start == end)
            return std::nullopt;
        return stepped.mid(start, end - start).toLongLong();
    };
    for (const QString &stepped : steps)
        (void)numberIn(stepped);
    for (qsizetype k = 1; chosenMode == SeriesMode::Digits && k < steps.size(); ++k) {
        const auto before = numberIn(steps[k - 1]);
        const auto after = numberIn(steps[k]);
        require(!before || !after || *after > *before);
    }
    require(itemsTextLimit(width) >= 1 && itemsMaximum(width) >= 9);

    const int position = std::int16_t(quint16(data[0]) << 8 | data[1]);
    const int stepped = stepLetterPosition(position, delta);
    require(stepped >= -32760 && stepped <= 32760);
    require(delta == 0 || letterForPosition(stepped) != QChar(u'\0'));
    if (const auto wide = steppedWideLetter(QChar(char16_t(position)), delta))
        require(!wide->isSurrogate() && wide->unicode() != 0);

    SettingsRecord record;
    record.load(bytes);
    const QRect bounds = record.restoredBounds(QSize(1920, 1080));
    require(bounds.width() >= 0 && bounds.width() <= 1920 && bounds.height() >= 0 && bounds.height() <= 1080);
    require(qint64(bounds.left()) + bounds.width() < (1 << 25));
    require(feedIntervalFromStored(record.feedInterval()) > 0);
    record.setBounds(bounds);
    require(record.toByteArray().size() == SettingsRecord::kSize);
    return 0;
}
