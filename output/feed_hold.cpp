#include "output/feed_hold.h"

namespace {
constexpr qsizetype kTitleLimit = 1023;
const QChar kEllipsis(u'\u2026');

// The title as the hold reads it: cut at 1023 characters or its first NUL.
QString readTitle(const QString &title)
{
    QString read = title.left(kTitleLimit);
    if (const qsizetype nul = read.indexOf(QChar(u'\0')); nul >= 0)
        read.truncate(nul);
    return read;
}

// Where "save" starts in the title, its ASCII letters folded; -1 for nowhere.
qsizetype savePlace(const QString &title)
{
    QString folded = readTitle(title);
    // Only A-Z fold: a dotted capital I or a long s is not an "i" or an "s".
    for (QChar &c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded.indexOf(QLatin1String("save"));
}

bool isWordEnd(const QString &text, qsizetype at)
{
    return at >= text.size() || !text.at(at).isLetterOrNumber();
}

// The text without the blanks and dashes it ends in.
QString withoutTrail(QString text)
{
    while (!text.isEmpty() && (text.back().isSpace() || text.back().isPunct()))
        text.chop(1);
    return text;
}
} // namespace

bool titleHoldsFeed(const QString &title)
{
    return savePlace(title) >= 0;
}

QString heldTitleShown(const QString &title, const std::function<bool(const QString &)> &fits)
{
    if (fits(title))
        return title;
    const qsizetype save = std::max<qsizetype>(savePlace(title), 0);
    // The word that holds "save" ends here.
    qsizetype wordEnd = save + 4;
    while (!isWordEnd(title, wordEnd))
        ++wordEnd;
    // The start, to the end of a word, as far as it fits.
    QString best;
    for (qsizetype end = title.size() - 1; end >= wordEnd; --end) {
        if (!isWordEnd(title, end))
            continue;
        const QString start = withoutTrail(title.left(end));
        if (fits(start + kEllipsis))
            return start + kEllipsis;
    }
    // "save" stands too far in: the words around it, from the start of its
    // word on.
    qsizetype wordStart = save;
    while (wordStart > 0 && title.at(wordStart - 1).isLetterOrNumber())
        --wordStart;
    for (qsizetype end = title.size() - 1; end >= wordEnd; --end) {
        if (!isWordEnd(title, end))
            continue;
        const QString middle = kEllipsis + withoutTrail(title.mid(wordStart, end - wordStart)) + kEllipsis;
        if (fits(middle))
            return middle;
        best = middle;
    }
    return best.isEmpty() ? kEllipsis + title.mid(wordStart, wordEnd - wordStart) + kEllipsis : best;
}
