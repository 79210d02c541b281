#include "runs/download_address.h"
#include "runs/download_names.h"
#include "runs/download_retry.h"
#include "runs/run_summary.h"
#include "runs/placeholder.h"
#include "series/run_list.h"

#include <QTest>
#include <QTimeZone>

class TestDownloadRules : public QObject
{
    Q_OBJECT
private slots:
    void fileName_data();
    void fileName();
    void namesOfRun_data();
    void namesOfRun();
    void typedAddress_data();
    void typedAddress();
    void retryPause_data();
    void retryPause();
    void retryAfter_data();
    void retryAfter();
    void runSummary_data();
    void runSummary();
    void missingCounters_data();
    void missingCounters();
    void placeholder_data();
    void placeholder();
    void impossibleAddress_data();
    void impossibleAddress();
    void engineWording_data();
    void engineWording();
};

void TestDownloadRules::fileName_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    const QString base = QStringLiteral("http://www.example.com/a/");
    QTest::newRow("plain") << base + "pic001.jpg" << "pic001.jpg";
    QTest::newRow("percent-decoded") << base + "caf%C3%A9%20001.jpg" << QString::fromUtf8("café 001.jpg");
    QTest::newRow("query and fragment left out") << base + "p1.png?size=2#top" << "p1.png";
    QTest::newRow("encoded slashes climbing out") << base + "..%2F..%2Fetc%2Fpasswd" << "_._.._etc_passwd";
    QTest::newRow("backslash") << base + "a%5Cb.jpg" << "a_b.jpg";
    QTest::newRow("NUL") << base + "a%00b.jpg" << "a_b.jpg";
    QTest::newRow("control characters") << base + "%0A%1Fx%7F" << "__x_";
    QTest::newRow("hidden") << base + ".hidden" << "_hidden";
    QTest::newRow("dot") << base + "%2E" << "_";
    QTest::newRow("dot dot") << base + "%2E%2E" << "_.";
    QTest::newRow("empty") << base << "download";
    QTest::newRow("no path") << "http://www.example.com" << "download";
    for (const QChar c : QStringLiteral(":*?\"<>|"))
        QTest::newRow(qPrintable(QStringLiteral("refused %1").arg(c)))
            << base + "a" + QUrl::toPercentEncoding(c) + "b.jpg" << "a_b.jpg";
    QTest::newRow("300 bytes, counter and extension kept")
        << base + QString(300, u'a') + "001.jpg" << QString(118, u'a') + "…" + QString(115, u'a') + "001.jpg";
    QTest::newRow("300 bytes, counter in the middle kept") << base + QString(150, u'a') + "007" + QString(150, u'b') + ".png"
                                                           << QString(83, u'a') + "…007" + QString(150, u'b') + ".png";
    // 2-byte characters are never cut in half.
    QTest::newRow("300 bytes of 2-byte characters")
        << base + QString(150, QChar(0xe9)) << QString(60, QChar(0xe9)) + "…" + QString(60, QChar(0xe9));
}

void TestDownloadRules::fileName()
{
    QFETCH(QString, url);
    QTEST(downloadFileName(QUrl(url)), "name");
}

void TestDownloadRules::namesOfRun_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("distinct last segments") << QStringList{"a/p1.jpg?w=8", "a/p2.jpg?w=8"} << QStringList{"p1.jpg", "p2.jpg"};
    QTest::newRow("counter in the query") << QStringList{"list?page=1", "list?page=2"}
                                          << QStringList{"list_page=1", "list_page=2"};
    QTest::newRow("counter in the query, extension kept")
        << QStringList{"x/img.jpg?id=7&s=a%20b", "x/img.jpg?id=8&s=a%20b"}
        << QStringList{"x_img_id=7&s=a b.jpg", "x_img_id=8&s=a b.jpg"};
    QTest::newRow("counter in a folder") << QStringList{"page/7/index.jpg", "page/8/index.jpg"}
                                         << QStringList{"page_7_index.jpg", "page_8_index.jpg"};
    // After "|": the answer's Content-Type.
    QTest::newRow("a script's pictures take their type's extension")
        << QStringList{"image.php?id=0995&size=full|image/jpeg", "image.php?id=0996&size=full|image/jpeg; q=1",
                       "view?id=7|IMAGE/WEBP", "view?id=8|text/html", "a.jpg|image/png"}
        << QStringList{"image_id_0995_size_full.jpg", "image_id_0996_size_full.jpg", "view_id_7.webp", "view_id=8",
                       "a.jpg"};
    QTest::newRow("still the same, numbered") << QStringList{"view?id=1", "view?id=2", "a.jpg", "b/a.jpg", "a%20(2).jpg", "a.jpg#x", "A.JPG"}
        << QStringList{"view_id=1", "view_id=2", "a.jpg", "b_a.jpg", "a (2).jpg", "a (3).jpg", "A (4).JPG"};
}

void TestDownloadRules::namesOfRun()
{
    QFETCH(QStringList, paths);
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl("http://www.example.com/" + path.section(u'|', 0, 0)));
    QStringList names = downloadFileNames(urls);
    for (qsizetype i = 0; i < paths.size(); ++i)
        names[i] = paths[i].contains(u'|') ? nameForAnswer(names[i], paths[i].section(u'|', 1)) : names[i];
    QTEST(names, "names");
}

void TestDownloadRules::typedAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("url"); // or why it is refused
    QTest::newRow("a space in the query") << "h/x001.jpg?q=a b" << "http://h/x001.jpg?q=a%20b";
    QTest::newRow("a bare percent") << "http://h/x2.jpg?off=5%" << "http://h/x2.jpg?off=5%25";
    QTest::newRow("another scheme") << "ftp://h/x.jpg"
                                    << "only http and https addresses can be downloaded: 'ftp://h/x.jpg'";
    QTest::newRow("no host") << "http:///x.jpg" << "this address names no server to download from: 'http:///x.jpg'";
    // Named as it is, without its password, and cut short.
    const QString longHost = "http://alice:pw@" + QString(120 * 1024, u'a') + ".example/x1.jpg";
    const QString badHost = "no server can have the host name of this address (too long, or characters a host name "
                            "cannot hold): '%1'";
    QTest::newRow("a 120 KB host name") << longHost << badHost.arg("http://" + QString(193, u'a') + u'\u2026');
    QTest::newRow("a host name a server cannot have") << "http://a b@h<>/x1.jpg" << badHost.arg("http://h<>/x1.jpg");
}

void TestDownloadRules::typedAddress()
{
    QFETCH(QString, typed);
    const RunAddresses addresses = runAddresses({typed});
    QTEST(addresses.problem == WebAddress::Problem::None
              ? QString::fromUtf8(addresses.urls.value(0).toEncoded())
              : addressProblemMessage(addresses, AddressUse::Download, MessageStyle::Terminal),
          "url");
}

void TestDownloadRules::retryPause_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("retriesSoFar");
    QTest::addColumn<qint64>("retryAfter"); // -1: none sent
    QTest::addColumn<qint64>("pause");      // -1: no more attempts

    QTest::newRow("200") << 200 << 0 << qint64(-1) << qint64(-1);
    QTest::newRow("404 is missing, not retried") << 404 << 0 << qint64(-1) << qint64(-1);
    QTest::newRow("410") << 410 << 0 << qint64(-1) << qint64(-1);
    QTest::newRow("403 fails") << 403 << 0 << qint64(-1) << qint64(-1);
    QTest::newRow("503 waits Retry-After") << 503 << 0 << qint64(7) << qint64(7000);
    QTest::newRow("429 waits at most 120 s") << 429 << 0 << qint64(3600) << qint64(120000);
    QTest::newRow("503 without Retry-After") << 503 << 0 << qint64(-1) << qint64(1000);
    QTest::newRow("503 without Retry-After, third time") << 503 << 2 << qint64(-1) << qint64(4000);
    QTest::newRow("429 Retry-After again") << 429 << 2 << qint64(1) << qint64(1000);
    QTest::newRow("503 not a fourth time") << 503 << 3 << qint64(1) << qint64(-1);
    QTest::newRow("500 first retry") << 500 << 0 << qint64(-1) << qint64(1000);
    QTest::newRow("502 second retry, longer") << 502 << 1 << qint64(-1) << qint64(2000);
    QTest::newRow("500 not a third time") << 500 << 2 << qint64(-1) << qint64(-1);
}

void TestDownloadRules::retryPause()
{
    QFETCH(int, status);
    QFETCH(int, retriesSoFar);
    QFETCH(qint64, retryAfter);
    QFETCH(qint64, pause);
    const auto given = retryAfter < 0 ? std::nullopt : std::optional(retryAfter);
    QCOMPARE(retryPauseMs(resultOfStatus(status), retriesSoFar, given, 1000).value_or(-1), pause);
}

void TestDownloadRules::retryAfter_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<qint64>("seconds"); // -1: none
    QTest::newRow("seconds") << QByteArray(" 120 ") << qint64(120);
    QTest::newRow("date") << QByteArray("Sun, 06 Nov 1994 08:49:57 GMT") << qint64(20);
    QTest::newRow("date passed") << QByteArray("Sun, 06 Nov 1994 08:49:00 GMT") << qint64(0);
    QTest::newRow("negative") << QByteArray("-5") << qint64(-1);
    QTest::newRow("garbage") << QByteArray("soon") << qint64(-1);
    QTest::newRow("absent") << QByteArray() << qint64(-1);
}

void TestDownloadRules::retryAfter()
{
    QFETCH(QByteArray, value);
    const QDateTime now(QDate(1994, 11, 6), QTime(8, 49, 37), QTimeZone::utc());
    QTEST(retryAfterSeconds(value, now).value_or(-1), "seconds");
}

QTEST_GUILESS_MAIN(TestDownloadRules)
#include "test_download_rules.moc"

void TestDownloadRules::runSummary_data()
{
    // One letter a file: Saved, Already there, Missing, Failed, - not tried;
    // after a "!" the site kept refusing.
    QTest::addColumn<QString>("outcomes");
    QTest::addColumn<bool>("endOfSeries");
    QTest::addColumn<QString>("summary"); // the lines, then the status text, joined by "|"
    const QString gallery = QStringLiteral("SSSSMSSSSSSSMMSSSSSSSSSSSSSSSMMMSSSSSSSSSSSSSSSMMMMMMMMMM---");
    QTest::newRow("gaps as ranges, tries past the end left out")
        << gallery << true
        << "Saved 41 files to ~/Pictures/set.|The series ends at img_047.jpg.|Missing: 005, 013\u2013014, "
           "030\u2013032.|Saved 41, series ends at 047";
    QTest::newRow("nothing missing, some there already")
        << "AASMMMMMMMMMM" << true
        << "Saved 1 file to ~/Pictures/set.|2 files were there already.|The series ends at img_003.jpg.|"
           "Nothing is missing.|Saved 1, 2 already there, series ends at 003";
    QTest::newRow("files completed") << "CCSMMMMMMMMMM" << true << "Saved 1 file to ~/Pictures/set.|2 files completed.|The series ends at img_003.jpg.|Nothing is missing.|Saved 1, series ends at 003";
    QTest::newRow("failures: the first five named")
        << "FSFFFFFMMMMMMMMMM" << true
        << "Saved 1 file to ~/Pictures/set.|The series ends at img_002.jpg.|Failed: 6 files.|"
           "  img_001.jpg: HTTP 403|  img_003.jpg: HTTP 403|  img_004.jpg: HTTP 403|  img_005.jpg: HTTP 403|"
           "  img_006.jpg: HTTP 403|  and 1 more.|Saved 1, 6 failed, series ends at 002";
    QTest::newRow("a site that kept refusing: the hint first")
        << "!SFFFFFFFFFF--" << false
        << "The site refused 10 files in a row: it may want its own page as the Referer, or the browser's cookies "
           "(Download options, or --referer and --load-cookies).|Saved 1 file to ~/Pictures/set.|Failed: 10 files.|"
           "  img_002.jpg: HTTP 403|  img_003.jpg: HTTP 403|  img_004.jpg: HTTP 403|  img_005.jpg: HTTP 403|"
           "  img_006.jpg: HTTP 403|  and 5 more.|Stopped. Saved 1, 10 failed";
    QTest::newRow("failures named in address order, not as they ended")
        << "SFFFFFFMMMMMMMMMM" << true
        << "Saved 1 file to ~/Pictures/set.|The series ends at img_001.jpg.|Failed: 6 files.|"
           "  img_002.jpg: HTTP 403|  img_003.jpg: HTTP 403|  img_004.jpg: HTTP 403|  img_005.jpg: HTTP 403|"
           "  img_006.jpg: HTTP 403|  and 1 more.|Saved 1, 6 failed, series ends at 001";
    QTest::newRow("one of each: singular forms")
        << "ASF" << false
        << "Saved 1 file to ~/Pictures/set.|1 file was there already.|Failed: 1 file.|"
           "  img_003.jpg: HTTP 403|Saved 1, 1 already there, 1 failed";
    QTest::newRow("nothing found, said first") << "MMMMMMMMMM" << true
        << "Nothing was found: no file of the run is on the server.|Saved 0";
    QTest::newRow("gaps of a run that found nothing") << "MMM" << false
        << "Nothing was found: no file of the run is on the server.|Missing: 001\u2013003.|Saved 0";
}

// The summary a person reads: a gallery of img_001.jpg to img_N.jpg in
// ~/Pictures/set.
void TestDownloadRules::runSummary()
{
    QFETCH(QString, outcomes);
    QFETCH(bool, endOfSeries);
    RunResult result;
    result.siteKeptRefusing = outcomes.startsWith(u'!');
    outcomes.remove(u'!');
    const QHash<QChar, FileOutcome> kinds{{u'S', FileOutcome::Saved}, {u'A', FileOutcome::AlreadyThere},
                                          {u'M', FileOutcome::Missing}, {u'F', FileOutcome::Failed}, {u'C', FileOutcome::Completed}};
    RunContext context;
    context.target.folder = QStringLiteral("/home/u/Pictures/set/");
    result.endOfSeries = endOfSeries;
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        const QString counter = QStringLiteral("%1").arg(i + 1, 3, 10, QChar(u'0'));
        context.counters.append(counter);
        context.names.append("img_" + counter + ".jpg");
        result.outcomes.append(kinds.value(outcomes[i], FileOutcome::NotTried));
        if (outcomes[i] == u'F') {
            DownloadFailure failure;
            failure.index = int(i);
            failure.cause = DownloadFailure::Cause::HttpStatus;
            failure.status = 403;
            result.failures.append(failure);
        }
    }
    // The transfers ended last to first.
    if (QByteArray(QTest::currentDataTag()).contains("address order"))
        std::reverse(result.failures.begin(), result.failures.end());
    QTEST((runSummaryLines(result, context, QStringLiteral("/home/u")) << runStatusText(result, context)).join(u'|'),
          "summary");
}

void TestDownloadRules::missingCounters_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("missing");
    QTest::newRow("found counter") << "http://h/pic008.jpg" << "Missing: 009.";
    QTest::newRow("chosen counter before another number") << "http://h/p[008]_v2.jpg" << "Missing: 009.";
    QTest::newRow("chosen counter in a folder") << "http://h/s/[8]/a1.jpg" << "Missing: 9.";
}

// The missing files are named by the counter the run steps, also when the
// user chose it.
void TestDownloadRules::missingCounters()
{
    QFETCH(QString, first);
    RunContext context;
    context.target.folder = QStringLiteral("/d");
    context.counters = listedRun(first, QStringLiteral("3")).counters;
    RunResult result;
    result.outcomes = {FileOutcome::Saved, FileOutcome::Missing, FileOutcome::Saved};
    const QStringList lines = runSummaryLines(result, context, QString());
    QTEST(lines.filter(QStringLiteral("Missing")).value(0), "missing");
}

void TestDownloadRules::placeholder_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("finalUrl");
    QTest::addColumn<QString>("type");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("probed"); // the placeholder below was kept
    QTest::addColumn<bool>("missing");
    const QString a = QStringLiteral("http://h/g/a7.jpg");
    const QString removed = QStringLiteral("http://h/removed.png");
    QTest::newRow("a picture") << a << a << "image/jpeg" << 5LL << QByteArray("JPEG!") << true << false;
    QTest::newRow("the placeholder's body") << a << a << "image/png" << 4LL << QByteArray("gone") << true << true;
    QTest::newRow("same body, no placeholder kept") << a << a << "image/png" << 4LL << QByteArray("gone") << false << false;
    QTest::newRow("same length, other body") << a << a << "image/png" << 4LL << QByteArray("GONE") << true << false;
    QTest::newRow("redirected where the placeholder was") << a << removed << "image/png" << -1LL << QByteArray() << true << true;
    QTest::newRow("redirected to a page") << "http://h/p/7" << "http://h/" << "text/html" << -1LL << QByteArray() << false << true;
    QTest::newRow("a page for a picture") << a << a << "Text/HTML; charset=utf-8" << -1LL << QByteArray() << false << true;
    QTest::newRow("a page for a page") << "http://h/p7.html" << "http://h/p7.html" << "text/html" << -1LL << QByteArray()
                                       << false << false;
}

void TestDownloadRules::placeholder()
{
    QFETCH(QString, asked);
    QFETCH(QString, finalUrl);
    QFETCH(QString, type);
    QFETCH(qint64, length);
    QFETCH(QByteArray, body);
    QFETCH(bool, probed);
    std::optional<Placeholder> kept;
    if (probed)
        kept = Placeholder{QUrl("http://h/removed.png"), 4, QCryptographicHash::hash("gone", kPlaceholderHash)};
    const bool head = answersMissing(QUrl(asked), QUrl(finalUrl), type, kept);
    const bool whole = length >= 0 && mayBePlaceholder(length, kept)
                       && isPlaceholderBody(length, QCryptographicHash::hash(body, kPlaceholderHash), kept);
    QTEST(head || whole, "missing");
}

void TestDownloadRules::impossibleAddress_data()
{
    QTest::addColumn<QStringList>("run");
    QTest::addColumn<QString>("address");
    QTest::newRow("digits") << QStringList{"http://h/p8.jpg", "http://h/p11.jpg"} << "http://h/p987654321.jpg";
    QTest::newRow("shared leading digit") << QStringList{"http://h/p10.jpg?s=1", "http://h/p19.jpg?s=1"}
                                          << "http://h/p1987654321.jpg?s=1";
    QTest::newRow("letter") << QStringList{"http://h/picy.jpg", "http://h/picz.jpg"} << "http://h/pic987654321.jpg";
    QTest::newRow("one address") << QStringList{"http://h/p8.jpg"} << "";
}

void TestDownloadRules::impossibleAddress()
{
    QFETCH(QStringList, run);
    QList<QUrl> urls;
    for (const QString &url : run)
        urls.append(QUrl(url));
    QTEST(::impossibleAddress(urls).toString(), "address");
}

void TestDownloadRules::engineWording_data()
{
    QTest::addColumn<bool>("atAddress");
    QTest::addColumn<bool>("eachFile");
    QTest::addColumn<QString>("folder");
    // Sending, accepted, progress, refused, stopped answering, status and
    // the summary's first line, joined by "|".
    QTest::addColumn<QString>("wording");
    const QString at = QStringLiteral("E at http://h:6800/jsonrpc");
    QTest::newRow("runs in Serimo") << false << true << "/home/u/d"
                                    << "||Downloading 1 of 4|E did not take the run: m|E stopped answering: m|"
                                       "Saved 1|Saved 1 file to ~/d.";
    QTest::newRow("daemon at an address, its own folder")
        << true << true << ""
        << "Sending 4 URLs to " + at + "|" + at + " took 4 URLs; it goes on downloading if Serimo closes.|"
               "E: 0 of 4 done|" + at + " did not take the run: m|" + at + " stopped answering: m|Saved 1|"
               "Saved 1 file to E's own folder.";
    QTest::newRow("handed over whole") << false << false << "/home/u/d"
                                       << "Sending 4 URLs to E||Downloading 1 of 4|E did not take the run: m|"
                                          "E stopped answering: m|"
                                          "E took 1 of 4 URLs|";
}

// What the window and the terminal say of a run follows where its engine
// runs and whether it reports each file, never the engine's name.
void TestDownloadRules::engineWording()
{
    QFETCH(bool, atAddress);
    QFETCH(bool, eachFile);
    RunContext context;
    context.engine.name = QStringLiteral("E");
    context.engine.place = atAddress ? EngineDescription::Place::Address : EngineDescription::Place::ThisMachine;
    context.engine.reportsEachFile = eachFile;
    QFETCH(QString, folder);
    context.target = {folder, QStringLiteral("http://h:6800/jsonrpc"), QStringLiteral("s3cret")};
    context.names = QStringList{"a1", "a2", "a3", "a4"};
    RunResult result;
    result.outcomes = QList<FileOutcome>(4, FileOutcome::NotTried);
    result.outcomes[0] = eachFile ? FileOutcome::Saved : FileOutcome::HandedOver;
    const QStringList said{runSendingText(context, 4), runAcceptedText(context, 4), runProgressText(context, 0, 4),
                           runRefusedText(context, "m", false), runRefusedText(context, "m", true),
                           runStatusText(result, context),
                           eachFile ? runSummaryLines(result, context, "/home/u").value(0) : QString()};
    QTEST(said.join(u'|'), "wording");
}
