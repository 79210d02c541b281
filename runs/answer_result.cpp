#include "runs/answer_result.h"

#include <QStringList>

bool isPictureName(const QString &path)
{
    static const QStringList extensions{"jpg", "jpeg", "png", "gif", "webp", "avif", "bmp", "tif", "tiff"};
    const QString name = path.section(u'/', -1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && extensions.contains(name.mid(dot + 1).toLower());
}

bool isPageType(const QString &contentType)
{
    const QString type = contentType.trimmed().toLower();
    return type.startsWith(QLatin1String("text/html")) || type.startsWith(QLatin1String("application/xhtml+xml"));
}

AttemptResult answerResult(int status, const QString &contentType, const QString &path)
{
    const AttemptResult result = resultOfStatus(status);
    if (result == AttemptResult::Complete && isPageType(contentType) && isPictureName(path))
        return AttemptResult::Missing;
    return result;
}
