// Fuzzes the page builders: whatever a URL holds, it comes out escaped
// inside its attribute (or, for an address the page does not link, as
// text), one byte per character, and reads back as itself.

#include "output/image_page.h"
#include "output/website_page.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {
void require(bool condition)
{
    if (!condition)
        std::abort();
}

// What a browser reads from a double-quoted attribute value written by the
// page builder: the entities it writes, turned back into characters.
QString unescape(const QByteArray &attribute)
{
    QString out;
    for (qsizetype i = 0; i < attribute.size(); ++i) {
        const char c = attribute[i];
        if (c != '&') {
            out += QChar(uchar(c));
            continue;
        }
        const qsizetype end = attribute.indexOf(';', i);
        require(end > i);
        const QByteArray name = attribute.mid(i + 1, end - i - 1);
        if (name == "amp")
            out += u'&';
        else if (name == "lt")
            out += u'<';
        else if (name == "gt")
            out += u'>';
        else if (name == "quot")
            out += u'"';
        else if (name.startsWith('#')) {
            bool ok = false;
            const uint code = name.mid(1).toUInt(&ok);
            require(ok && (code > 0xFF || code < 0x20 || code == 0x7F));
            const char32_t ucs4 = code;
            out += QString::fromUcs4(&ucs4, 1);
        } else {
            require(false);
        }
        i = end;
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString url = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString shortUrl = url.right(12);
    const QByteArray page = imagePage(0x000000, 0xFFFFFF, {{url, shortUrl}});

    const QList<QByteArray> lines = page.split('\n');
    require(lines.size() == 6 && lines.last().isEmpty()); // five lines, each ending in CR LF
    for (qsizetype i = 0; i < 5; ++i)
        require(lines[i].endsWith('\r') && !lines[i].chopped(1).contains('\r'));

    const QByteArray entry = lines[3].chopped(1);
    if (!isLinkedOnPage(url)) {
        // Written as text: no markup of its own, and it reads back as itself.
        const QByteArray open = "<p>", close = "</p>";
        require(entry.startsWith(open) && entry.endsWith(close) && entry.count('<') == 2 && entry.count('>') == 2);
        require(unescape(entry.mid(open.size(), entry.size() - open.size() - close.size())) == url);
    } else {
        // The entry line holds exactly the quotes of its five attributes.
        const QByteArray head = "<a href=\"";
        require(entry.startsWith(head) && entry.count('"') == 10 && entry.count('<') == 3 && entry.count('>') == 3);
        const qsizetype hrefEnd = entry.indexOf('"', head.size());
        require(unescape(entry.mid(head.size(), hrefEnd - head.size())) == url);
    }

    const QByteArray site = websitePage(url, url);
    require(site.count('\n') == 6 && site.count('"') == 10);
    return 0;
}
