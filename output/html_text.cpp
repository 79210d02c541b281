#include "output/html_text.h"

QString escapeAttribute(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        default:
            // A control character (a line break from the clipboard, say)
            // would break the page's one-line-per-entry layout.
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("&#%1;").arg(c.unicode());
            else
                out += c;
        }
    }
    return out;
}

namespace {
void appendLatin1(QByteArray &out, const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c.unicode() <= 0xFF) {
            out.append(char(c.unicode()));
            continue;
        }
        // A pair of surrogates is one character and one reference; a lone
        // surrogate is referenced as it stands rather than dropped.
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, line.at(i + 1));
            ++i;
        }
        out.append("&#").append(QByteArray::number(quint32(code))).append(';');
    }
}
} // namespace

QByteArray encodePageLines(const QStringList &lines)
{
    QByteArray out;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    out.reserve(size);
    for (const QString &line : lines) {
        appendLatin1(out, line);
        out.append("\r\n");
    }
    return out;
}
