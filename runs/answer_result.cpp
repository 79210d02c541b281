#include "runs/answer_result.h"

#include <QStringList>

namespace {
bool isImageExtension(const QString &path)
{
    static const QStringList extensions{"jpg", "jpeg", "png", "gif", "webp", "avif", "bmp", "tif", "tiff"};
    const QString name = path.section(u'/', -1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && extensions.contains(name.mid(dot + 1).toLower());
}
} // namespace

AttemptResult answerResult(int status, const QString &contentType, const QString &path)
{
    const AttemptResult result = resultOfStatus(status);
    if (result == AttemptResult::Complete && contentType.trimmed().toLower().startsWith(QLatin1String("text/html"))
        && isImageExtension(path))
        return AttemptResult::Missing;
    return result;
}
