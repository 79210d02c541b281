#pragma once

#include <QByteArray>
#include <QString>

// The web-site page: two links, to the program's home page and to a mail to
// its author.

inline const QString kWebSiteUrl = QStringLiteral("http://www.example.com/serimo/");
inline const QString kAuthorMail = QStringLiteral("serimo@example.com");
inline const QString kWebSitePageName = QStringLiteral("qxpict.htm");

QByteArray websitePage(const QString &web, const QString &mail);

// The directory with a closing "/", so that a file name can follow it.
QString ensureTrailingSlash(const QString &directory);
