#include "runs/download_reasons.h"
#include "runs/downloader.h"
#include "runs/end_finder.h"
#include "runs/downloader_part_file.h"
#include "unit/local_http_server.h"

#include <QDir>
#include <QFile>
#include <QNetworkCookie>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
// What one letter of a run's pattern serves: o whole, m 404, g 410, t a body
// cut short, s silence, f a 500 then the body, r a redirect to the body,
// x a file already in the folder, 0 an empty one, h a web page, e 500 always, w a trickle,
// H too many headers, q a 429 then the body; R 403 without the site's
// Referer, C 403 without the cookie, P the site's placeholder picture, L a
// redirect to it, D a 302 without Location whose body is a page; B two
// Content-Lengths, N a negative one, Y headers a byte at a time, Z a
// compression bomb, U a redirect to a file: address, k 10 bytes of it in
// the folder, W all of it there (both answer Range); O a redirect loop, X a
// redirect to another host, which refuses the first host's cookie; "~"
// first: a wait, "+" first: continue the files there.
TestServer::Reply serve(QChar kind, const QString &path, int n, const QByteArray &request)
{
    const QByteArray host = request.mid(request.indexOf("\r\nHost: ") + 8).split('\r').value(0);
    switch (kind.unicode()) {
    case 'R':
        if (!request.contains("\r\nReferer: http://" + host + "/\r\n"))
            return {answer(403, "hotlinking")};
        return {answer(200, bodyOf(path))};
    case 'C':
        if (!request.contains("\r\nCookie: session=ok\r\n"))
            return {answer(403, "log in")};
        return {answer(200, bodyOf(path))};
    case 'P': return {answer(200, "PLACEHOLDER", "Content-Type: image/png\r\n")};
    case 'L':
        if (path != u"removed.png")
            return {answer(302, {}, "Location: /removed.png\r\n")};
        return {answer(200, "REMOVED", "Content-Type: image/png\r\n")};
    case 'D': return {answer(302, "<html>removed</html>", "Content-Type: text/html\r\n")};
    case 'k':
    case 'W': {
        const QByteArray body = bodyOf(path);
        const qsizetype range = request.indexOf("\r\nRange: bytes=");
        const int from = range < 0 ? 0 : request.mid(range + 15).split('-').first().toInt();
        if (from >= body.size())
            return {answer(416, {})};
        return {answer(from > 0 ? 206 : 200, body.mid(from),
                       "Content-Range: bytes " + QByteArray::number(from) + "-" + QByteArray::number(body.size() - 1) + "/x\r\n")};
    }
    case 'U': return {answer(302, {}, "Location: file:///etc/passwd\r\n")};
    case 'm': return {answer(404, "gone")};
    case 'g': return {answer(410, "gone")};
    case 't': return {"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + bodyOf(path).left(100)};
    case 's': return {};
    case 'f': return {n == 1 ? answer(500, "busy") : answer(200, bodyOf(path))};
    case 'q': return {n == 1 ? answer(429, "slow down", "Retry-After: 0\r\n") : answer(200, bodyOf(path))};
    case 'h': return {answer(200, "<html>no such picture</html>", "Content-Type: text/html; charset=utf-8\r\n")};
    case 'e': return {answer(500, "down")};
    case 'F': return {answer(403, "forbidden")};
    case 'H': {
        QByteArray many;
        for (int i = 0; i < 200; ++i)
            many += "X-Pad-" + QByteArray::number(i) + ": a\r\n";
        return {answer(200, bodyOf(path), many), true};
    }
    case 'B': return {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\nContent-Length: 1000\r\n\r\n" + QByteArray(1000, 'L'), true};
    case 'N': return {"HTTP/1.1 200 OK\r\nContent-Length: -10\r\n\r\n" + QByteArray(1000, 'N'), true};
    case 'Z': {
        static const QByteArray bomb = qCompress(QByteArray(80 << 20, 'Z'), 1).mid(4); // zlib's own stream
        return {"HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n\r\n", true, bomb, 16384, 5};
    }
    case 'Y': return {{}, false, "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", 1, 100};
    case 'w': return {"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n", false, QByteArray(5000, 'w'), 10, 40};
    case 'O': return {answer(302, {}, "Location: /" + (path.startsWith(u"loop/") ? path.mid(5) : "loop/" + path).toUtf8() + "\r\n")};
    case 'X':
        if (host.startsWith("127.0.0.1"))
            return {answer(302, {}, "Location: http://localhost:" + host.split(':').value(1) + "/moved/" + path.toUtf8() + "\r\n")};
        return {request.contains("\r\nCookie:") ? answer(403, "not my cookie") : answer(200, bodyOf(path))};
    case 'r':
        if (!path.startsWith(QLatin1String("moved/")))
            return {answer(301, {}, "Location: /moved/" + path.toUtf8() + "\r\n")};
        return {answer(200, bodyOf(path))};
    default: return {answer(200, bodyOf(path))};
    }
}

struct Run
{
    QTemporaryDir folder;
    std::unique_ptr<TestServer> server;
    RunResult summary;

    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }
    QByteArray file(const QString &name) const
    {
        QFile f(QDir(folder.path()).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool go(Downloader &downloader, const QList<QUrl> &urls)
    {
        QSignalSpy done(&downloader, &Downloader::finished);
        downloader.start(urls, folder.path());
        if (!done.wait(30000))
            return false;
        summary = done.at(0).at(0).value<RunResult>();
        return true;
    }
};

DownloadOptions quick()
{
    DownloadOptions options;
    options.silenceMs = 300;
    options.retryPauseMs = 10;
    options.slowMs = 400;
    return options;
}
} // namespace

Q_DECLARE_METATYPE(RunResult)
Q_DECLARE_METATYPE(EndFound)

class TestDownloader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<RunResult>(); }
    void run_data();
    void run();
    void retryAfterIsWaited_data();
    void retryAfterIsWaited();
    void threeRateLimitsLeaveOneConnection();
    void fullDiskKeepsNothing();
    void stopRemovesPartFiles();
    void endlessBodiesKeepMemoryBounded();
    void twoEnginesOneFolder();
    void longNamesKeepTheirCounter();
    void userInfoStaysOutOfMessages();
    void writeFailure_data();
    void writeFailure();
    void findEnd_data();
    void findEnd();
};

void TestDownloader::run_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("downloaded");
    QTest::addColumn<int>("alreadyThere");
    QTest::addColumn<int>("missing");
    QTest::addColumn<int>("failed");
    QTest::addColumn<bool>("endOfSeries");
    QTest::addColumn<bool>("keptFailing");

    QTest::newRow("whole files") << "ooooooo" << 7 << 0 << 0 << 0 << false << false;
    QTest::newRow("a gap of 3 is skipped") << "ooomgmoooo" << 7 << 0 << 3 << 0 << false << false;
    QTest::newRow("10 missing end the series") << "ooo" + QString(30, u'm') << 3 << 0 << 10 << 0 << true << false;
    QTest::newRow("a file already there counts in a stretch") << "mmmmmxmmmmmo" << 1 << 1 << 10 << 0 << false << false;
    QTest::newRow("redirect followed") << "ror" << 3 << 0 << 0 << 0 << false << false;
    QTest::newRow("to another host, without the cookie") << "XoX" << 3 << 0 << 0 << 0 << false << false;
    QTest::newRow("a redirect loop fails at once") << "oOo" << 2 << 0 << 0 << 1 << false << false;
    QTest::newRow("a body cut short fails after two retries") << "oto" << 2 << 0 << 0 << 1 << false << false;
    QTest::newRow("a silent server fails after two retries") << "so" << 1 << 0 << 0 << 1 << false << false;
    QTest::newRow("a 500 is retried") << "fo" << 2 << 0 << 0 << 0 << false << false;
    QTest::newRow("a file already there is not fetched") << "oxo" << 2 << 1 << 0 << 0 << false << false;
    QTest::newRow("an empty file there is fetched again") << "o0o" << 3 << 0 << 0 << 0 << false << false;
    QTest::newRow("a page for a picture is missing") << "ohoho" << 3 << 0 << 2 << 0 << false << false;
    QTest::newRow("pages for pictures end the series") << "ooo" + QString(30, u'h') << 3 << 0 << 10 << 0 << true << false;
    QTest::newRow("10 failures in a row end the run") << "o" + QString(30, u'e') << 1 << 0 << 0 << 10 << false << true;
    // Not asked on: a site that refuses every file bans the address that keeps asking.
    QTest::newRow("10 refusals in a row end the run") << QString(30, u'F') << 0 << 0 << 0 << 10 << false << false;
    QTest::newRow("a trickle is too slow") << "wo" << 1 << 0 << 0 << 1 << false << false;
    QTest::newRow("too many headers are not silence") << "Ho" << 1 << 0 << 0 << 1 << false << false;
    QTest::newRow("the site's own Referer") << "RRR" << 3 << 0 << 0 << 0 << false << false;
    QTest::newRow("the browser's cookie") << "CCC" << 3 << 0 << 0 << 0 << false << false;
    QTest::newRow("a placeholder picture is missing") << "oPoPP" << 2 << 0 << 3 << 0 << false << false;
    QTest::newRow("placeholders end the series") << "oo" + QString(30, u'P') << 2 << 0 << 10 << 0 << true << false;
    QTest::newRow("a redirect to the placeholder is missing") << "oLoL" << 2 << 0 << 2 << 0 << false << false;
    QTest::newRow("a 302 to nowhere is missing") << "oDoD" << 2 << 0 << 2 << 0 << false << false;
    QTest::newRow("conflicting lengths fail the file") << "Bo" << 1 << 0 << 0 << 1 << false << false;
    QTest::newRow("a negative length fails the file") << "No" << 1 << 0 << 0 << 1 << false << false;
    QTest::newRow("headers a byte at a time are no answer") << "Yo" << 1 << 0 << 0 << 1 << false << false;
    QTest::newRow("a body cut short says how much came") << "to" << 1 << 0 << 0 << 1 << false << false;
    QTest::newRow("a redirect to a file: address fails") << "Uo" << 1 << 0 << 0 << 1 << false << false;
    QTest::newRow("files there in part stay") << "okW" << 1 << 2 << 0 << 0 << false << false;
    QTest::newRow("--continue completes them") << "+okW" << 1 << 1 << 0 << 0 << false << false;
    QTest::newRow("a wait between files, none after the probe") << "~oo" << 2 << 0 << 0 << 0 << false << false;
    QTest::newRow("a compression bomb is refused at once") << "Zo" << 1 << 0 << 0 << 1 << false << false;
}

void TestDownloader::run()
{
    QFETCH(QString, pattern);
    const bool paced = pattern.startsWith(u'~');
    const bool continued = pattern.startsWith(u'+');
    pattern.remove(u'~').remove(u'+');
    // No reply ends twice.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("Internal problem")));
    Run r;
    r.server = std::make_unique<TestServer>([&pattern, &r](const QString &path, int n) {
        const int index = path.section(u'/', -1).mid(1).chopped(4).toInt();
        // Past the run, and the placeholder's own address: as its last file.
        const QChar kind = index < pattern.size() && path != u"removed.png" ? pattern.at(index) : pattern.back();
        return serve(kind, path, n, r.server->lastRequest);
    });
    serve(u'Z', {}, 1, {}); // the bomb is made before the server has to answer at once
    QList<QUrl> urls;
    QStringList expected;
    for (int i = 0; i < pattern.size(); ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        urls.append(r.server->url(name));
        const QByteArray there = QHash<QChar, QByteArray>{{u'x', "old"}, {u'0', ""}, {u'k', bodyOf(name).left(10)},
                                                          {u'W', bodyOf(name)}}.value(pattern[i], "-");
        QFile old(QDir(r.folder.path()).filePath(name));
        QVERIFY(there == "-" || (old.open(QIODevice::WriteOnly) && old.write(there) == there.size()));
    }
    DownloadOptions options = quick();
    // Too many headers are told from silence only once the headers have been
    // read, which a busy machine can hold up past the quick silence; and the
    // silence after them must end before the check for a slow transfer.
    if (pattern.startsWith(u'H')) {
        options.silenceMs = 1000;
        options.slowMs = 5000;
    }
    options.site.waitMs = paced ? 600 : 0;
    options.continueFiles = continued;
    Downloader downloader(options);
    QNetworkCookie session("session", "ok");
    session.setDomain(QStringLiteral("127.0.0.1"));
    session.setPath(QStringLiteral("/"));
    downloader.setCookies({session});
    QVERIFY(r.go(downloader, urls));

    QTEST(r.summary.saved(), "downloaded");
    QCOMPARE(r.summary.completed(), continued ? pattern.count(u'k') : 0);
    QTEST(r.summary.alreadyThere(), "alreadyThere");
    QFETCH(int, missing);
    // Transfers under way when a stretch completes may add to it.
    QVERIFY(r.summary.missing() >= missing && r.summary.missing() <= missing + (r.summary.endOfSeries ? 3 : 0));
    QTEST(r.summary.failed(), "failed");
    QTEST(r.summary.endOfSeries, "endOfSeries");
    QTEST(r.summary.serverKeptFailing, "keptFailing");
    QCOMPARE(r.summary.siteKeptRefusing, pattern.contains(QString(10, u'F')));
    if (pattern.startsWith(u'H'))
        QVERIFY(r.summary.failures.value(0).cause == DownloadFailure::Cause::Unreadable);
    if (pattern.startsWith(u'U') || pattern.startsWith(u't'))
        QCOMPARE(downloadFailureReason(r.summary.failures.value(0), quick()),
                 pattern.startsWith(u'U') ? QStringLiteral("a redirect to a file: address, which is never followed")
                                          : QStringLiteral("the answer ended after 100 of 5000 bytes"));
    const QList<qint64> firsts{r.server->requests.value("p0.jpg").value(0), r.server->requests.value("p1.jpg").value(0)};
    QVERIFY(!paced || (firsts[0] < 400 && firsts[1] - firsts[0] >= 550));
    if (pattern.startsWith(u'L') || pattern.startsWith(u'N'))
        QCOMPARE(downloadFailureReason(r.summary.failures.value(0), quick()),
                 pattern.startsWith(u'L') ? QStringLiteral("the server announced different lengths (10, 1000)")
                                          : QStringLiteral("the server announced a negative length (-10)"));
    if (pattern.startsWith(u'D'))
        QCOMPARE(downloadFailureReason(r.summary.failures.value(0), quick()),
                 QStringLiteral("the server's answer did not come within 1 second (no headers, or not all of them)"));
    if (pattern.startsWith(u'Z')) {
        QCOMPARE(downloadFailureReason(r.summary.failures.value(0), quick()),
                 QStringLiteral("the answer grew past 64 MB while it was decompressed (a compression bomb?)"));
        QCOMPARE(r.server->requests.value(QStringLiteral("p0.jpg")).size(), 1);
    }
    if (pattern.startsWith(u'w'))
        QCOMPARE(downloadFailureReason(r.summary.failures.value(0), quick()),
                 QStringLiteral("too slow: less than 1 KB came in 1 second"));
    for (int i = 0; i < pattern.size(); ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        const QChar kind = pattern[i];
        if (kind == u'x') {
            QCOMPARE(r.file(name), QByteArray("old"));
            QVERIFY(!r.server->requests.contains(name));
        } else if (QStringLiteral("ofrRCX0W").contains(kind) || (kind == u'k' && continued)) {
            QCOMPARE(r.file(name), bodyOf(kind == u'r' || kind == u'X' ? "moved/" + name : name));
        } else if (kind == u'k') {
            QCOMPARE(r.file(name), bodyOf(name).left(10));
        } else {
            QVERIFY2(!r.files().contains(name), qPrintable(name));
        }
        if (kind == u't' || kind == u's' || kind == u'w')
            QCOMPARE(r.server->requests.value(name).size(), 3);
        if (kind == u'O') {
            QCOMPARE(r.server->requests.value(name).size() + r.server->requests.value("loop/" + name).size(), 2);
            QCOMPARE(downloadFailureReason(r.summary.failures.value(0), quick()), QStringLiteral("a redirect loop"));
        }
    }
    for (const QString &name : r.files())
        QVERIFY2(!name.endsWith(QLatin1String(kPartSuffix)), qPrintable(name));
    // The end of a series: nothing past the stretch and the transfers then
    // under way is asked for.
    if (r.summary.endOfSeries)
        QVERIFY(r.server->requests.size() < 3 + 10 + 4 + 1); // and the address that cannot exist
}

void TestDownloader::retryAfterIsWaited_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("503") << 503;
    QTest::newRow("429") << 429;
}

void TestDownloader::retryAfterIsWaited()
{
    QFETCH(int, status);
    Run r;
    r.server = std::make_unique<TestServer>([status](const QString &path, int n) {
        return TestServer::Reply{n == 1 ? answer(status, "later", "Retry-After: 1\r\n") : answer(200, bodyOf(path))};
    });
    Downloader downloader(quick());
    QSignalSpy waits(&downloader, &Downloader::serverAsksToWait);
    QVERIFY(r.go(downloader, {r.server->url(QStringLiteral("a.png"))}));
    QCOMPARE(r.summary.saved(), 1);
    const QList<qint64> times = r.server->requests.value(QStringLiteral("a.png"));
    QCOMPARE(times.size(), 2);
    QVERIFY2(times[1] - times[0] >= 950, qPrintable(QString::number(times[1] - times[0])));
    QCOMPARE(waits.size(), 1);
    QCOMPARE(waits[0][0].toLongLong(), 1000);
}

// 429s leave one connection to the server: each retry, and each file after
// them, starts once the one before it has come in, until a file that was
// never answered 429 has come in.
void TestDownloader::threeRateLimitsLeaveOneConnection()
{
    Run r;
    r.server = std::make_unique<TestServer>([](const QString &path, int n) {
        if (n == 1 && path < QLatin1String("p3.jpg"))
            return TestServer::Reply{answer(429, "later", "Retry-After: 0\r\n")};
        const QByteArray body = bodyOf(path);
        return TestServer::Reply{"HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n",
                                 false, body, 100, 20};
    });
    QList<QUrl> urls;
    for (int i = 0; i < 8; ++i)
        urls.append(r.server->url(QStringLiteral("p%1.jpg").arg(i)));
    DownloadOptions options = quick();
    options.silenceMs = 2000;
    Downloader downloader(options);
    QVERIFY(r.go(downloader, urls));
    QCOMPARE(r.summary.saved(), 8);
    const auto asked = [&r](int file, int time) {
        return r.server->requests.value(QStringLiteral("p%1.jpg").arg(file)).value(time);
    };
    QList<qint64> retries{asked(0, 1), asked(1, 1), asked(2, 1), asked(4, 0), asked(5, 0)};
    std::sort(retries.begin(), retries.end());
    for (int i = 1; i < retries.size(); ++i)
        QVERIFY2(retries[i] - retries[i - 1] >= 100, qPrintable(QStringLiteral("%1 ms apart").arg(retries[i] - retries[i - 1])));
    // p4 came in without a 429: the rest go together.
    QVERIFY2(asked(7, 0) - asked(5, 0) < 60, qPrintable(QStringLiteral("%1 ms apart").arg(asked(7, 0) - asked(5, 0))));
}

void TestDownloader::fullDiskKeepsNothing()
{
    // The process may write no file beyond 4 KB: a disk that fills up there.
    // A body smaller than the file's buffer fails only at the final flush.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (int size : {6000, 200000}) {
        Run r;
        r.server = std::make_unique<TestServer>(
            [size](const QString &, int) { return TestServer::Reply{answer(200, QByteArray(size, 'b'))}; });
        rlimit small = old;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        Downloader downloader(quick());
        const bool ended = r.go(downloader, {r.server->url(QStringLiteral("big.bin"))});
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(ended);
        QVERIFY(!r.summary.writeError.isEmpty());
        QCOMPARE(r.summary.saved(), 0);
        QCOMPARE(r.files(), QStringList());
    }
    std::signal(SIGXFSZ, oldHandler);
}

void TestDownloader::stopRemovesPartFiles()
{
    Run r;
    r.server = std::make_unique<TestServer>([](const QString &path, int) {
        if (path == QLatin1String("done.jpg"))
            return TestServer::Reply{answer(200, "whole")};
        return TestServer::Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + QByteArray(1000, 'a'), true};
    });
    Downloader downloader(quick());
    QSignalSpy done(&downloader, &Downloader::finished);
    downloader.start({r.server->url(QStringLiteral("done.jpg")), r.server->url(QStringLiteral("slow.jpg"))},
                     r.folder.path());
    const QString part = QDir(r.folder.path()).filePath(QStringLiteral("slow.jpg.serimo-part"));
    QTRY_VERIFY(QFileInfo::exists(part) && r.server->requests.contains(QStringLiteral("slow.jpg"))
                && r.files().contains(QStringLiteral("done.jpg")));
    downloader.stop();
    QCOMPARE(r.files(), QStringList{QStringLiteral("done.jpg")});
    QVERIFY(done.wait(5000));
    const auto summary = done.at(0).at(0).value<RunResult>();
    QVERIFY(summary.stopped);
    QCOMPARE(summary.saved(), 1);
}

void TestDownloader::endlessBodiesKeepMemoryBounded()
{
    EndlessServer server;
    Run r;
    Downloader downloader(quick());
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    downloader.start({server.url("a.bin"), server.url("b.bin"), server.url("c.bin"), server.url("d.bin")},
                     r.folder.path());
    QTest::qWait(3000);
    qint64 written = 0;
    for (const QFileInfo &part : QDir(r.folder.path()).entryInfoList(QDir::Files))
        written += part.size();
    downloader.stop();
#ifndef __SANITIZE_ADDRESS__
    // The address sanitizer's allocator keeps freed memory in quarantine, so
    // resident memory tells something only with the real allocator.
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const long grown = after.ru_maxrss - before.ru_maxrss;
    QVERIFY2(grown < 64 * 1024, qPrintable(QStringLiteral("%1 KiB more").arg(grown)));
#endif
    QVERIFY2(written > 20 * 1024 * 1024, qPrintable(QString::number(written)));
    QCOMPARE(r.files(), QStringList());
}

void TestDownloader::twoEnginesOneFolder()
{
    Run r;
    r.server = std::make_unique<TestServer>([](const QString &path, int) {
        if (path.contains(QLatin1String("987654321"))) // the address that cannot exist
            return TestServer::Reply{answer(404, "no")};
        const QByteArray body = bodyOf(path).repeated(20000).left(2 * 1024 * 1024);
        return TestServer::Reply{"HTTP/1.1 200 OK\r\nContent-Length: 2097152\r\n\r\n", false, body, 64 * 1024, 15};
    });
    const QList<QUrl> urls{r.server->url("one.jpg"), r.server->url("two.jpg")};
    // A partial file of Serimo's that nobody holds, left by a run that was
    // killed, is replaced; a browser's "<name>.part" stays as it is.
    QFile stale(QDir(r.folder.path()).filePath("two.jpg.serimo-part"));
    QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("stale") == 5);
    stale.close();
    QFile browsers(QDir(r.folder.path()).filePath("one.jpg.part"));
    QVERIFY(browsers.open(QIODevice::WriteOnly) && browsers.write("another program's") == 17);
    browsers.close();
    Downloader first(quick());
    Downloader second(quick());
    QSignalSpy firstDone(&first, &Downloader::finished);
    first.start(urls, r.folder.path());
    QTRY_COMPARE(r.files().size(), 3);
    QVERIFY(r.go(second, urls));
    QCOMPARE(r.summary.failed(), 2);
    QVERIFY(r.summary.failures.value(1).cause == DownloadFailure::Cause::Elsewhere);
    QVERIFY(firstDone.wait(10000));
    QCOMPARE(firstDone.at(0).at(0).value<RunResult>().saved(), 2);
    QCOMPARE(r.files(), (QStringList{"one.jpg", "one.jpg.part", "two.jpg"}));
    QCOMPARE(r.file("two.jpg"), bodyOf("two.jpg").repeated(20000).left(2 * 1024 * 1024));
    QCOMPARE(r.file("one.jpg.part"), QByteArray("another program's"));
}

void TestDownloader::longNamesKeepTheirCounter()
{
    Run r;
    r.server = std::make_unique<TestServer>([](const QString &path, int) { return TestServer::Reply{answer(200, bodyOf(path))}; });
    Downloader downloader(quick());
    for (int from : {1, 4}) {
        QVERIFY(r.go(downloader, {r.server->url(QString(300, u'a') + QStringLiteral("00%1.jpg").arg(from)),
                                  r.server->url(QString(300, u'a') + QStringLiteral("00%1.jpg").arg(from + 1))}));
        QCOMPARE(r.summary.saved(), 2);
    }
    const QStringList files = r.files();
    for (int n : {1, 2, 4, 5})
        QVERIFY(files.value(n - 1 - n / 4).endsWith(QStringLiteral("00%1.jpg").arg(n)));
}

void TestDownloader::userInfoStaysOutOfMessages()
{
    Run r;
    r.server = std::make_unique<TestServer>([&r](const QString &, int) {
        // The name and password still reach the server.
        if (r.server->lastRequest.contains("Authorization: Basic " + QByteArray("alice:s3cret").toBase64()))
            return TestServer::Reply{answer(500, "down")};
        return TestServer::Reply{answer(401, "who", "WWW-Authenticate: Basic realm=\"x\"\r\n")};
    });
    QUrl url = r.server->url("e500/f001.jpg");
    url.setUserInfo("alice:s3cret");
    Downloader downloader(quick());
    QVERIFY(r.go(downloader, {url}));
    QCOMPARE(r.summary.failed(), 1);
    const DownloadFailure failure = r.summary.failures.value(0);
    QCOMPARE(failure.status, 500);
    const QString shown = failure.url.toString() + downloadFailureReason(failure, quick());
    QVERIFY2(!shown.contains("alice") && !shown.contains("s3cret"), qPrintable(shown));
}

void TestDownloader::writeFailure_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder gone") << "gone" << "the folder %1 is gone";
    QTest::newRow("not allowed") << "closed" << "writing into the folder %1 is not allowed";
    QTest::newRow("a name the disk refuses") << "deep" << "the name is too long for the folder %1";
}

void TestDownloader::writeFailure()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    Run r;
    r.server = std::make_unique<TestServer>([](const QString &path, int) { return TestServer::Reply{answer(200, bodyOf(path))}; });
    QString folder = r.folder.path();
    if (kind == QLatin1String("gone"))
        folder += "/gone";
    // A folder so deep that a long name makes too long a path.
    while (kind == QLatin1String("deep") && folder.size() < 3800) {
        folder += u'/' + QString(200, u'd');
        QVERIFY(QDir().mkdir(folder));
    }
    const bool closed = kind == QLatin1String("closed");
    if (closed) {
        QVERIFY(chmod(QFile::encodeName(folder).constData(), 0500) == 0);
        setfsuid(geteuid() == 0 ? 65534 : geteuid());
    }
    Downloader downloader(quick());
    QSignalSpy done(&downloader, &Downloader::finished);
    downloader.start({r.server->url("short.jpg"), r.server->url(QString(240, u'n') + ".jpg")}, folder);
    const bool ended = done.wait(10000);
    setfsuid(geteuid());
    QVERIFY(ended);
    const auto summary = done.at(0).at(0).value<RunResult>();
    if (kind == QLatin1String("deep")) {
        // Only the file whose name the disk refuses fails.
        QVERIFY(summary.writeError.isEmpty());
        QCOMPARE(summary.saved(), 1);
        QCOMPARE(downloadFailureReason(summary.failures.value(0), quick()), reason.arg(folder));
    } else {
        QCOMPARE(summary.writeError, reason.arg(folder));
    }
}

// The search for a series' end reads answers as a download does.
void TestDownloader::findEnd_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QChar>("past"); // what the server answers past the pattern
    QTest::addColumn<int>("outcome");
    QTest::addColumn<qint64>("end");
    const int found = int(EndFound::Outcome::Found);
    QTest::newRow("a gap") << "oooomoo" << QChar(u'm') << found << qint64(6);
    QTest::newRow("pages for pictures are missing") << "oooo" + QString(12, u'h') << QChar(u'm') << found << qint64(3);
    QTest::newRow("a 500 and a 429 are asked again") << "ofqo" << QChar(u'm') << found << qint64(3);
    QTest::newRow("a server that keeps failing") << "oeo" << QChar(u'm') << int(EndFound::Outcome::Failed) << qint64(-1);
    QTest::newRow("nothing there") << "m" << QChar(u'm') << int(EndFound::Outcome::NothingThere) << qint64(-1);
    QTest::newRow("the site's placeholder is missing") << "oooomoo" << QChar(u'P') << found << qint64(6);
    QTest::newRow("redirects to the placeholder are missing") << "ooooo" << QChar(u'L') << found << qint64(4);
    QTest::newRow("30 on a site with a placeholder, within the budget") << QString(30, u'o') << QChar(u'P') << found << qint64(29);
    QTest::newRow("nothing there but a placeholder") << "P" << QChar(u'P') << int(EndFound::Outcome::NothingThere) << qint64(-1);
}

void TestDownloader::findEnd()
{
    QFETCH(QString, pattern);
    QFETCH(QChar, past);
    TestServer server([&pattern, past](const QString &path, int n) {
        const int index = path.mid(1).chopped(4).toInt();
        const QChar kind = path == u"removed.png" ? u'L' : index < pattern.size() ? pattern.at(index) : past;
        return serve(kind, path, n, {});
    });
    EndFinder finder;
    QSignalSpy done(&finder, &EndFinder::finished);
    finder.start([&server](qint64 index) { return std::optional(server.url(QStringLiteral("p%1.jpg").arg(index))); });
    QVERIFY(done.wait(30000));
    const EndFound found = done.at(0).at(0).value<EndFound>();
    QTEST(int(found.outcome), "outcome");
    QTEST(found.end, "end");
    if (past == u'P' && !pattern.contains(u'm')) // the placeholder's GET once, its probe included
        QVERIFY2(found.requests <= 2 * std::ceil(std::log2(found.end + 2)) + 14, qPrintable(QString::number(found.requests)));
    // Every request counts, those asked again too; once the end is found
    // none is left under way. (Where redirects are followed, the network
    // library may send one again on a new connection unseen.)
    int asked = 0;
    for (const QList<qint64> &times : server.requests)
        asked += int(times.size());
    if (found.outcome == EndFound::Outcome::Found && past != u'L')
        QCOMPARE(found.requests, asked);
    if (found.outcome == EndFound::Outcome::Failed)
        QCOMPARE(found.failure, "the server answered HTTP 500 for " + server.url("p1.jpg").toString());
}

QTEST_GUILESS_MAIN(TestDownloader)
#include "test_downloader.moc"
