#include "series/run_list.h"

#include "runs/download_names.h"
#include "series/series_run.h"
#include "series/series_text.h"

#include <algorithm>

QString runListText(const QStringList &run)
{
    QString text;
    for (const QString &url : run)
        text += url + u'\n';
    return text;
}

QString suggestedRunListName(const QString &firstUrl, int count)
{
    QString path = firstUrl.section(u'#', 0, 0).section(u'?', 0, 0);
    QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot > 0)
        name.truncate(dot);
    // A leading dash would read as an option to a shell command; the rest
    // is the rule every saved file's name follows.
    while (name.startsWith(u'.') || name.startsWith(u'-'))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("run");
    return safeFileName(QStringLiteral("%1-%2.txt").arg(name).arg(count));
}

std::optional<int> runCount(const QString &text)
{
    bool digitsOnly = !text.isEmpty() && text.size() <= 3;
    for (const QChar c : text)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    const int count = digitsOnly ? text.toInt() : 0;
    if (count < 1 || count > kListMaximum)
        return std::nullopt;
    return count;
}

namespace {
// What makes a text no address the terminal takes: one line, or empty.
QString addressProblem(const QString &address)
{
    // A line break would print one address as two lines.
    for (const QChar c : address) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("the URL holds a control character (code %1)").arg(c.unicode());
    }
    if (pathStart(address) <= address.indexOf(u"://") + 3)
        return QStringLiteral("not an address: '%1' does not start with scheme://host").arg(address);
    return {};
}
} // namespace

bool isPageAddress(const QString &address)
{
    const QString withoutFragment = address.section(u'#', 0, 0);
    if (!withoutFragment.endsWith(u'/'))
        return false;
    const qsizetype start = pathStart(withoutFragment);
    const QString path = withoutFragment.mid(start);
    // The site's root has no counter at all, and says so.
    return start > 0 && path.size() > 1 && std::none_of(path.cbegin(), path.cend(), [](QChar c) { return c.isDigit(); });
}

QString pageAddressHint()
{
    return QStringLiteral("open the page in the browser and copy a picture's address");
}

QString walkListedRun(const QString &address, const std::optional<QString> &countText,
                      const std::function<bool(const QString &url, const QString &counter)> &take)
{
    if (const QString problem = addressProblem(address); !problem.isEmpty())
        return problem;
    const auto [url, choice] = unbracketCounter(address);
    if (!choice && isPageAddress(url))
        return QStringLiteral("'%1' is a page, not a series: it has no number to step; %2")
            .arg(address, pageAddressHint());
    const SeriesMode mode = detectedMode(url, choice);
    const int width = detectedWidth(url, mode, choice);
    int count = itemsMaximum(width);
    if (countText) {
        const std::optional<int> given = runCount(*countText);
        if (!given)
            return QStringLiteral("COUNT must be 1 to %1: '%2'").arg(kListMaximum).arg(*countText);
        count = *given;
    }
    if (walkSeriesRun(url, mode, width, count, choice, take) > 0)
        return {};
    if (mode == SeriesMode::Digits && isCounterTooLong(url, choice))
        return QStringLiteral("no series in '%1': its number has more than %2 digits").arg(address).arg(kLongestCounter);
    return QStringLiteral("no series in '%1': its counter is not a number").arg(address);
}

ListedRun listedRun(const QString &address, const std::optional<QString> &countText)
{
    ListedRun listed;
    listed.error = walkListedRun(address, countText, [&listed](const QString &url, const QString &counter) {
        listed.run.append(url);
        listed.counters.append(counter);
        return true;
    });
    return listed;
}
