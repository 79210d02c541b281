#include "common/integer_conversion.h"

#include "common/serimo_error.h"

#include <limits>

namespace {
// The conversion's grammar, for a magnitude of at most positiveLimit (one
// more for a negative number when negativeExtra).
std::optional<qint64> convert(const QString &text, qint64 positiveLimit, bool negativeExtra)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;

    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    }
    if (i == n)
        return std::nullopt;

    // Stop as soon as the magnitude cannot fit: checked before each digit,
    // so that the 64-bit sum never overflows.
    const qint64 limit = positiveLimit + (negative && negativeExtra ? 1 : 0);
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        if (value > (limit - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    return negative ? -value : value;
}
} // namespace

std::optional<qint32> tryStrToInt(const QString &text)
{
    if (const auto value = convert(text, (qint64(1) << 31) - 1, true))
        return static_cast<qint32>(*value);
    return std::nullopt;
}

std::optional<qint64> tryStrToInt64(const QString &text)
{
    return convert(text, std::numeric_limits<qint64>::max(), false);
}

qint32 strToInt(const QString &text)
{
    if (const auto value = tryStrToInt(text))
        return *value;
    throw SerimoError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}
