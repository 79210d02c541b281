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
    const qsizetype start = std::clamp<qsizetype>(end - width, 0, end);
    return {url.left(start), url.mid(start, end - start), url.mid(end)};
}

std::optional<qint32> counterValue(const SeriesSplit &split, int width)
{
    if (split.counter.size() != width)
        return std::nullopt;
    return tryStrToInt(split.counter);
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

int countCounterDigits(const QString &url, CounterChoice choice)
{
    const qsizetype end = counterEnd(url, choice);
    int n = 1;
    // The run may not pass c6, nor the text's first character.
    while (n < 6 && end > n && isDecimalDigit(url[end - n - 1]))
        ++n;
    return n;
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
        split.counter = QStringLiteral("999999999").right(width);
    return shortForm(split.prefix + split.counter + split.extension, split.prefix.size());
}

QString steppedCounter(qint32 value, int delta, int width)
{
    const qint64 n = std::max<qint64>(0, qint64(value) + delta);
    // Back undoes Next: a counter without a leading zero narrows again.
    if (delta < 0 && ((value == 10 && width == 2) || (value == 100 && width == 3) || (value == 1000 && width == 4)))
        --width;
    else if (n == 10 && width == 1)
        width = 2;
    else if (n == 100 && width == 2)
        width = 3;
    else if (n == 1000 && width == 3)
        width = 4;
    return (QStringLiteral("00000000") + QString::number(n)).right(width);
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
