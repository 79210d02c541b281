#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// An address as a short message names it: without its scheme, user and
// query where the whole does not fit; then its host and file name
// ("img.example.org/…/pic001.jpg"); then its host alone.
QString addressShown(const QUrl &url, const std::function<bool(const QString &)> &fits);
