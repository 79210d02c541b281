#include "runs/download_names.h"

#include <QHash>
#include <QSet>

namespace {
const QString kFallbackName = QStringLiteral("download");
// What stands for the cut-out middle of a name too long to keep whole.
const QString kCut = QStringLiteral("…");

// A character no folder should get in a name: separators, the characters
// that FAT, exFAT and NTFS refuse, and control characters.
bool isUnsafeChar(QChar c)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    return refused.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f
           || (c.unicode() >= 0x80 && c.unicode() < 0xa0);
}

int utf8Length(const QString &text)
{
    return int(text.toUtf8().size());
}

int charWidth(const QString &text, int at)
{
    return text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
}

// The longest start of text that fits in maxBytes of UTF-8, never cutting a
// surrogate pair.
QString fitUtf8(const QString &text, int maxBytes)
{
    int bytes = 0;
    int end = 0;
    while (end < text.size()) {
        const int width = charWidth(text, end);
        const int size = utf8Length(text.mid(end, width));
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += width;
    }
    return text.left(end);
}

// The longest end of text that fits in maxBytes of UTF-8.
QString fitUtf8FromEnd(const QString &text, int maxBytes)
{
    int bytes = 0;
    int start = int(text.size());
    while (start > 0) {
        const int width = start >= 2 && text.at(start - 1).isLowSurrogate() && text.at(start - 2).isHighSurrogate() ? 2 : 1;
        const int size = utf8Length(text.mid(start - width, width));
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        start -= width;
    }
    return text.mid(start);
}

// Where the last run of digits in text starts, or -1.
int lastNumberAt(const QString &text)
{
    int end = int(text.size());
    while (end > 0 && !text.at(end - 1).isDigit())
        --end;
    if (end == 0)
        return -1;
    int start = end;
    while (start > 0 && text.at(start - 1).isDigit())
        --start;
    return start;
}

// The extension of name ("." and up to 15 more characters after a stem), or
// an empty string.
QString extensionOf(const QString &name)
{
    const int dot = int(name.lastIndexOf(u'.'));
    return dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QString();
}

// stem fitted into maxBytes by cutting out its middle: its start, its end
// and, where the start would not hold it, its last number (the counter that
// tells the files of a run apart) are kept.
QString cutMiddle(const QString &stem, int maxBytes)
{
    if (utf8Length(stem) <= maxBytes)
        return stem;
    const int room = maxBytes - utf8Length(kCut);
    QString tail = fitUtf8FromEnd(stem, room / 2);
    const int number = lastNumberAt(stem);
    if (number >= 0 && number < stem.size() - tail.size() && utf8Length(stem.mid(number)) <= room - room / 4)
        tail = stem.mid(number);
    return fitUtf8(stem, room - utf8Length(tail)) + kCut + tail;
}

// A name of at most maxBytes: the middle of its stem is cut, a short
// extension is kept.
QString shortened(const QString &name, int maxBytes = kMaxDownloadNameBytes)
{
    if (utf8Length(name) <= maxBytes)
        return name;
    const QString extension = extensionOf(name);
    const QString stem = name.left(name.size() - extension.size());
    return cutMiddle(stem, maxBytes - utf8Length(extension)) + extension;
}

QString withNumber(const QString &name, int number)
{
    const QString extension = extensionOf(name);
    const QString suffix = QStringLiteral(" (%1)").arg(number);
    const QString stem = name.left(name.size() - extension.size());
    return cutMiddle(stem, kMaxDownloadNameBytes - utf8Length(suffix + extension)) + suffix + extension;
}

// The last path segment, percent-decoded. It is cut from the encoded path,
// so an encoded "/" (%2F) stays inside the name, where it is then made safe.
QString lastSegment(const QUrl &url)
{
    const QString path = url.path(QUrl::FullyEncoded);
    return QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(u'/') + 1).toUtf8());
}

// The name from the whole path and query: "/list?page=7" gives
// "list_page=7", "/page/7/index.jpg" "page_7_index.jpg", and the path's
// extension stays last ("/img.jpg?id=7" gives "img_id=7.jpg").
QString wholeAddressName(const QUrl &url)
{
    QString path = QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    const QString extension = extensionOf(lastSegment(url));
    if (!url.hasQuery())
        return path;
    const QString stem = path.left(path.size() - extension.size());
    return stem + u'_' + url.query(QUrl::FullyDecoded) + extension;
}

QStringList distinct(const QStringList &bases)
{
    QStringList names;
    // Compared without case: a USB stick's file system tells "A.jpg" and
    // "a.jpg" not apart.
    QSet<QString> taken;
    for (const QString &base : bases) {
        QString name = base;
        for (int number = 2; taken.contains(name.toCaseFolded()); ++number)
            name = withNumber(base, number);
        taken.insert(name.toCaseFolded());
        names.append(name);
    }
    return names;
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
    return safeFileName(lastSegment(url));
}

QStringList downloadFileNames(const QList<QUrl> &urls)
{
    QStringList segments;
    QSet<QString> seen;
    for (const QUrl &url : urls) {
        segments.append(downloadFileName(url));
        seen.insert(segments.last().toCaseFolded());
    }
    if (seen.size() == segments.size())
        return distinct(segments);
    QStringList whole;
    for (const QUrl &url : urls)
        whole.append(safeFileName(wholeAddressName(url)));
    return distinct(whole);
}

QString nameForAnswer(const QString &name, const QString &contentType)
{
    static const QHash<QString, QString> byType{
        {"image/jpeg", ".jpg"}, {"image/pjpeg", ".jpg"}, {"image/png", ".png"},   {"image/apng", ".apng"},
        {"image/gif", ".gif"},  {"image/webp", ".webp"}, {"image/avif", ".avif"}, {"image/bmp", ".bmp"},
        {"image/tiff", ".tif"}, {"image/svg+xml", ".svg"}, {"image/heic", ".heic"}, {"image/jxl", ".jxl"},
        {"video/mp4", ".mp4"},  {"video/webm", ".webm"}, {"video/quicktime", ".mov"}, {"video/x-matroska", ".mkv"},
    };
    static const QSet<QString> pictures{".jpg", ".jpeg", ".jpe", ".jfif", ".png", ".apng", ".gif", ".webp",
                                        ".avif", ".bmp", ".tif", ".tiff", ".svg", ".heic", ".heif", ".jxl",
                                        ".ico", ".mp4", ".m4v", ".webm", ".mkv", ".mov", ".avi", ".ogv"};
    const QString extension = extensionOf(name);
    const QString typed = byType.value(contentType.section(u';', 0, 0).trimmed().toLower());
    if (typed.isEmpty() || pictures.contains(extension.toLower()))
        return name;
    QString stem = name.left(name.size() - extension.size());
    for (QChar &c : stem) {
        if (c == u'?' || c == u'&' || c == u'=')
            c = u'_';
    }
    return safeFileName(stem + typed);
}
