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

SeriesSplit splitSeries(const QString &url, int width)
{
    const qsizetype length = url.size();
    SeriesSplit split;
    const qsizetype prefixLength = length - (width + 4);
    if (prefixLength > 0)
        split.prefix = url.left(prefixLength);
    // 1-based start L - (w + 3), clamped to 1; 0-based that is L - w - 4.
    const qsizetype start = std::max<qsizetype>(0, length - width - 4);
    if (width > 0 && start < length)
        split.counter = url.mid(start, width);
    split.extension = fileExtension(url);
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
    const qsizetype index = url.size() - 4 - k;
    return index >= 0 ? url[index] : QChar();
}

bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isAlphaSeries(const QString &url)
{
    return url.size() > 5 && !isDecimalDigit(counterChar(url, 1));
}

int countCounterDigits(const QString &url)
{
    int n = 1;
    // c(k) exists exactly when L > k + 3; the run may not pass c6.
    while (n < 6 && url.size() > n + 4 && isDecimalDigit(counterChar(url, n + 1)))
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
