#include "series/series_text.h"

#include <algorithm>

#include "common/integer_conversion.h"

namespace {
constexpr int kDocMin = -32760;
constexpr int kDocMax = 32760;

int wrapDocPosition(int position)
{
    if (position > kDocMax)
        return kDocMin;
    if (position < kDocMin)
        return kDocMax;
    return position;
}
} // namespace

SeriesSplit splitSeries(const QString &url, int width, CounterChoice choice)
{
    const qsizetype end = counterEnd(url, choice);
    qsizetype start = std::clamp<qsizetype>(end - width, 0, end);
    // A width past an escape ends the counter after it: the counter is then
    // narrower than the width, and no number at that width.
    for (qsizetype i = end - 1; i >= start; --i) {
        if (isInPercentEscape(url, i)) {
            start = i + 1;
            break;
        }
    }
    return {url.left(start), url.mid(start, end - start), url.mid(end)};
}

std::optional<qint64> counterValue(const SeriesSplit &split, int width)
{
    if (split.counter.size() != width)
        return std::nullopt;
    return tryStrToInt64(split.counter);
}

QChar counterChar(const QString &url, int k, CounterChoice choice)
{
    const qsizetype index = counterEnd(url, choice) - k;
    return index >= 0 ? url[index] : QChar();
}

bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool hasSeriesRoom(const QString &url, CounterChoice choice)
{
    return counterEnd(url, choice) > 1;
}

bool isAlphaSeries(const QString &url, CounterChoice choice)
{
    const qsizetype end = counterEnd(url, choice);
    return end > 1 && !isDecimalDigit(url[end - 1]);
}

namespace {
// The length of the run of digits ending at c1, escapes left out, counted up
// to limit.
int digitRunLength(const QString &url, CounterChoice choice, int limit)
{
    const qsizetype end = counterEnd(url, choice);
    int n = 0;
    while (n < limit && end > n && isDecimalDigit(url[end - n - 1]) && !isInPercentEscape(url, end - n - 1))
        ++n;
    return n;
}
} // namespace

int countCounterDigits(const QString &url, CounterChoice choice)
{
    return std::max(1, digitRunLength(url, choice, kLongestCounter));
}

bool isCounterTooLong(const QString &url, CounterChoice choice)
{
    return digitRunLength(url, choice, kLongestCounter + 1) > kLongestCounter;
}

QString shortForm(const QString &text, qsizetype counterStart)
{
    const QString rest = text.mid(7);
    const qsizetype slash = counterStart > 7 ? rest.lastIndexOf(u'/', counterStart - 8) : rest.lastIndexOf(u'/');
    return slash < 0 ? QStringLiteral("..") : QStringLiteral("..") + rest.mid(slash);
}

std::optional<QString> rangeText(const QString &url, int width, bool allNines, CounterChoice choice)
{
    SeriesSplit split = splitSeries(url, width, choice);
    if (!counterValue(split, width))
        return std::nullopt;
    if (allNines)
        split.counter = QString(width, u'9');
    return shortForm(split.prefix + split.counter + split.extension, split.prefix.size());
}

std::optional<QString> steppedCounter(qint64 value, int delta, int width)
{
    // A counter set by hand may read as more than its digits ("$FFF...");
    // the largest counter that steps is all nines, and one past it no longer
    // fits: bounding it keeps the sum below within 64 bits.
    constexpr qint64 kLargest = [] {
        qint64 nines = 0;
        for (int i = 0; i < kLongestCounter; ++i)
            nines = nines * 10 + 9;
        return nines;
    }();
    if (value > kLargest)
        return std::nullopt;
    const qint64 n = std::max<qint64>(0, std::max(value, -kLargest) + delta);
    const QString digits = QString::number(n);
    // Back undoes Next: a counter that grew past its nines narrows again.
    if (delta < 0 && value >= 10 && width == QString::number(value).size() && QString::number(value - 1).size() < width)
        --width;
    width = std::max<int>(width, int(digits.size()));
    if (width > kLongestCounter)
        return std::nullopt;
    return QString(width - digits.size(), u'0') + digits;
}

std::optional<QString> steppedSeries(const SeriesSplit &split, qint64 value, int delta, int width)
{
    const auto counter = steppedCounter(value, delta, width);
    if (!counter)
        return std::nullopt;
    // Digits before the counter belong to its number.
    qsizetype lead = split.prefix.size();
    while (lead > 0 && isDecimalDigit(split.prefix[lead - 1]) && !isInPercentEscape(split.prefix, lead - 1))
        --lead;
    if (split.prefix.size() - lead + counter->size() > kLongestCounter)
        return std::nullopt;
    return split.prefix + *counter + split.extension;
}

bool isLetterSeriesEnd(QChar letter, int direction)
{
    return (direction > 0 && (letter == u'z' || letter == u'Z')) || (direction < 0 && (letter == u'a' || letter == u'A'));
}

QChar letterForPosition(int position)
{
    return QChar(char16_t(position & 0xFF));
}

int stepLetterPosition(int position, int delta)
{
    position = wrapDocPosition(position + delta);
    if (delta != 0 && (position & 0xFF) == 0)
        position = wrapDocPosition(position + delta);
    return position;
}

std::optional<QChar> steppedWideLetter(QChar letter, int delta)
{
    if (letter.isSurrogate())
        return std::nullopt;
    int code = letter.unicode() + delta;
    if (code >= 0xD800 && code <= 0xDFFF)
        code = delta > 0 ? 0xE000 : 0xD7FF;
    return QChar(char16_t(std::clamp(code, 1, 0xFFFD)));
}

int itemsMaximum(int digits)
{
    return digits == 1 ? 9 : digits == 2 ? 99 : 999;
}

int itemsTextLimit(int digits)
{
    return digits == 1 ? 1 : digits == 2 ? 2 : 3;
}
