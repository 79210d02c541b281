#include "output/website_page.h"

#include "output/html_text.h"

#include <QStringList>

QByteArray websitePage(const QString &web, const QString &mail)
{
    return encodePageLines({
        QStringLiteral("<HTML><BODY BGCOLOR=\"#FFFFFF\"><BODY><P ALIGN=\"CENTER\"><FONT SIZE=\"4\">"),
        QStringLiteral("<br><br>"),
        QStringLiteral("<b><a href=\"%1\">CONNECT TO WEB PAGE</a></b>").arg(escapeAttribute(web)),
        QStringLiteral("<br><br>"),
        QStringLiteral("<b><a href=\"mailto:%1\">SEND EMAIL TO AUTHOR</a></b><p>").arg(escapeAttribute(mail)),
        QStringLiteral("</BODY></HTML>"),
    });
}

QString ensureTrailingSlash(const QString &directory)
{
    return directory.endsWith(u'/') ? directory : directory + u'/';
}
