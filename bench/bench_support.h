#pragma once

// What the download benchmarks share: reading their list of URLs and their
// own memory figures.

#include <QFile>
#include <QList>
#include <QUrl>
#include <optional>

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
inline long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// The URLs of a file, one a line; nothing when it cannot be read.
inline std::optional<QList<QUrl>> urlList(const char *path)
{
    QFile list(QString::fromLocal8Bit(path));
    if (!list.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<QUrl> urls;
    for (const QByteArray &line : list.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            urls.append(QUrl(QString::fromUtf8(line.trimmed())));
    }
    return urls;
}
