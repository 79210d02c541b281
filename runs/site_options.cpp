#include "runs/site_options.h"

#include <QRegularExpression>

std::optional<int> waitMilliseconds(const QString &seconds)
{
    // Digits only: no sign, no exponent, no spaces, no locale's comma.
    static const QRegularExpression number(QStringLiteral(R"(^(\d{1,4})(?:\.(\d{1,3}))?$)"));
    const QRegularExpressionMatch match = number.match(seconds);
    if (!match.hasMatch())
        return std::nullopt;
    const int whole = match.captured(1).toInt();
    const int fraction = match.captured(2).leftJustified(3, u'0').toInt();
    if (whole > kWaitMaximumSeconds || (whole == kWaitMaximumSeconds && fraction > 0))
        return std::nullopt;
    return whole * 1000 + fraction;
}
