#include "series/counter_place.h"

#include <algorithm>

namespace {
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isExtensionChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || isDigit(c);
}

bool isHexDigit(QChar c)
{
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A digit that may belong to a counter: not one of an escape's.
bool isCounterDigit(const QString &url, qsizetype i)
{
    return isDigit(url[i]) && !isInPercentEscape(url, i);
}

bool isSchemeChar(QChar c)
{
    return isExtensionChar(c) || c == u'+' || c == u'-' || c == u'.';
}

// The first of the characters in `marks` at or after `from`, or the end.
qsizetype firstOf(const QString &url, qsizetype from, QStringView marks)
{
    for (qsizetype i = from; i < url.size(); ++i) {
        if (marks.contains(url[i]))
            return i;
    }
    return url.size();
}

// The index of the "." of an extension of one to five letters or digits that
// ends [from, end), or -1.
qsizetype extensionDot(const QString &url, qsizetype from, qsizetype end)
{
    constexpr qsizetype kLongest = 5;
    qsizetype i = end - 1;
    while (i >= from && end - i <= kLongest && isExtensionChar(url[i]))
        --i;
    return i >= from && i < end - 1 && url[i] == u'.' ? i : -1;
}

// Where "-<digits>x<digits>" starts when it ends the name [from, end) after
// some other text; else end.
qsizetype sizeStart(const QString &url, qsizetype from, qsizetype end)
{
    qsizetype i = end - 1;
    const qsizetype heightEnd = i;
    while (i > from && isDigit(url[i]))
        --i;
    if (i == heightEnd || url[i] != u'x')
        return end;
    const qsizetype widthEnd = --i;
    while (i > from && isDigit(url[i]))
        --i;
    return i < widthEnd && i > from && url[i] == u'-' ? i : end;
}

// The end of the last run of digits in [from, end), escapes left out, or -1.
qsizetype lastDigitRunEnd(const QString &url, qsizetype from, qsizetype end)
{
    for (qsizetype i = end - 1; i >= from; --i) {
        if (isCounterDigit(url, i))
            return i + 1;
    }
    return -1;
}

// The end of the last character in [from, end) that is no part of an escape,
// or -1.
qsizetype lastPlainEnd(const QString &url, qsizetype from, qsizetype end)
{
    for (qsizetype i = end - 1; i >= from; --i) {
        if (!isInPercentEscape(url, i))
            return i + 1;
    }
    return -1;
}

// The first index that can hold the counter: past the "/", "?" or "#" that
// ends the host, which a step must not turn into part of it.
qsizetype firstCounterIndex(qsizetype host)
{
    return host > 0 ? host + 1 : 0;
}

qsizetype ruledCounterEnd(const QString &url)
{
    const qsizetype host = pathStart(url);
    const qsizetype pathEnd = firstOf(url, host, u"?#");
    const qsizetype queryEnd = pathEnd < url.size() && url[pathEnd] == u'?' ? firstOf(url, pathEnd, u"#") : pathEnd;
    // From -1, lastIndexOf would search from the end.
    const qsizetype nameStart = pathEnd > 0 ? std::max(host, url.lastIndexOf(u'/', pathEnd - 1) + 1) : 0;
    if (const qsizetype dot = extensionDot(url, nameStart, pathEnd); dot >= 0) {
        const qsizetype nameEnd = sizeStart(url, nameStart, dot);
        if (nameEnd <= firstCounterIndex(host))
            return 0;
        const qsizetype c1 = nameEnd - 1;
        if (isCounterDigit(url, c1)
            || (url[c1].isLetter() && !isInPercentEscape(url, c1) && c1 > nameStart && isCounterDigit(url, c1 - 1)))
            return nameEnd;
        if (const qsizetype run = lastDigitRunEnd(url, nameStart, nameEnd); run >= 0)
            return run;
        // A name without a number: the query's number is the series
        // ("index.php?id=0042"), before a letter of the name is; a letter
        // before the extension is, before a number of the path
        // ("/98/picb.jpg" steps the b).
        if (const qsizetype run = lastDigitRunEnd(url, pathEnd, queryEnd); run >= 0)
            return run;
        const qsizetype plain = lastPlainEnd(url, nameStart, nameEnd);
        if (plain > 0 && url[plain - 1].isLetter())
            return plain;
        if (const qsizetype run = lastDigitRunEnd(url, firstCounterIndex(host), nameStart); run >= 0)
            return run;
        return std::max<qsizetype>(0, plain);
    }
    if (url.size() > host && isCounterDigit(url, url.size() - 1))
        return url.size();
    if (const qsizetype run = lastDigitRunEnd(url, host, queryEnd); run >= 0)
        return run;
    for (qsizetype i = pathEnd - 1; i >= host; --i) {
        if (url[i].isLetter() && !isInPercentEscape(url, i))
            return i + 1;
    }
    return 0;
}
} // namespace

bool isInPercentEscape(const QString &url, qsizetype i)
{
    // An escape holds no "%" after its first character, so the one that
    // covers i, if any, starts at one of the three places before it.
    for (qsizetype start = std::max<qsizetype>(0, i - 2); start <= i; ++start) {
        if (url[start] == u'%' && start + 2 < url.size() && isHexDigit(url[start + 1]) && isHexDigit(url[start + 2]))
            return true;
    }
    return false;
}

qsizetype pathStart(const QString &url)
{
    const qsizetype mark = url.indexOf(u"://");
    if (mark <= 0 || !isExtensionChar(url[0]) || isDigit(url[0]))
        return 0;
    for (qsizetype i = 1; i < mark; ++i) {
        if (!isSchemeChar(url[i]))
            return 0;
    }
    return firstOf(url, mark + 3, u"/?#");
}

qsizetype counterEnd(const QString &url, CounterChoice choice)
{
    if (choice && *choice >= 0 && url.size() - *choice > firstCounterIndex(pathStart(url))
        && !isInPercentEscape(url, url.size() - *choice - 1))
        return url.size() - *choice;
    return ruledCounterEnd(url);
}

std::optional<qsizetype> selectedCounterTail(const QString &url, qsizetype start, qsizetype length)
{
    if (start < firstCounterIndex(pathStart(url)) || length < 1 || start + length > url.size())
        return std::nullopt;
    if (length == 1 && url[start].isLetter() && !isInPercentEscape(url, start))
        return url.size() - start - 1;
    for (qsizetype i = start; i < start + length; ++i) {
        if (!isCounterDigit(url, i))
            return std::nullopt;
    }
    qsizetype end = start + length;
    while (end < url.size() && isCounterDigit(url, end))
        ++end;
    return url.size() - end;
}

bool selectionInHost(const QString &url, qsizetype start, qsizetype length)
{
    const qsizetype host = pathStart(url);
    const qsizetype hostStart = url.indexOf(u"://") + 3;
    return host > 0 && length > 0 && start >= hostStart && start + length <= host;
}

BracketedAddress unbracketCounter(const QString &text)
{
    for (qsizetype open = text.indexOf(u'[', pathStart(text)); open >= 0; open = text.indexOf(u'[', open + 1)) {
        const qsizetype close = text.indexOf(u']', open + 1);
        if (close < 0)
            break;
        const QStringView inside = QStringView(text).mid(open + 1, close - open - 1);
        const bool letter = inside.size() == 1 && inside.front().isLetter();
        const bool digits = !inside.isEmpty() && std::all_of(inside.begin(), inside.end(), isDigit);
        if (letter || digits)
            return {text.left(open) + inside.toString() + text.mid(close + 1), text.size() - close - 1};
    }
    return {text, std::nullopt};
}
