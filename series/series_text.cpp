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

bool isExtensionChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// Where the path ends: at the query or the fragment, if any.
qsizetype pathEnd(const QString &url)
{
    for (qsizetype i = 0; i < url.size(); ++i) {
        if (url[i] == u'?' || url[i] == u'#')
            return i;
    }
    return url.size();
}

// The index of the "." of an extension of one to five letters or digits that
// ends the path, or -1.
qsizetype extensionDot(const QString &url, qsizetype end)
{
    constexpr qsizetype kLongest = 5;
    qsizetype i = end - 1;
    while (i >= 0 && end - i <= kLongest && isExtensionChar(url[i]))
        --i;
    return i >= 0 && i < end - 1 && url[i] == u'.' ? i : -1;
}

bool endsInDigit(const QString &url)
{
    return !url.isEmpty() && isDecimalDigit(url.back());
}
} // namespace

qsizetype counterEnd(const QString &url)
{
    if (const qsizetype dot = extensionDot(url, pathEnd(url)); dot >= 0)
        return dot;
    if (endsInDigit(url))
        return url.size();
    return url.size() - 4;
}

QString textAfterCounter(const QString &url)
{
    if (const qsizetype dot = extensionDot(url, pathEnd(url)); dot >= 0)
        return url.mid(dot);
    if (endsInDigit(url))
        return {};
    return fileExtension(url);
}

SeriesSplit splitSeries(const QString &url, int width)
{
    const qsizetype end = counterEnd(url);
    SeriesSplit split;
    const qsizetype prefixLength = end - width;
    if (prefixLength > 0)
        split.prefix = url.left(prefixLength);
    // A counter that would start before the text starts at its first character.
    const qsizetype start = std::max<qsizetype>(0, end - width);
    if (width > 0 && start < url.size())
        split.counter = url.mid(start, width);
    split.extension = textAfterCounter(url);
    return split;
}

QString fileExtension(const QString &url)
{
    for (qsizetype i = url.size() - 1; i >= 0; --i) {
        const QChar c = url[i];
        if (c == u'.')
            return url.mid(i);
        if (c == u'\\' || c == u':')
            return {};
    }
    return {};
}

QChar counterChar(const QString &url, int k)
{
    const qsizetype index = counterEnd(url) - k;
    return index >= 0 ? url[index] : QChar();
}

bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool hasSeriesRoom(const QString &url)
{
    return counterEnd(url) > 1;
}

bool isAlphaSeries(const QString &url)
{
    return hasSeriesRoom(url) && !isDecimalDigit(counterChar(url, 1));
}

int countCounterDigits(const QString &url)
{
    const qsizetype end = counterEnd(url);
    int n = 1;
    // The run may not pass c6, nor the text's first character.
    while (n < 6 && end > n && isDecimalDigit(counterChar(url, n + 1)))
        ++n;
    return n;
}

QString shortForm(const QString &text)
{
    const QString rest = text.mid(7);
    const qsizetype slash = rest.lastIndexOf(u'/');
    return slash < 0 ? QStringLiteral("..") : QStringLiteral("..") + rest.mid(slash);
}

std::optional<QString> rangeText(const QString &url, int width, bool allNines)
{
    SeriesSplit split = splitSeries(url, width);
    if (!tryStrToInt(split.counter))
        return std::nullopt;
    if (allNines)
        split.counter = QStringLiteral("999999999").right(width);
    return shortForm(split.prefix + split.counter + split.extension);
}

QString steppedCounter(qint32 value, int delta, int width)
{
    const qint64 n = std::max<qint64>(0, qint64(value) + delta);
    if (n == 10 && width == 1)
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
