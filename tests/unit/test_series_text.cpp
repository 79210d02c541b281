#include "app/command_line.h"
#include "common/integer_conversion.h"
#include "common/serimo_error.h"
#include "series/run_list.h"
#include "series/series_run.h"
#include "series/series_text.h"

#include <QTest>

class TestSeriesText : public QObject
{
    Q_OBJECT
private slots:
    void conversion_data();
    void conversion();
    void conversionErrorText();
    void split_data();
    void split();
    void addressForms_data();
    void addressForms();
    void detection_data();
    void detection();
    void handChangedDigits_data();
    void handChangedDigits();
    void steppedCounter_data();
    void steppedCounter();
    void letterPosition_data();
    void letterPosition();
    void itemsLimits_data();
    void itemsLimits();
    void wideLetter_data();
    void wideLetter();
    void listedRun_data();
    void listedRun();
    void commandLine_data();
    void commandLine();
    void runListName_data();
    void runListName();
};

void TestSeriesText::conversion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "123" << true << 123;
    QTest::newRow("leading zeros") << "001" << true << 1;
    QTest::newRow("leading blanks") << "  42" << true << 42;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("minus") << "-5" << true << -5;
    QTest::newRow("hex") << "$1F" << true << 31;
    QTest::newRow("negative hex") << "-$10" << true << -16;
    QTest::newRow("max") << "2147483647" << true << 2147483647;
    QTest::newRow("min") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("overflow") << "2147483648" << false << 0;
    QTest::newRow("hex overflow") << "$80000000" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("dollar alone") << "$" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("letter") << "c001" << false << 0;
    QTest::newRow("hex digit without dollar") << "1a" << false << 0;
    QTest::newRow("arabic-indic digit") << QString::fromUtf8("\u0661") << false << 0;
}

void TestSeriesText::conversion()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto result = tryStrToInt(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void TestSeriesText::conversionErrorText()
{
    try {
        strToInt(QStringLiteral("x1"));
        QFAIL("no error raised");
    } catch (const SerimoError &error) {
        QCOMPARE(error.message(), QStringLiteral("'x1' is not a valid integer value"));
    }
}

void TestSeriesText::split_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("extension");
    QTest::newRow("three digits") << "http://h/98/pic001.jpg" << 3 << "http://h/98/pic" << "001" << ".jpg";
    QTest::newRow("width one") << "http://h/img7.gif" << 1 << "http://h/img" << "7" << ".gif";
    QTest::newRow("five-letter extension") << "http://h/a12.jpeg" << 2 << "http://h/a" << "12" << ".jpeg";
    QTest::newRow("no extension: all after kept") << "C:\\x.y\\ab12abcd" << 2 << "C:\\x.y\\ab" << "12" << "abcd";
    QTest::newRow("short text") << "12.jpg" << 2 << "" << "12" << ".jpg";
    QTest::newRow("counter start clamped to first") << "7.jpg" << 3 << "" << "7" << ".jpg";
    QTest::newRow("counter stops at end") << "ab" << 3 << "" << "ab" << "";
    QTest::newRow("empty") << "" << 1 << "" << "" << "";
    QTest::newRow("letters only") << "ab" << 1 << "a" << "b" << "";
    QTest::newRow("host only: no counter") << "http://h.com:80" << 1 << "" << "" << "http://h.com:80";
    QTest::newRow("width stops after an escape") << "http://h/p%2099.jpg" << 4 << "http://h/p%20" << "99" << ".jpg";
    QTest::newRow("beyond Latin-1 kept") << QString::fromUtf8("http://h/\u0416\u304201.png") << 2
                                         << QString::fromUtf8("http://h/\u0416\u3042") << "01" << ".png";
}

void TestSeriesText::split()
{
    QFETCH(QString, url);
    QFETCH(int, width);
    const SeriesSplit s = splitSeries(url, width);
    QTEST(s.prefix, "prefix");
    QTEST(s.counter, "counter");
    QTEST(s.extension, "extension");
}

void TestSeriesText::addressForms_data()
{
    QTest::addColumn<QString>("tail");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("next");
    QTest::newRow(".jpg") << "/pic001.jpg" << false << 3 << "001" << ".jpg" << "/pic002.jpg";
    QTest::newRow(".jpeg") << "/pic001.jpeg" << false << 3 << "001" << ".jpeg" << "/pic002.jpeg";
    QTest::newRow(".webp widens") << "/pic099.webp" << false << 3 << "099" << ".webp" << "/pic100.webp";
    QTest::newRow(".avif widens") << "/img9.avif" << false << 1 << "9" << ".avif" << "/img10.avif";
    QTest::newRow("query") << "/photo12.jpg?w=800" << false << 2 << "12" << ".jpg?w=800" << "/photo13.jpg?w=800";
    QTest::newRow("fragment") << "/v2/pic001.jpg#top" << false << 3 << "001" << ".jpg#top" << "/v2/pic002.jpg#top";
    QTest::newRow("bare number") << "/page/7" << false << 1 << "7" << "" << "/page/8";
    QTest::newRow("number in query") << "/list?page=7" << false << 1 << "7" << "" << "/list?page=8";
    QTest::newRow(".html letter") << "/gallery/index.html" << true << 1 << "x" << ".html" << "/gallery/indey.html";
    QTest::newRow("letter") << "/picb.jpg" << true << 1 << "b" << ".jpg" << "/picc.jpg";
    QTest::newRow("letter, no digits in folder") << "/a/picb.jpg" << true << 1 << "b" << ".jpg" << "/a/picc.jpg";
    QTest::newRow("letter, digits in folder") << "/98/picb.jpg" << true << 1 << "b" << ".jpg" << "/98/picc.jpg";
    QTest::newRow("folder number") << "/blog/page/2/" << false << 1 << "2" << "/" << "/blog/page/3/";
    QTest::newRow("in query") << "/list?page=7&sort=asc" << false << 1 << "7" << "&sort=asc" << "/list?page=8&sort=asc";
    QTest::newRow("name's last") << "/photo_007_thumb.jpg" << false << 3 << "007" << "_thumb.jpg" << "/photo_008_thumb.jpg";
    QTest::newRow("size") << "/IMG_0007-1024x768.jpg" << false << 4 << "0007" << "-1024x768.jpg" << "/IMG_0008-1024x768.jpg";
    QTest::newRow("letter after digits") << "/pic7a.jpg" << true << 1 << "a" << ".jpg" << "/pic7b.jpg";
    QTest::newRow("last letter of path") << "/section-a/" << true << 1 << "a" << "/" << "/section-b/";
    QTest::newRow("fragment is no query") << "/about#part2x" << true << 1 << "t" << "#part2x" << "/abouu#part2x";
    // Brackets choose the counter, as a selection in the URL box does.
    QTest::newRow("[folder]") << "/2024/[05]/img_0042.jpg" << false << 2 << "05" << "/img_0042.jpg" << "/2024/06/img_0042.jpg";
    QTest::newRow("[letter]") << "/photo_007_thum[b].jpg" << true << 1 << "b" << ".jpg" << "/photo_007_thumc.jpg";
    QTest::newRow("[size]") << "/IMG_0007-[1024]x768.jpg" << false << 4 << "1024" << "x768.jpg" << "/IMG_0007-1025x768.jpg";
    QTest::newRow("chosen widens") << "/v[9]/a.png" << false << 1 << "9" << "/a.png" << "/v10/a.png";
    // An escape is one character of the address, never part of a counter.
    QTest::newRow("escape before the number") << "/My%20Album/pic%2099.jpg" << false << 2 << "99" << ".jpg" << "/My%20Album/pic%20100.jpg";
    QTest::newRow("escape's letter") << "/pic%2A.jpg" << true << 1 << "c" << "%2A.jpg" << "/pid%2A.jpg";
    QTest::newRow("[escape's digit] is no choice") << "/a1%2[0].jpg" << false << 1 << "1" << "%20.jpg" << "/a2%20.jpg";
    QTest::newRow("[number after an escape]") << "/pic%20[99]-1x2.jpg" << false << 2 << "99" << "-1x2.jpg" << "/pic%20100-1x2.jpg";
    // A name without a number: the query's before a letter, the folder's
    // only where the name ends in no letter.
    QTest::newRow("query before a letter") << "/archive/index.php?id=0042&lang=en" << false << 4 << "0042" << "&lang=en"
                                           << "/archive/index.php?id=0043&lang=en";
    QTest::newRow("folder where no letter ends the name") << "/98/pic_.jpg" << false << 2 << "98" << "/pic_.jpg"
                                                          << "/99/pic_.jpg";
    QTest::newRow("grows past the nines") << "/t/99999" << false << 5 << "99999" << "" << "/t/100000";
    QTest::newRow("ten digits") << "/1234567890.jpg" << false << 10 << "1234567890" << ".jpg" << "/1234567891.jpg";
    QTest::newRow("thirteen digits") << "/1700000000999.jpg" << false << 13 << "1700000000999" << ".jpg" << "/1700000001000.jpg";
    QTest::newRow("eighteen digits") << "/999999999999999998.jpg" << false << 18 << "999999999999999998" << ".jpg"
                                     << "/999999999999999999.jpg";
}

// The counter sits before the address's own extension, or at its end.
void TestSeriesText::addressForms()
{
    QFETCH(QString, tail);
    QFETCH(bool, alpha);
    QFETCH(int, width);
    const QString host = QStringLiteral("http://127.0.0.1:8741");
    const auto [url, choice] = unbracketCounter(host + tail);
    QCOMPARE(isAlphaSeries(url, choice), alpha);
    if (!alpha)
        QCOMPARE(countCounterDigits(url, choice), width);
    const SeriesSplit split = splitSeries(url, width, choice);
    QTEST(split.counter, "counter");
    QTEST(split.extension, "after");
    QCOMPARE(split.prefix + split.counter + split.extension, url);
    QFETCH(QString, next);
    const SeriesMode mode = alpha ? SeriesMode::Alpha : SeriesMode::Digits;
    QCOMPARE(seriesRun(url, mode, width, 2, choice), QStringList({url, host + next}));
}

void TestSeriesText::detection_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("panel0");
    QTest::addColumn<QString>("panel1");
    const QString host = QStringLiteral("http://www.example.com");
    QTest::newRow("pic001") << host + "/members/gallery/photos/98/pic001.jpg" << false << 3 << "../pic001.jpg"
                            << "../pic999.jpg";
    QTest::newRow("img7") << host + "/img7.gif" << false << 1 << "../img7.gif" << "../img9.gif";
    QTest::newRow("photo12") << host + "/2001/photo12.jpg" << false << 2 << "../photo12.jpg" << "../photo99.jpg";
    QTest::newRow("ten digits") << host + "/a/1234567890.jpg" << false << 10 << "../1234567890.jpg" << "../9999999999.jpg";
    QTest::newRow("letter") << host + "/picb.jpg" << true << 1 << "" << "";
    QTest::newRow("html") << host + "/gallery/index.html" << true << 1 << "" << "";
    QTest::newRow("folder counter shows") << host + "/blog/page/2/" << false << 1 << "../2/" << "../9/";
    QTest::newRow("slash in query") << host + "/p12.jpg?u=/a" << false << 2 << "../p12.jpg?u=/a" << "../p99.jpg?u=/a";
    QTest::newRow("not a url") << "12.jpg" << false << 2 << ".." << "..";
    QTest::newRow("five chars or fewer") << "a.jpg" << false << 1 << "" << "";
    QTest::newRow("empty") << "" << false << 1 << "" << "";
}

void TestSeriesText::detection()
{
    QFETCH(QString, url);
    QFETCH(bool, alpha);
    QFETCH(int, width);
    QFETCH(QString, panel0);
    QFETCH(QString, panel1);
    QCOMPARE(isAlphaSeries(url), alpha);
    if (alpha)
        return;
    QCOMPARE(countCounterDigits(url), width);
    QCOMPARE(rangeText(url, width, false).value_or(QString()), panel0);
    QCOMPARE(rangeText(url, width, true).value_or(QString()), panel1);
}

void TestSeriesText::handChangedDigits_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("panel1");
    QTest::addColumn<int>("itemsMaximum");
    QTest::newRow("1") << 1 << "../pic009.jpg" << 9;
    QTest::newRow("2") << 2 << "../pic099.jpg" << 99;
    QTest::newRow("4 does not convert") << 4 << "" << 999;
}

void TestSeriesText::handChangedDigits()
{
    QFETCH(int, width);
    const QString url = QStringLiteral("http://www.example.com/members/gallery/photos/98/pic001.jpg");
    QTEST(rangeText(url, width, true).value_or(QString()), "panel1");
    QTEST(itemsMaximum(width), "itemsMaximum");
}

void TestSeriesText::steppedCounter_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("counter");
    QTest::newRow("001 next") << 1 << 1 << 3 << "002";
    QTest::newRow("9 widens") << 9 << 1 << 1 << "10";
    QTest::newRow("99 widens") << 99 << 1 << 2 << "100";
    QTest::newRow("999 widens") << 999 << 1 << 3 << "1000";
    QTest::newRow("9999 grows") << 9999 << 1 << 4 << "10000";
    QTest::newRow("0999 to 1000") << 999 << 1 << 4 << "1000";
    QTest::newRow("099999 grows") << 99999 << 1 << 6 << "100000";
    QTest::newRow("nine nines grow to ten digits") << 999999999 << 1 << 9 << "1000000000";
    QTest::newRow("10 back narrows") << 10 << -1 << 2 << "9";
    QTest::newRow("1000 back narrows") << 1000 << -1 << 4 << "999";
    QTest::newRow("10000 back narrows") << 10000 << -1 << 5 << "9999";
    QTest::newRow("0100000 back keeps width") << 100000 << -1 << 7 << "0099999";
    QTest::newRow("010 back keeps width") << 10 << -1 << 3 << "009";
    QTest::newRow("floor at zero") << 0 << -1 << 3 << "000";
    QTest::newRow("negative counter") << -5 << -1 << 2 << "00";
    QTest::newRow("feed first tick") << 41 << 0 << 2 << "41";
    QTest::newRow("nine wide") << 999999999 << 0 << 9 << "999999999";
    QTest::newRow("10 at width 3 no widening") << 9 << 1 << 3 << "010";
}

void TestSeriesText::steppedCounter()
{
    QFETCH(int, value);
    QFETCH(int, delta);
    QFETCH(int, width);
    QTEST(::steppedCounter(value, delta, width).value_or(QString()), "counter");
}

void TestSeriesText::letterPosition_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected");
    QTest::newRow("b to c") << 98 << 1 << 99;
    QTest::newRow("a back to grave") << 97 << -1 << 96;
    QTest::newRow("255 next passes over 0") << 255 << 1 << 257;
    QTest::newRow("1 back passes over 0") << 1 << -1 << -1;
    QTest::newRow("257 back passes over 256") << 257 << -1 << 255;
    QTest::newRow("no move") << 65 << 0 << 65;
    QTest::newRow("wraps at top") << 32760 << 1 << -32760;
    QTest::newRow("wraps at bottom") << -32760 << -1 << 32760;
}

void TestSeriesText::letterPosition()
{
    QFETCH(int, position);
    QFETCH(int, delta);
    QFETCH(int, expected);
    const int moved = stepLetterPosition(position, delta);
    QCOMPARE(moved, expected);
    QVERIFY(letterForPosition(moved).unicode() != 0);
}

void TestSeriesText::itemsLimits_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("characters");
    QTest::newRow("1") << 1 << 9 << 1;
    QTest::newRow("2") << 2 << 99 << 2;
    QTest::newRow("3") << 3 << 999 << 3;
    QTest::newRow("9") << 9 << 999 << 3;
}

void TestSeriesText::itemsLimits()
{
    QFETCH(int, digits);
    QTEST(itemsMaximum(digits), "maximum");
    QTEST(itemsTextLimit(digits), "characters");
    // The box must be able to show every value its up-down allows.
    QCOMPARE(QString::number(itemsMaximum(digits)).size(), itemsTextLimit(digits));
}


void TestSeriesText::wideLetter_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected"); // -1: refused
    QTest::newRow("c circumflex next") << 0x109 << 1 << 0x10A;
    QTest::newRow("256 back to 255") << 0x100 << -1 << 0xFF;
    QTest::newRow("over the surrogates up") << 0xD7FF << 1 << 0xE000;
    QTest::newRow("over the surrogates down") << 0xE000 << -1 << 0xD7FF;
    QTest::newRow("stops at U+FFFD") << 0xFFFD << 1 << 0xFFFD;
    QTest::newRow("high surrogate refused") << 0xD83D << 1 << -1;
    QTest::newRow("low surrogate refused") << 0xDE00 << 0 << -1;
}

void TestSeriesText::wideLetter()
{
    QFETCH(int, code);
    QFETCH(int, delta);
    QFETCH(int, expected);
    const auto letter = steppedWideLetter(QChar(char16_t(code)), delta);
    QCOMPARE(letter ? int(letter->unicode()) : -1, expected);
}

void TestSeriesText::listedRun_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("count"); // null: none given
    QTest::addColumn<QString>("text");  // the list text, or the error
    const QString h = QStringLiteral("http://www.example.com/");
    QTest::newRow("widens at 10 and 100") << h + "p8.jpg" << "4" << h + "p8.jpg\n" + h + "p9.jpg\n" + h + "p10.jpg\n" + h + "p11.jpg\n";
    QTest::newRow("widens at 100, query kept") << h + "p099.jpg?s=1" << "2" << h + "p099.jpg?s=1\n" + h + "p100.jpg?s=1\n";
    QTest::newRow("alpha stops at z") << h + "picy.jpg" << "3" << h + "picy.jpg\n" + h + "picz.jpg\n";
    QTest::newRow("punctuation steps") << h + "pic{.jpg" << "2" << h + "pic{.jpg\n" + h + "pic|.jpg\n";
    QTest::newRow("[20999999] grows") << h + "IMG_[20999999]_0042.jpg" << "2"
                                      << h + "IMG_20999999_0042.jpg\n" + h + "IMG_21000000_0042.jpg\n";
    QTest::newRow("nine digits grow to ten") << h + "p999999999.jpg" << "2" << h + "p999999999.jpg\n" + h + "p1000000000.jpg\n";
    QTest::newRow("nineteen digits") << h + "p1234567890123456789.jpg" << "2"
                                     << "no series in '" + h + "p1234567890123456789.jpg': its number has more than 18 digits";
    QTest::newRow("alpha past code 255 skips 0")
        << h + QString::fromUtf8("pic\u00ff.jpg") << "2" << h + QString::fromUtf8("pic\u00ff.jpg\n") + h + "pic\u0001.jpg\n";
    QTest::newRow("one") << h + "a5.png" << "1" << h + "a5.png\n";
    QTest::newRow("default: width 1 gives 9") << h + "a1.png" << QString() << "9 lines";
    QTest::newRow("default: width 2 gives 99") << h + "a01.png" << QString() << "99 lines";
    QTest::newRow("default: width 4 gives 999") << h + "a0001.png" << QString() << "999 lines";
    QTest::newRow("999") << h + "a1.png" << "999" << "999 lines";
    QTest::newRow("counter not a number") << h << "3" << "no series in '" + h + "': its counter is not a number";
    // The terminal takes addresses only.
    QTest::newRow("not a url") << "not a url" << "3" << "not an address: 'not a url' does not start with scheme://host";
    QTest::newRow("empty URL") << "" << QString() << "not an address: '' does not start with scheme://host";
    QTest::newRow("no host") << "http:///a1.jpg" << "2" << "not an address: 'http:///a1.jpg' does not start with scheme://host";
    QTest::newRow("line break") << h + "a1.jpg\n" + h + "b1.jpg" << "2" << "the URL holds a control character (code 10)";
    QTest::newRow("C1 control") << h + "a\u00851.jpg" << "2" << "the URL holds a control character (code 133)";
    QTest::newRow("[counter]") << "https://h/IMG_[0007]-1x2.jpg" << "3"
                               << "https://h/IMG_0007-1x2.jpg\nhttps://h/IMG_0008-1x2.jpg\nhttps://h/IMG_0009-1x2.jpg\n";
    QTest::newRow("folder, host kept") << "https://ex.com/page-7/" << "2" << "https://ex.com/page-7/\nhttps://ex.com/page-8/\n";
    QTest::newRow("IPv6 host") << "http://[::1]:80/a[9].jpg" << "2" << "http://[::1]:80/a9.jpg\nhttp://[::1]:80/a10.jpg\n";
    QTest::newRow("a gallery's page") << h + "gallery/" << "2"
        << "'" + h + "gallery/' is a page, not a series: it has no number to step; open the page in the browser and "
           "copy a picture's address";
    QTest::newRow("numbered folder") << "https://ex.com/blog/page/2/" << "1" << "https://ex.com/blog/page/2/\n";
    QTest::newRow("letter series") << h + "98/picb.jpg" << "1" << h + "98/picb.jpg\n";
    QTest::newRow("no counter in host") << "http://[::1]:80/" << "2" << "no series in 'http://[::1]:80/': its counter is not a number";
    const QString badCount = QStringLiteral("COUNT must be 1 to 999: '%1'");
    for (const char *count : {"0", "1000", "-1", "+5", " 5", "5x", "", "$10", "0999"})
        QTest::newRow(qPrintable(QStringLiteral("count '%1'").arg(count))) << h + "a1.png" << count << badCount.arg(count);
}

// What --list prints, and the list text Copy run and Save run list hand over.
void TestSeriesText::listedRun()
{
    QFETCH(QString, url);
    QFETCH(QString, count);
    QFETCH(QString, text);
    const ListedRun listed = ::listedRun(url, count.isNull() ? std::nullopt : std::optional(count));
    QCOMPARE(listed.run.isEmpty(), !listed.error.isEmpty());
    if (text.endsWith(QLatin1String(" lines"))) {
        QCOMPARE(QString::number(listed.run.size()) + " lines", text);
        // The list text and the window's stepping agree to the end.
        QCOMPARE(runListText(listed.run).count(u'\n'), listed.run.size());
        QCOMPARE(listed.run.last(), seriesRun(listed.run.first(), SeriesMode::Digits, 1, listed.run.size()).last());
    } else {
        QCOMPARE(listed.run.isEmpty() ? listed.error : runListText(listed.run), text);
    }
}

void TestSeriesText::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("asked"); // what is asked, or the usage error
    const QString u = QStringLiteral("http://h/a1.jpg");
    QTest::newRow("nothing") << QStringList{} << "window";
    QTest::newRow("a URL") << QStringList{u} << "window " + u;
    QTest::newRow("toolkit options pass") << QStringList{"-platform", "xcb", "--style=fusion", "-reverse", u}
                                          << "window " + u;
    QTest::newRow("two URLs") << QStringList{u, "b"} << "error: one URL at most, not also 'b'";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "error: unknown option '--bogus'";
    QTest::newRow("help alone") << QStringList{"--list", u, "9", "-h"} << "error: option '-h' takes nothing more: '--list'";
    QTest::newRow("version extra") << QStringList{"--version", "extra"} << "error: option '--version' takes nothing more: 'extra'";
    QTest::newRow("a long option cut") << QStringList{"--" + QString(200, u'x')}
                                       << "error: unknown option '--" + QString(77, u'x') + "\u2026'";
    QTest::newRow("list") << QStringList{"--list", u, "3"} << "list " + u + " 3";
    QTest::newRow("list=URL") << QStringList{"--list=" + u, "3"} << "list " + u + " 3";
    QTest::newRow("list -1") << QStringList{"--list", u, "-1"} << "error: COUNT must be 1 to 999: '-1'";
    QTest::newRow("list without URL") << QStringList{"--list"} << "error: option '--list' needs a URL";
    QTest::newRow("list extra") << QStringList{"--list", u, "3", "4"} << "error: unexpected argument '4'";
    QTest::newRow("after --") << QStringList{"--list", "--", "-u"} << "list -u -";
    QTest::newRow("download") << QStringList{"--download", u} << "download " + u + " - ";
    QTest::newRow("download to") << QStringList{"--download", u, "5", "--to", "d"} << "download " + u + " 5 d";
    QTest::newRow("to without download") << QStringList{"--to", "d", u} << "error: option '--to' goes with '--download'";
    QTest::newRow("list and download") << QStringList{"--list", u, "--download"}
                                       << "error: option '--download' cannot go with '--list'";
    QTest::newRow("site options") << QStringList{"--download", u, "--referer=", "-user-agent", "A b", "--load-cookies",
                                                 "c.txt", "--wait", "1.5"}
                                  << "download " + u + " -  referer '' agent 'A b' cookies 'c.txt' wait 1500";
    QTest::newRow("wait in milliseconds") << QStringList{"--download", u, "--wait=0.25"}
                                          << "download " + u + " -  agent '' cookies '' wait 250";
    QTest::newRow("wait finer than a millisecond") << QStringList{"--download", u, "--wait", "0.0001"}
        << "error: SECONDS takes at most three decimals (a millisecond): '0.0001'";
    for (const char *wait : {"-1", "3600.001", "1,5", "1e3", ".5"})
        QTest::newRow(qPrintable(QStringLiteral("wait '%1'").arg(wait)))
            << QStringList{"--download", u, "--wait", wait} << QStringLiteral("error: SECONDS must be 0 to 3600: '%1'").arg(wait);
    QTest::newRow("connections, certificates unchecked")
        << QStringList{"--find-end", u, "--connections", "16", "--no-check-certificate"}
        << "find-end " + u + " - connections 16 unchecked";
    for (const char *count : {"0", "17", "+4", "4x", ""})
        QTest::newRow(qPrintable(QStringLiteral("connections '%1'").arg(count)))
            << QStringList{"--download", u, "--connections=" + QString::fromLatin1(count)}
            << (*count ? QStringLiteral("error: N must be 1 to 16: '%1'").arg(count)
                       : QStringLiteral("error: option '--connections' needs a N"));
    QTest::newRow("referer without download") << QStringList{"--list", u, "--referer", "r"}
                                              << "error: option '--referer' goes with '--download' or '--find-end'";
    QTest::newRow("find-end") << QStringList{"--find-end=" + u, "--wait", "2"} << "find-end " + u + " - agent '' cookies '' wait 2000";
    QTest::newRow("find-end with COUNT") << QStringList{"--find-end", u, "5"} << "error: unexpected argument '5'";
    QTest::newRow("find-end to") << QStringList{"--find-end", u, "--to", "d"} << "error: option '--to' goes with '--download'";
    QTest::newRow("empty user agent") << QStringList{"--download", u, "--user-agent="}
                                      << "error: option '--user-agent' needs a TEXT";
    QTest::newRow("cookies file last") << QStringList{"--download", u, "--load-cookies"}
                                       << "error: option '--load-cookies' needs a FILE";
    QTest::newRow("switch with a value") << QStringList{"-v=1"} << "error: option '-v' takes no value";
}

void TestSeriesText::commandLine()
{
    QFETCH(QStringList, arguments);
    const CommandLine line = parseCommandLine(arguments);
    using Action = CommandLine::Action;
    QString asked = QStringList{"window", "help", "version", "list", "download", "find-end", "error:"}[int(line.action)];
    if (line.url)
        asked += " " + *line.url;
    if (line.action == Action::List || line.action == Action::Download || line.action == Action::FindEnd)
        asked += " " + line.list.url + " " + line.list.count.value_or("-");
    if (line.action == Action::Download)
        asked += " " + line.download.folder;
    const SiteOptions &site = line.download.site;
    if (site.referer)
        asked += " referer '" + *site.referer + "'";
    if (site.referer || !site.userAgent.isEmpty() || !site.cookiesFile.isEmpty() || site.waitMs)
        asked += QStringLiteral(" agent '%1' cookies '%2' wait %3").arg(site.userAgent, site.cookiesFile).arg(site.waitMs);
    if (site.connections)
        asked += QStringLiteral(" connections %1").arg(site.connections);
    if (!site.checkCertificates)
        asked += QStringLiteral(" unchecked");
    if (line.action == Action::UsageError)
        asked += " " + line.error;
    QTEST(asked, "asked");
}

void TestSeriesText::runListName_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "http://www.example.com/photos/pic001.jpg" << 50 << "pic001-50.txt";
    QTest::newRow("query and fragment left out") << "http://h/a/img07.webp?w=800#x" << 9 << "img07-9.txt";
    QTest::newRow("no extension") << "http://h/page/7" << 3 << "7-3.txt";
    QTest::newRow("no file name") << "http://h/" << 2 << "run-2.txt";
    QTest::newRow("hidden name") << "http://h/.x1.jpg" << 2 << "x1-2.txt";
    QTest::newRow("dash and dots") << "http://h/-..a1.jpg" << 2 << "a1-2.txt";
    QTest::newRow("unsafe characters") << "http://h/a\\b:c*1.jpg" << 2 << "a_b_c_1-2.txt";
    QTest::newRow("control character") << QString("http://h/a\tb1.jpg") << 2 << "a_b1-2.txt";
}

void TestSeriesText::runListName()
{
    QFETCH(QString, url);
    QFETCH(int, count);
    QTEST(suggestedRunListName(url, count), "name");
}

QTEST_APPLESS_MAIN(TestSeriesText)
#include "test_series_text.moc"
