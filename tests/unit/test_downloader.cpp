#include "output/downloader.h"
#include "unit/local_http_server.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {
// What one letter of a run's pattern serves: o whole, m 404, g 410, t a body
// cut short, s silence, f a 500 then the body, r a redirect to the body,
// x a file already in the folder.
TestServer::Reply serve(QChar kind, const QString &path, int n)
{
    switch (kind.unicode()) {
    case 'm': return {answer(404, "gone")};
    case 'g': return {answer(410, "gone")};
    case 't': return {"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + bodyOf(path).left(100)};
    case 's': return {};
    case 'f': return {n == 1 ? answer(500, "busy") : answer(200, bodyOf(path))};
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
    DownloadSummary summary;

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
        summary = done.at(0).at(0).value<DownloadSummary>();
        return true;
    }
};

DownloadOptions quick()
{
    DownloadOptions options;
    options.silenceMs = 300;
    options.retryPauseMs = 10;
    return options;
}
} // namespace

Q_DECLARE_METATYPE(DownloadSummary)

class TestDownloader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<DownloadSummary>(); }
    void run_data();
    void run();
    void retryAfterIsWaited();
    void fullDiskKeepsNothing();
    void stopRemovesPartFiles();
};

void TestDownloader::run_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("downloaded");
    QTest::addColumn<int>("alreadyThere");
    QTest::addColumn<int>("missing");
    QTest::addColumn<int>("failed");
    QTest::addColumn<bool>("endOfSeries");

    QTest::newRow("whole files") << "ooooooo" << 7 << 0 << 0 << 0 << false;
    QTest::newRow("a gap of 3 is skipped") << "ooomgmoooo" << 7 << 0 << 3 << 0 << false;
    QTest::newRow("10 missing end the series") << "ooo" + QString(30, u'm') << 3 << 0 << 10 << 0 << true;
    QTest::newRow("a file already there counts in a stretch") << "mmmmmxmmmmmo" << 1 << 1 << 10 << 0 << false;
    QTest::newRow("redirect followed") << "ror" << 3 << 0 << 0 << 0 << false;
    QTest::newRow("a body cut short fails after two retries") << "oto" << 2 << 0 << 0 << 1 << false;
    QTest::newRow("a silent server fails after two retries") << "so" << 1 << 0 << 0 << 1 << false;
    QTest::newRow("a 500 is retried") << "fo" << 2 << 0 << 0 << 0 << false;
    QTest::newRow("a file already there is not fetched") << "oxo" << 2 << 1 << 0 << 0 << false;
}

void TestDownloader::run()
{
    QFETCH(QString, pattern);
    Run r;
    r.server = std::make_unique<TestServer>([&pattern](const QString &path, int n) {
        const int index = path.section(u'/', -1).mid(1).chopped(4).toInt();
        return serve(pattern.at(index), path, n);
    });
    QList<QUrl> urls;
    QStringList expected;
    for (int i = 0; i < pattern.size(); ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        urls.append(r.server->url(name));
        if (pattern[i] == u'x') {
            QFile old(QDir(r.folder.path()).filePath(name));
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        }
    }
    Downloader downloader(quick());
    QVERIFY(r.go(downloader, urls));

    QTEST(r.summary.downloaded, "downloaded");
    QTEST(r.summary.alreadyThere, "alreadyThere");
    QFETCH(int, missing);
    // Transfers under way when a stretch completes may add to it.
    QVERIFY(r.summary.missing >= missing && r.summary.missing <= missing + (r.summary.endOfSeries ? 3 : 0));
    QTEST(r.summary.failed, "failed");
    QTEST(r.summary.endOfSeries, "endOfSeries");
    for (int i = 0; i < pattern.size(); ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        const QChar kind = pattern[i];
        if (kind == u'x') {
            QCOMPARE(r.file(name), QByteArray("old"));
            QVERIFY(!r.server->requests.contains(name));
        } else if (QStringLiteral("ofr").contains(kind)) {
            QCOMPARE(r.file(name), bodyOf(kind == u'r' ? "moved/" + name : name));
        } else {
            QVERIFY2(!r.files().contains(name), qPrintable(name));
        }
        if (kind == u't' || kind == u's')
            QCOMPARE(r.server->requests.value(name).size(), 3);
    }
    for (const QString &name : r.files())
        QVERIFY2(!name.endsWith(QLatin1String(".part")), qPrintable(name));
    // The end of a series: nothing past the stretch and the transfers then
    // under way is asked for.
    if (r.summary.endOfSeries)
        QVERIFY(r.server->requests.size() < 3 + 10 + 4);
}

void TestDownloader::retryAfterIsWaited()
{
    Run r;
    r.server = std::make_unique<TestServer>([](const QString &path, int n) {
        return TestServer::Reply{n == 1 ? answer(503, "later", "Retry-After: 1\r\n") : answer(200, bodyOf(path))};
    });
    Downloader downloader(quick());
    QVERIFY(r.go(downloader, {r.server->url(QStringLiteral("a.png"))}));
    QCOMPARE(r.summary.downloaded, 1);
    const QList<qint64> times = r.server->requests.value(QStringLiteral("a.png"));
    QCOMPARE(times.size(), 2);
    QVERIFY2(times[1] - times[0] >= 950, qPrintable(QString::number(times[1] - times[0])));
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
        QCOMPARE(r.summary.downloaded, 0);
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
    const QString part = QDir(r.folder.path()).filePath(QStringLiteral("slow.jpg.part"));
    QTRY_VERIFY(QFileInfo::exists(part) && r.server->requests.contains(QStringLiteral("slow.jpg"))
                && r.files().contains(QStringLiteral("done.jpg")));
    downloader.stop();
    QCOMPARE(r.files(), QStringList{QStringLiteral("done.jpg")});
    QVERIFY(done.wait(5000));
    const auto summary = done.at(0).at(0).value<DownloadSummary>();
    QVERIFY(summary.stopped);
    QCOMPARE(summary.downloaded, 1);
}

QTEST_GUILESS_MAIN(TestDownloader)
#include "test_downloader.moc"
