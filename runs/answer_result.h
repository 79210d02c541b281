#pragma once

#include "runs/download_retry.h"

#include <QString>

// What an answer's status line and headers say about the file asked for,
// before its body: the same for a download and for the search of a series'
// end. A page sent for a picture's address (a site's own "not found" page
// with status 200) is missing.
AttemptResult answerResult(int status, const QString &contentType, const QString &path);

// Whether a content type is a web page's.
bool isPageType(const QString &contentType);

// Whether the last segment of path names a picture (by its extension).
bool isPictureName(const QString &path);
