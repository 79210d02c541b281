#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// File names for the files of a download. Pure: Qt Core only, no disk.

// The longest name, in UTF-8 bytes, a downloaded file gets: the file system's
// 255 less room for the ".part" its bytes are first written to.
inline constexpr int kMaxDownloadNameBytes = 250;

// A name that is safe as one entry of a folder: never empty, ".", "..",
// hidden (leading "."), holding no "/", "\" or control character, and at
// most kMaxDownloadNameBytes long (the extension kept where it can be).
QString safeFileName(const QString &name);

// The name a URL's file is saved under: its last path segment,
// percent-decoded, made safe.
QString downloadFileName(const QUrl &url);

// The names for a run's URLs, in order: two URLs that give the same name get
// distinct ones ("a.jpg", "a (2).jpg", ...), the same on every run.
QStringList downloadFileNames(const QList<QUrl> &urls);
