#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The image page: one linked picture per URL of a run.

// A 24-bit colour with red in the lowest byte, green in the next and blue in
// the third, as six upper-case hex digits red, green, blue ("FF0000" is red).
QString ColorToHexRGB(quint32 color);

// The 24-bit value ColorToHexRGB takes, from its three components.
constexpr quint32 colorValue(int red, int green, int blue)
{
    return quint32(red & 0xFF) | quint32(green & 0xFF) << 8 | quint32(blue & 0xFF) << 16;
}

struct ImagePageEntry
{
    QString url;       // the picture's URL, also the link's target
    QString shortUrl;  // its short form, the picture's alt text
    // The picture as a Download run saved it on this machine, shown in its
    // stead: a page opened from a file sends no Referer nor cookies, which
    // some sites want for their pictures. Empty: the URL's.
    QString localFile = {};
};

// Whether the page links and shows an address: only one of the schemes
// http, https, ftp and file, read as a browser reads it (blanks and control
// characters before it and tabs and line breaks in it left out). Any other
// address ("javascript:", "data:", no scheme) is written as text.
bool isLinkedOnPage(const QString &url);

// The whole page, ready to write: the title line, the body with the given
// text and background colours, an entry line per picture (a line of text
// for an address the page does not link), the closing line.
QByteArray imagePage(quint32 textColor, quint32 backColor, const QList<ImagePageEntry> &entries);
