#include "runs/cookie_file.h"
#include "runs/run_cookie_jar.h"
#include "runs/site_book.h"
#include "runs/site_headers.h"

#include <QDateTime>
#include <QFile>
#include <QNetworkRequest>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QDir>
#include <sys/stat.h>

// What a request of a run tells the site: the Referer, the User-Agent and the
// cookies of a browser's file.
class TestSiteRequests : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void headers_data();
    void headers();
    void sites_data();
    void sites();
    void cookies_data();
    void cookies();
    void brokenCookieFile_data();
    void brokenCookieFile();

private:
    QTemporaryDir m_folder;
    QStringList m_cookieFiles;
};

namespace {
struct Cookie
{
    const char *domain;
    const char *path;
    bool secure;
    bool httpOnly;
    qint64 expiry; // seconds; 0: the session's
    const char *name;
};

const qint64 kLater = QDateTime::currentSecsSinceEpoch() + 86400;
const QList<Cookie> kCookies{{".example.com", "/", false, false, kLater, "a"},
                             {"example.com", "/gallery", false, false, kLater, "b"},
                             {".example.com", "/", true, false, kLater, "s"},
                             {".example.com", "/", false, false, kLater - 2 * 86400, "old"},
                             {".example.com", "/", false, true, 0, "sess"},
                             {"other.org", "/", false, false, kLater, "c"},
                             // For every site under a public suffix: never sent.
                             {".com", "/", false, false, kLater, "tld"},
                             {".test", "/", false, false, kLater, "suffix"}};

QString writeCookiesTxt(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write("# Netscape HTTP Cookie File\n\n");
    for (const Cookie &c : kCookies) {
        const QByteArray domain = c.domain;
        file.write((c.httpOnly ? "#HttpOnly_" : "") + domain + '\t' + (domain.startsWith('.') ? "TRUE" : "FALSE") + '\t'
                   + c.path + '\t' + (c.secure ? "TRUE" : "FALSE") + '\t' + QByteArray::number(c.expiry) + '\t' + c.name
                   + '\t' + c.name + "-v\r\n");
    }
    return path;
}

// As Firefox keeps it while it runs: locked, its latest rows in the
// write-ahead log. Firefox writes some expiry times in milliseconds.
QString writeCookiesSqlite(const QString &path, QSqlDatabase &database)
{
    database.setDatabaseName(path);
    QSqlQuery query(database);
    const bool made = database.open() && query.exec("PRAGMA journal_mode=WAL") && query.exec("PRAGMA locking_mode=EXCLUSIVE")
                      && query.exec("CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT, name TEXT, "
                                    "value TEXT, host TEXT, path TEXT, expiry INTEGER, isSecure INTEGER, isHttpOnly INTEGER)");
    if (!made)
        qFatal("cannot make %s", qPrintable(path));
    for (const Cookie &c : kCookies) {
        query.prepare("INSERT INTO moz_cookies (originAttributes, name, value, host, path, expiry, isSecure, isHttpOnly) "
                      "VALUES ('', ?, ?, ?, ?, ?, ?, ?)");
        for (const QVariant &value : {QVariant(c.name), QVariant(QByteArray(c.name) + "-v"), QVariant(c.domain),
                                      QVariant(c.path), QVariant(c.name == QByteArray("old") ? c.expiry * 1000 : c.expiry),
                                      QVariant(c.secure), QVariant(c.httpOnly)})
            query.addBindValue(value);
        if (!query.exec())
            qFatal("cannot fill %s", qPrintable(path));
    }
    return path;
}
} // namespace

void TestSiteRequests::initTestCase()
{
    // The browser's database stays open, and locked, until the end.
    QSqlDatabase browser = QSqlDatabase::addDatabase("QSQLITE", "browser");
    m_cookieFiles = {writeCookiesTxt(m_folder.filePath("cookies.txt")),
                     writeCookiesSqlite(m_folder.filePath("cookies.sqlite"), browser)};
}

void TestSiteRequests::cleanupTestCase()
{
    QSqlDatabase::database("browser", false).close();
    QSqlDatabase::removeDatabase("browser");
}

void TestSiteRequests::headers_data()
{
    QTest::addColumn<QString>("referer"); // null: not given
    QTest::addColumn<QString>("agent");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("redirects"); // the Location of each redirect, in turn
    QTest::addColumn<QByteArray>("sent");       // "Referer | User-Agent" of the last request, or why a redirect is refused
    const QByteArray serimo = "Serimo/" SERIMO_VERSION;
    QTest::newRow("the site's own, port kept, user left out") << QString() << QString()
        << "http://u:p@127.0.0.1:8080/a/b1.jpg?x=1#f" << QStringList() << "http://127.0.0.1:8080/ | " + serimo;
    QTest::newRow("IPv6 host") << QString() << "" << "http://[::1]:81/a1.jpg" << QStringList() << "http://[::1]:81/ | " + serimo;
    QTest::newRow("none") << "" << "" << "http://h/a1.jpg" << QStringList{"http://cdn/a1.jpg"} << " | " + serimo;
    QTest::newRow("given, a line break cannot add a header") << "http://g/\r\nX-Evil: 1" << "Mozilla/5.0 (X11)\n"
        << "http://h/a1.jpg" << QStringList() << QByteArray("http://g/  X-Evil: 1 | Mozilla/5.0 (X11)");
    QTest::newRow("the site's own, past a redirect") << QString() << "" << "http://u:p@h/a1.jpg"
        << QStringList{"/b1.jpg", "http://cdn:81/a1.jpg"} << "http://h/ | " + serimo;
    QTest::newRow("given, on another host: its origin only") << "http://u:p@g/gallery/p.html?id=7" << ""
        << "http://h/a1.jpg" << QStringList{"http://cdn/a1.jpg"} << "http://g/ | " + serimo;
    QTest::newRow("given, on its own host: whole") << "http://g/gallery/p.html" << "" << "http://h/a1.jpg"
        << QStringList{"http://g/a1.jpg"} << "http://g/gallery/p.html | " + serimo;
    QTest::newRow("given on https, to http: none") << "https://g/p.html" << "" << "http://h/a1.jpg"
        << QStringList{"http://cdn/a1.jpg"} << " | " + serimo;
    QStringList ten;
    for (int hop = 1; hop <= 10; ++hop)
        ten.append(QStringLiteral("/hop%1").arg(hop));
    QTest::newRow("ten redirects followed") << QString() << "" << "http://h/a1.jpg" << ten << "http://h/ | " + serimo;
    QTest::newRow("refused: eleven") << QString() << "" << "http://h/a1.jpg" << ten + QStringList{"/hop11"}
                                     << QByteArray("more than 10 redirects");
    QTest::newRow("refused: a loop") << QString() << "" << "http://h/a1.jpg" << QStringList{"http://cdn/x", "http://h/a1.jpg#top"}
                                     << QByteArray("a redirect loop");
    QTest::newRow("refused: data") << QString() << "" << "http://h/a1.jpg" << QStringList{"data:,x"}
                                   << QByteArray("a redirect to a data: address, which is never followed");
    QTest::newRow("refused: https to http") << QString() << "" << "https://h/a1.jpg" << QStringList{"http://h/b1.jpg"}
                                            << QByteArray("a redirect from https to http, which would send the request unencrypted");
}

void TestSiteRequests::headers()
{
    QFETCH(QString, referer);
    QFETCH(QString, agent);
    QFETCH(QString, url);
    SiteOptions options;
    if (!referer.isNull())
        options.referer = referer;
    options.userAgent = agent;
    QNetworkRequest request{QUrl(url)};
    addSiteHeaders(request, options);
    RedirectChain chain{QUrl(url)};
    QFETCH(QStringList, redirects);
    QString refused;
    for (const QString &location : redirects)
        refused = refused.isEmpty() ? chain.follow(location.toUtf8()) : refused;
    if (!redirects.isEmpty())
        request = siteRequest(chain, options);
    QTEST(refused.isEmpty() ? request.rawHeader("Referer") + " | " + request.rawHeader("User-Agent") : refused.toUtf8(),
          "sent");
}

// A site's options are the host's own, else its registrable domain's.
void TestSiteRequests::sites_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("domain");
    QTest::addColumn<QString>("sentTo"); // the addresses whose run takes the options set for the whole domain
    QTest::newRow("below a two-label suffix") << "http://img.example.co.uk/p1.jpg" << "example.co.uk"
                                              << "http://example.co.uk/ http://a.b.example.co.uk/";
    QTest::newRow("a single label") << "http://localhost:8080/p1.jpg" << "localhost" << "http://sub.localhost/";
    QTest::newRow("an IP address: no domain") << "http://127.0.0.1/p1.jpg" << "" << "";
}

void TestSiteRequests::sites()
{
    QFETCH(QString, address);
    SiteBook book;
    SiteBook::Site site = book.siteOf(QUrl(address));
    QTEST(site.domain, "domain");
    site.wholeDomain = !site.domain.isEmpty();
    SiteOptions options;
    options.userAgent = QStringLiteral("Agent 1");
    book.set(site, options);
    QStringList sentTo;
    for (const char *other : {"http://example.co.uk/", "http://a.b.example.co.uk/", "http://sub.localhost/",
                                 "http://co.uk/", "http://other.uk/", "http://127.0.0.2/"})
        if (book.optionsFor(QUrl(other)).userAgent == options.userAgent)
            sentTo.append(other);
    QTEST(sentTo.join(u' '), "sentTo");
    QCOMPARE(book.optionsFor(QUrl(address)).userAgent, options.userAgent);
    QCOMPARE(SiteBook::fromJson(book.toJson())->toJson(), book.toJson());
}

void TestSiteRequests::cookies_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("subdomain") << "http://www.example.com/gallery/p1.jpg" << QByteArray("a=a-v; sess=sess-v");
    QTest::newRow("host and path") << "http://example.com/gallery/p1.jpg" << QByteArray("a=a-v; b=b-v; sess=sess-v");
    QTest::newRow("path is not a prefix of a name") << "http://example.com/gallery2/p1.jpg" << QByteArray("a=a-v; sess=sess-v");
    QTest::newRow("secure over https") << "https://example.com/p1.jpg" << QByteArray("a=a-v; s=s-v; sess=sess-v");
    QTest::newRow("a domain that only ends alike") << "http://badexample.com/p1.jpg" << QByteArray();
    QTest::newRow("host-only") << "http://other.org/p1.jpg" << QByteArray("c=c-v");
    QTest::newRow("not its subdomain") << "http://www.other.org/p1.jpg" << QByteArray();
    QTest::newRow("under a top-level domain") << "http://shop.test/p1.jpg" << QByteArray();
}

// Both formats, as the jar matches them.
void TestSiteRequests::cookies()
{
    QFETCH(QString, url);
    for (const QString &path : m_cookieFiles) {
        const CookieFile file = readCookieFile(path);
        QCOMPARE(file.error, QString());
        const RunCookieJar jar(file.cookies);
        QList<QByteArray> pairs = jar.headerFor(QUrl(url)).split(';');
        for (QByteArray &pair : pairs)
            pair = pair.trimmed();
        std::sort(pairs.begin(), pairs.end());
        QTEST(pairs.join("; "), "sent");
    }
}

void TestSiteRequests::brokenCookieFile_data()
{
    QTest::addColumn<QByteArray>("content"); // "<none>": no file; "<fifo>", "<folder>": one made there
    QTest::addColumn<QString>("error");      // %1: the path; or the line on cookies left out
    const QString neither = QStringLiteral("'%1' is neither a cookies.txt nor a Firefox cookies.sqlite");
    QTest::newRow("no file") << QByteArray("<none>") << "cannot read the cookies file '%1': No such file or directory";
    QTest::newRow("empty") << QByteArray() << neither;
    QTest::newRow("a letter") << QByteArray("Dear sir,\nplease find\n") << neither;
    QTest::newRow("a bad line") << QByteArray("# Netscape HTTP Cookie File\nh\tFALSE\t/\tFALSE\t0\tn\tv\nh\tFALSE\t/\tno\t0\tn\tv\n")
                                << "'%1' line 3 is not a cookie: a cookies.txt line has 7 fields separated by tabs";
    // Refused at once: neither read for ever nor waited on.
    QTest::newRow("a FIFO") << QByteArray("<fifo>") << "cannot read the cookies file '%1': it is a FIFO, not a file";
    QTest::newRow("a folder") << QByteArray("<folder>") << "cannot read the cookies file '%1': it is a folder";
    QTest::newRow("a corrupt database") << QByteArray("SQLite format 3\0", 16).append(4080, '\x5a')
                                        << "cannot read the cookies file '%1': the cookies database is corrupt";
    QTest::newRow("a device") << QByteArray("/dev/zero") << "cannot read the cookies file '/dev/zero': it is a device, not a file";
    QTest::newRow("a line break in a value, a ';' in a name: left out")
        << QByteArray("# Netscape HTTP Cookie File\nh\tFALSE\t/\tFALSE\t0\tn\tv\rX-Evil: 1\nh\tFALSE\t/\tFALSE\t0\tn;x\tv\n"
                      "h\tFALSE\t/\tFALSE\t0\tn\tv\x7f\n")
        << "left out 3 cookies of '%1': a control character in a name or value, or a ';' in a name";
}

void TestSiteRequests::brokenCookieFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QString path = m_folder.filePath(QTest::currentDataTag());
    if (content == "<fifo>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (content == "<folder>")
        QVERIFY(QDir().mkdir(path));
    else if (content.startsWith("/dev/"))
        path = QString::fromLatin1(content);
    else if (content != "<none>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    const CookieFile file = readCookieFile(path);
    QCOMPARE(file.error.isEmpty() ? file.leftOut : file.error, error.arg(path));
    QVERIFY(file.cookies.isEmpty());
    if (content == "<fifo>" || content == "<folder>" || content.startsWith("/dev/"))
        return;

    // A run reads its file once: mended afterwards, it is not read again
    // by the run's end search or download.
    SiteOptions site;
    site.cookiesFile = path;
    QString leftOut;
    QCOMPARE(readRunCookies(site, &leftOut) + leftOut, error.arg(path));
    QFile::remove(path);
    QVERIFY(QFile::copy(m_cookieFiles.first(), path));
    const SiteOptions copy = site;
    QVERIFY(runCookies(copy).isEmpty());
    site.cookiesRead.reset();
    QCOMPARE(readRunCookies(site), QString());
}

QTEST_GUILESS_MAIN(TestSiteRequests)
#include "test_site_requests.moc"
