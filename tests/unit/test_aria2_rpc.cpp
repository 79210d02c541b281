#include "runs/aria2_rpc.h"
#include "runs/run_end.h"

#include <QJsonDocument>
#include <QTest>

// The calls made of an aria2 daemon and what its answers mean for a run.
class TestAria2Rpc : public QObject
{
    Q_OBJECT
private slots:
    void request_data();
    void request();
    void endpoint();
    void answer_data();
    void answer();
    void seriesEnd_data();
    void seriesEnd();
};

void TestAria2Rpc::request_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    const QList<QUrl> urls{QUrl("http://www.example.com/a/p%2001.jpg"), QUrl("http://www.example.com/b/p%2001.jpg")};
    const QByteArray head = R"({"id":"serimo","jsonrpc":"2.0","method":"system.multicall","params":[[)";
    const QByteArray addOptions = R"("allow-overwrite":"false","auto-file-renaming":"false")";
    QTest::newRow("addUri: token in each call, a name each, the folder")
        << aria2AddUrisRequest("s e", urls, {"p 01.jpg", "p 01 (2).jpg"}, "/srv/got")
        << head + R"({"methodName":"aria2.addUri","params":["token:s e",["http://www.example.com/a/p%2001.jpg"],{)"
                  + addOptions + R"(,"dir":"/srv/got","out":"p 01.jpg"}]},)"
                  + R"({"methodName":"aria2.addUri","params":["token:s e",["http://www.example.com/b/p%2001.jpg"],{)"
                  + addOptions + R"(,"dir":"/srv/got","out":"p 01 (2).jpg"}]}]]})";
    QTest::newRow("addUri: no secret, the daemon's folder")
        << aria2AddUrisRequest({}, urls.mid(0, 1), {"p 01.jpg"}, {})
        << head + R"({"methodName":"aria2.addUri","params":[["http://www.example.com/a/p%2001.jpg"],{)" + addOptions
                  + R"(,"out":"p 01.jpg"}]}]]})";
    QTest::newRow("tellStatus")
        << aria2TellStatusRequest("s", {"g1", "g2"})
        << head + R"({"methodName":"aria2.tellStatus","params":["token:s","g1",)"
                  + R"(["status","totalLength","completedLength","errorCode","errorMessage"]]},)"
                  + R"({"methodName":"aria2.tellStatus","params":["token:s","g2",)"
                  + R"(["status","totalLength","completedLength","errorCode","errorMessage"]]}]]})";
    QTest::newRow("forceRemove") << aria2ForceRemoveRequest("s", {"g1"})
                                 << head + R"({"methodName":"aria2.forceRemove","params":["token:s","g1"]}]]})";
}

void TestAria2Rpc::request()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    QCOMPARE(QJsonDocument::fromJson(request), QJsonDocument::fromJson(expected));
}

void TestAria2Rpc::endpoint()
{
    QCOMPARE(aria2Endpoint("nas:6800"), QUrl("http://nas:6800/jsonrpc"));
    QCOMPARE(aria2Endpoint("https://nas/rpc"), QUrl("https://nas/rpc"));
}

// Each answer as the run counts it: one "outcome length/completed message"
// per call, or "answer: <error>" for an answer that is none.
void TestAria2Rpc::answer_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("calls");
    QTest::addColumn<QStringList>("read");
    // downloaded, already there, missing, failed, each file's outcome (Not
    // tried, Saved, Already there, Missing, Failed): the failures' reasons
    QTest::addColumn<QString>("summary");
    QTest::newRow("each status") << QByteArray(R"({"id":"serimo","jsonrpc":"2.0","result":[
        [{"status":"complete","totalLength":"51200","completedLength":"51200","errorCode":"0","errorMessage":""}],
        [{"status":"active","totalLength":"51200","completedLength":"100","errorCode":"0"}],
        [{"status":"waiting","totalLength":"0","completedLength":"0"}],
        [{"status":"paused","totalLength":"0","completedLength":"0"}],
        [{"status":"error","errorCode":"3","errorMessage":"Resource not found"}],
        [{"status":"error","errorCode":"13","errorMessage":"File /g/a.jpg exists"}],
        [{"status":"error","errorCode":"1","errorMessage":"Connection refused"}],
        [{"status":"error","errorCode":"22"}],
        [{"status":"removed"}],
        [{"status":"unknown"}],
        {"code":1,"message":"GID 2089b05ecca3d829 is not found"}]})")
                                 << 11
                                 << QStringList{"Downloaded 51200/51200 ",
                                                "Open 51200/100 ",
                                                "Open 0/0 ",
                                                "Open 0/0 ",
                                                "Missing 0/0 Resource not found",
                                                "AlreadyThere 0/0 File /g/a.jpg exists",
                                                "Failed 0/0 Connection refused",
                                                "Failed 0/0 error 22",
                                                "Failed 0/0 removed from aria2",
                                                "Failed 0/0 aria2 reports the status \"unknown\"",
                                                "Failed 0/0 GID 2089b05ecca3d829 is not found"}
                                 << "1 1 1 5 SNNNMAFFFFF: Connection refused|error 22|removed from aria2|"
                                    "aria2 reports the status \"unknown\"|GID 2089b05ecca3d829 is not found";
    QTest::newRow("a wrong secret fails each call")
        << QByteArray(R"({"result":[{"code":1,"message":"Unauthorized"},{"code":1,"message":"Unauthorized"}]})") << 2
        << QStringList{"Failed 0/0 Unauthorized", "Failed 0/0 Unauthorized"} << "0 0 0 2 FF: Unauthorized|Unauthorized";
    QTest::newRow("the whole call refused") << QByteArray(R"({"error":{"code":1,"message":"Unauthorized"}})") << 1
                                            << QStringList{"answer: Unauthorized"} << "0 0 0 0 N: ";
    QTest::newRow("too few results") << QByteArray(R"({"result":[["g1"]]})") << 2
                                     << QStringList{"answer: the answer holds 1 results for 2 calls"} << "0 0 0 0 NN: ";
    QTest::newRow("not JSON") << QByteArray("<html>404</html>") << 1
                              << QStringList{"answer: the answer is not JSON-RPC (illegal value)"} << "0 0 0 0 N: ";
}

void TestAria2Rpc::answer()
{
    QFETCH(QByteArray, body);
    QFETCH(int, calls);
    const Aria2Answer answer = parseAria2Answer(body, calls);
    QStringList read;
    DownloadSummary summary;
    summary.outcomes = QList<FileOutcome>(calls, FileOutcome::NotTried);
    QString outcomes;
    if (!answer.error.isEmpty())
        read.append(QStringLiteral("answer: ") + answer.error);
    static const char *const names[] = {"Open", "Downloaded", "AlreadyThere", "Missing", "Failed"};
    for (qsizetype i = 0; i < answer.results.size(); ++i) {
        const Aria2Transfer transfer = aria2TransferOf(answer.results[i]);
        countIntoSummary(summary, i, QUrl("http://www.example.com/p.jpg"), transfer);
        read.append(QStringLiteral("%1 %2/%3 %4")
                        .arg(names[int(transfer.outcome)])
                        .arg(transfer.length)
                        .arg(transfer.completed)
                        .arg(transfer.message));
    }
    QTEST(read, "read");
    QStringList reasons;
    for (const DownloadFailure &failure : summary.failures)
        reasons.append(failure.text);
    for (FileOutcome outcome : summary.outcomes)
        outcomes.append(QStringLiteral("NSAMF").at(int(outcome)));
    QTEST(QStringLiteral("%1 %2 %3 %4 %5: %6")
              .arg(summary.downloaded)
              .arg(summary.alreadyThere)
              .arg(summary.missing)
              .arg(summary.failed)
              .arg(outcomes)
              .arg(reasons.join(u'|')),
          "summary");
}

void TestAria2Rpc::seriesEnd_data()
{
    QTest::addColumn<QString>("missing"); // x: missing, .: anything else
    QTest::addColumn<int>("end");         // -1: the series goes on
    QTest::newRow("a gap") << ".x........" << -1;
    QTest::newRow("nine in a row") << "..xxxxxxxxx." << -1;
    QTest::newRow("ten in a row end at the tenth") << ".x.xxxxxxxxxx..." << 12;
    QTest::newRow("the first stretch of two") << "xxxxxxxxxx.xxxxxxxxxx" << 9;
}

void TestAria2Rpc::seriesEnd()
{
    QFETCH(QString, missing);
    QList<bool> flags;
    for (QChar c : missing)
        flags.append(c == u'x');
    QTEST(int(seriesEndIndex(flags, 10).value_or(-1)), "end");
}

QTEST_GUILESS_MAIN(TestAria2Rpc)
#include "test_aria2_rpc.moc"
