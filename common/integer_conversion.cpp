#include "common/integer_conversion.h"

#include "common/serimo_error.h"

std::optional<qint32> tryStrToInt(const QString &text)
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

    // Accumulate the magnitude in 64 bits and stop as soon as it cannot fit.
    const qint64 limit = negative ? qint64(1) << 31 : (qint64(1) << 31) - 1;
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
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<qint32>(negative ? -value : value);
}

qint32 strToInt(const QString &text)
{
    if (const auto value = tryStrToInt(text))
        return *value;
    throw SerimoError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}
