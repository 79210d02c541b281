#include "output/image_page.h"

#include "output/html_text.h"

#include <QStringList>
#include <QUrl>

QString ColorToHexRGB(quint32 color)
{
    // Formatted as a number the value reads blue, green, red; the pairs are
    // taken in the opposite order.
    const QString bgr = QString::number(color & 0xFFFFFF, 16).toUpper().rightJustified(6, u'0');
    return bgr.mid(4, 2) + bgr.mid(2, 2) + bgr.mid(0, 2);
}

bool isLinkedOnPage(const QString &url)
{
    QString read = url;
    read.remove(u'\t').remove(u'\n').remove(u'\r');
    qsizetype start = 0;
    while (start < read.size() && read[start].unicode() <= 0x20)
        ++start;
    const qsizetype colon = read.indexOf(u':', start);
    if (colon < 0)
        return false;
    const QString scheme = read.mid(start, colon - start).toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"ftp" || scheme == u"file";
}

QByteArray imagePage(quint32 textColor, quint32 backColor, const QList<ImagePageEntry> &entries)
{
    QStringList lines;
    lines.reserve(entries.size() + 4);
    lines << QStringLiteral("<TITLE> Web Vemp Page </TITLE>")
          << QStringLiteral("<HTML><BODY TEXT=\"#%1\" BGCOLOR=\"#%2\">")
                 .arg(ColorToHexRGB(textColor), ColorToHexRGB(backColor))
          << QStringLiteral("<BODY><P ALIGN=\"CENTER\"><center><FONT SIZE=\"4\">");
    for (const ImagePageEntry &entry : entries) {
        const QString url = escapeAttribute(entry.url);
        if (!isLinkedOnPage(entry.url)) {
            lines << QStringLiteral("<p>%1</p>").arg(url);
            continue;
        }
        const QString shown = entry.localFile.isEmpty()
                                  ? url
                                  : escapeAttribute(QUrl::fromLocalFile(entry.localFile).toString(QUrl::FullyEncoded));
        lines << QStringLiteral("<a href=\"%1\" target=\"_blank\"><img border=\"4\" src=\"%2\" alt=\"%3\"></a>")
                     .arg(url, shown, escapeAttribute(entry.shortUrl));
    }
    lines << QStringLiteral("</BODY></HTML>");
    return encodePageLines(lines);
}
