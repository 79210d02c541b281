#include "output/feed_hold.h"

bool titleHoldsFeed(const QString &title)
{
    constexpr qsizetype kTitleLimit = 1023;
    QString folded = title.left(kTitleLimit);
    if (const qsizetype nul = folded.indexOf(QChar(u'\0')); nul >= 0)
        folded.truncate(nul);
    // Only A-Z fold: a dotted capital I or a long s is not an "i" or an "s".
    for (QChar &c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded.contains(QLatin1String("save"));
}
