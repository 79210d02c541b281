#include "output/html_text.h"
#include "output/image_page.h"
#include "output/website_page.h"

#include <QTest>

namespace {
const QByteArray kHead = "<TITLE> Web Vemp Page </TITLE>\r\n"
                         "<HTML><BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\">\r\n"
                         "<BODY><P ALIGN=\"CENTER\"><center><FONT SIZE=\"4\">\r\n";
const QByteArray kTail = "</BODY></HTML>\r\n";
const QString kBase = QStringLiteral("http://www.example.com/members/gallery/photos/98/");

QList<ImagePageEntry> run(const QStringList &names)
{
    QList<ImagePageEntry> entries;
    for (const QString &name : names)
        entries.append({kBase + name, QStringLiteral("../") + name});
    return entries;
}

QByteArray entryLine(const QByteArray &url, const QByteArray &alt)
{
    return "<a href=\"" + url + "\" target=\"_blank\"><img border=\"4\" src=\"" + url + "\" alt=\"" + alt
           + "\"></a>\r\n";
}
} // namespace

class TestPageText : public QObject
{
    Q_OBJECT
private slots:
    void imagePageBytes_data();
    void imagePageBytes();
    void colorToHex_data();
    void colorToHex();
    void pageColoursLine();
    void escapingAndEncoding_data();
    void escapingAndEncoding();
    void websitePageBytes();
    void trailingSlash_data();
    void trailingSlash();
};

void TestPageText::imagePageBytes_data()
{
    QTest::addColumn<QList<ImagePageEntry>>("entries");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray base = kBase.toLatin1();
    QTest::newRow("no items") << QList<ImagePageEntry>{} << kHead + kTail;
    QTest::newRow("three items") << run({"pic001.jpg", "pic002.jpg", "pic003.jpg"})
                                 << kHead + entryLine(base + "pic001.jpg", "../pic001.jpg")
                                        + entryLine(base + "pic002.jpg", "../pic002.jpg")
                                        + entryLine(base + "pic003.jpg", "../pic003.jpg") + kTail;
    // A URL from the clipboard may carry a quote and markup: it stays inside
    // its attribute, and the browser still reads the same URL from it.
    QTest::newRow("quote cannot end the attribute")
        << QList<ImagePageEntry>{{QStringLiteral("http://h/a\"><script>x()</script>&b=1.jpg"),
                                  QStringLiteral("..b\".jpg")}}
        << kHead
               + entryLine("http://h/a&quot;&gt;&lt;script&gt;x()&lt;/script&gt;&amp;b=1.jpg",
                           "..b&quot;.jpg")
               + kTail;
    // Only http, https, ftp and file addresses are links and pictures.
    const auto asText = [](const QByteArray &url) { return "<p>" + url + "</p>\r\n"; };
    QTest::newRow("javascript: as text")
        << QList<ImagePageEntry>{{QStringLiteral("javascript:alert(document.domain)//img_001.jpg"), QStringLiteral("..")}}
        << kHead + asText("javascript:alert(document.domain)//img_001.jpg") + kTail;
    QTest::newRow("blanks and a tab before and in the scheme")
        << QList<ImagePageEntry>{{QStringLiteral(" \x01java\tscript:x()/1.jpg"), QString()},
                                 {QStringLiteral("data:image/png;base64,AA1"), QString()},
                                 {QStringLiteral("img_001.jpg"), QString()}}
        << kHead + asText(" &#1;java&#9;script:x()/1.jpg") + asText("data:image/png;base64,AA1") + asText("img_001.jpg")
               + kTail;
    QTest::newRow("HTTPS, ftp and file linked")
        << QList<ImagePageEntry>{{QStringLiteral("HTTPS://h/1.jpg"), QString()},
                                 {QStringLiteral("ftp://h/2.jpg"), QString()},
                                 {QStringLiteral("file:///tmp/3.jpg"), QString()}}
        << kHead + entryLine("HTTPS://h/1.jpg", "") + entryLine("ftp://h/2.jpg", "") + entryLine("file:///tmp/3.jpg", "")
               + kTail;
}

void TestPageText::imagePageBytes()
{
    QFETCH(QList<ImagePageEntry>, entries);
    QTEST(imagePage(colorValue(0, 0, 0), colorValue(255, 255, 255), entries), "expected");
}

void TestPageText::colorToHex_data()
{
    QTest::addColumn<quint32>("color");
    QTest::addColumn<QString>("hex");
    QTest::newRow("red") << colorValue(255, 0, 0) << "FF0000";
    QTest::newRow("green") << colorValue(0, 255, 0) << "00FF00";
    QTest::newRow("blue") << colorValue(0, 0, 255) << "0000FF";
    QTest::newRow("black") << quint32(0) << "000000";
    QTest::newRow("mixed, leading zeros kept") << colorValue(0x01, 0x2A, 0xB3) << "012AB3";
    QTest::newRow("raw value, red lowest") << quint32(0x563412) << "123456";
}

void TestPageText::colorToHex()
{
    QFETCH(quint32, color);
    QTEST(ColorToHexRGB(color), "hex");
}

void TestPageText::pageColoursLine()
{
    const QByteArray page = imagePage(colorValue(0x10, 0x20, 0x30), colorValue(0xF0, 0xE0, 0xD0), {});
    QCOMPARE(page.split('\n').at(1), QByteArray("<HTML><BODY TEXT=\"#102030\" BGCOLOR=\"#F0E0D0\">\r"));
}

void TestPageText::escapingAndEncoding_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << "http://h/p1.jpg" << QByteArray("http://h/p1.jpg\r\n");
    QTest::newRow("four specials") << "a&b<c>d\"e" << QByteArray("a&amp;b&lt;c&gt;d&quot;e\r\n");
    QTest::newRow("apostrophe left alone") << "it's" << QByteArray("it's\r\n");
    QTest::newRow("latin-1 one byte") << QString::fromUtf16(u"caf\u00e9\u00ff") << QByteArray("caf\xe9\xff\r\n");
    QTest::newRow("beyond 255 referenced") << QString::fromUtf16(u"\u0160a\u20ac") << QByteArray("&#352;a&#8364;\r\n");
    QTest::newRow("astral character one reference") << QString::fromUcs4(U"x\U0001F600") << QByteArray("x&#128512;\r\n");
    QTest::newRow("control characters referenced") << QString::fromUtf16(u"a\nb\r\tc\u007f") + QChar(u'\0')
                                                   << QByteArray("a&#10;b&#13;&#9;c&#127;&#0;\r\n");
    QTest::newRow("empty") << "" << QByteArray("\r\n");
}

void TestPageText::escapingAndEncoding()
{
    QFETCH(QString, value);
    QTEST(encodePageLines({escapeAttribute(value)}), "bytes");
}

void TestPageText::websitePageBytes()
{
    const QByteArray expected = "<HTML><BODY BGCOLOR=\"#FFFFFF\"><BODY><P ALIGN=\"CENTER\"><FONT SIZE=\"4\">\r\n"
                                "<br><br>\r\n"
                                "<b><a href=\"http://www.example.com/serimo/\">CONNECT TO WEB PAGE</a></b>\r\n"
                                "<br><br>\r\n"
                                "<b><a href=\"mailto:serimo@example.com\">SEND EMAIL TO AUTHOR</a></b><p>\r\n"
                                "</BODY></HTML>\r\n";
    QCOMPARE(websitePage(kWebSiteUrl, kAuthorMail), expected);
}

void TestPageText::trailingSlash_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("expected");
    QTest::newRow("program directory") << "/usr/local/bin" << "/usr/local/bin/";
    QTest::newRow("already closed") << "/opt/serimo/" << "/opt/serimo/";
    QTest::newRow("root") << "/" << "/";
    QTest::newRow("empty") << "" << "/";
}

void TestPageText::trailingSlash()
{
    QFETCH(QString, directory);
    QTEST(ensureTrailingSlash(directory), "expected");
}

QTEST_APPLESS_MAIN(TestPageText)
#include "test_page_text.moc"
