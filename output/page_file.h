#pragma once

#include <QByteArray>
#include <QString>

// Writes a page whole: the bytes go to a file beside it, which then replaces
// the page, so a failed write leaves the old page (or none) and never half
// of a new one. Raises "Cannot create file <path>" when that fails.
void writePageFile(const QString &path, const QByteArray &bytes);
