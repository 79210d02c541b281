#include "output/download_names.h"

#include <QSet>

namespace {
const QString kFallbackName = QStringLiteral("download");

bool isUnsafeChar(QChar c)
{
    return c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7f
           || (c.unicode() >= 0x80 && c.unicode() < 0xa0);
}

int utf8Length(const QString &text)
{
    return int(text.toUtf8().size());
}

// The longest start of text that fits in maxBytes of UTF-8, never cutting a
// surrogate pair.
QString fitUtf8(const QString &text, int maxBytes)
{
    int bytes = 0;
    int end = 0;
    while (end < text.size()) {
        const int width = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        const int size = utf8Length(text.mid(end, width));
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += width;
    }
    return text.left(end);
}

// A name of at most kMaxDownloadNameBytes: the stem is cut, a short extension
// is kept.
QString shortened(const QString &name)
{
    if (utf8Length(name) <= kMaxDownloadNameBytes)
        return name;
    const int dot = int(name.lastIndexOf(u'.'));
    const QString extension = dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QString();
    const QString stem = name.left(name.size() - extension.size());
    return fitUtf8(stem, kMaxDownloadNameBytes - utf8Length(extension)) + extension;
}

QString withNumber(const QString &name, int number)
{
    const int dot = int(name.lastIndexOf(u'.'));
    const qsizetype split = dot > 0 ? dot : name.size();
    const QString suffix = QStringLiteral(" (%1)").arg(number);
    const QString extension = name.mid(split);
    const QString stem = fitUtf8(name.left(split), kMaxDownloadNameBytes - utf8Length(suffix + extension));
    return stem + suffix + extension;
}
} // namespace

QString safeFileName(const QString &name)
{
    QString safe = name;
    for (QChar &c : safe) {
        if (isUnsafeChar(c))
            c = u'_';
    }
    // A leading dot would hide the file, and "." and ".." name folders.
    if (safe.startsWith(u'.'))
        safe[0] = u'_';
    safe = shortened(safe);
    return safe.isEmpty() ? kFallbackName : safe;
}

QString downloadFileName(const QUrl &url)
{
    // The segment is cut from the encoded path, so an encoded "/" (%2F) stays
    // inside the name, where it is then made safe.
    const QString path = url.path(QUrl::FullyEncoded);
    const QString segment = path.mid(path.lastIndexOf(u'/') + 1);
    return safeFileName(QUrl::fromPercentEncoding(segment.toUtf8()));
}

QStringList downloadFileNames(const QList<QUrl> &urls)
{
    QStringList names;
    QSet<QString> taken;
    for (const QUrl &url : urls) {
        const QString base = downloadFileName(url);
        QString name = base;
        for (int number = 2; taken.contains(name); ++number)
            name = withNumber(base, number);
        taken.insert(name);
        names.append(name);
    }
    return names;
}
