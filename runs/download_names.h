#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// File names for the files of a download. Pure: Qt Core only, no disk.

// The longest name, in UTF-8 bytes, a downloaded file gets: the file system's
// 255 less room for the ".serimo-part" its bytes are first written to.
inline constexpr int kMaxDownloadNameBytes = 243;

// A name that is safe as one entry of a folder on any disk: never empty,
// ".", "..", hidden (leading "."), holding no control character nor any of
// / \ : * ? " < > | (each becomes "_"), and at most kMaxDownloadNameBytes
// long: a longer one loses the middle of its stem, keeping its start, its
// counter and its extension.
QString safeFileName(const QString &name);

// The name a URL's file is saved under: its last path segment,
// percent-decoded, made safe.
QString downloadFileName(const QUrl &url);

// The names for a run's URLs, in order. Where the last path segments of the
// run repeat (a counter in the query or in a folder), every name is made
// from the whole path and query ("list_page=7"), so that an address gives
// the same name in every run. Two URLs that still give the same name (case
// aside) get distinct ones ("a.jpg", "a (2).jpg", ...).
QStringList downloadFileNames(const QList<QUrl> &urls);

// The name a file of the run is saved under once its answer's Content-Type
// is known: where name has no picture or video extension (".php", ".asp",
// none), the type's extension ("image/jpeg": ".jpg") takes the place of its
// own, and "?", "&" and "=" become "_"; the counter stays. Any other name,
// or a type that is no picture or video, leaves name as it is.
QString nameForAnswer(const QString &name, const QString &contentType);
