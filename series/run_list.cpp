#include "series/run_list.h"

#include "series/series_run.h"
#include "series/series_text.h"

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
    // A name that a file chooser or a shell would take apart (a separator, a
    // control character, a leading dot or dash) is kept readable but harmless.
    for (QChar &c : name) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control || c == u':' || c == u'*'
            || c == u'?' || c == u'"' || c == u'<' || c == u'>' || c == u'|')
            c = u'_';
    }
    while (name.startsWith(u'.') || name.startsWith(u'-'))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("run");
    return QStringLiteral("%1-%2.txt").arg(name).arg(count);
}

ListedRun listedRun(const QString &address, const std::optional<QString> &countText)
{
    const auto [url, choice] = unbracketCounter(address);
    const SeriesMode mode = detectedMode(url, choice);
    const int width = detectedWidth(url, mode, choice);
    int count = itemsMaximum(width);
    if (countText) {
        bool digitsOnly = !countText->isEmpty() && countText->size() <= 3;
        for (const QChar c : *countText)
            digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
        count = digitsOnly ? countText->toInt() : 0;
        if (count < 1 || count > kListMaximum)
            return {{}, QStringLiteral("COUNT must be a whole number from 1 to %1, not \"%2\".")
                            .arg(kListMaximum)
                            .arg(*countText)};
    }
    QStringList run = seriesRun(url, mode, width, count, choice);
    if (run.isEmpty())
        return {{}, QStringLiteral("No series in \"%1\": its counter is not a number.").arg(address)};
    return {run, {}};
}
