#include "runs/download_controller.h"
#include "runs/engine_registry.h"

#include <QPointer>
#include <QTest>

namespace {
// An engine that does what the test's script says, and notes what it was
// asked to do.
class ScriptedEngine : public DownloadEngine
{
public:
    explicit ScriptedEngine(QStringList &calls) : m_calls(calls) {}
    void start(const QList<QUrl> &urls) override
    {
        m_calls.append(QStringLiteral("start %1").arg(urls.size()));
        m_running = true;
    }
    void stop() override
    {
        m_calls.append(QStringLiteral("stop"));
        if (m_running)
            finish(false, true);
    }
    void release() override
    {
        m_calls.append(QStringLiteral("release"));
        m_running = false;
    }
    bool isRunning() const override { return m_running; }
    const DownloadOptions &options() const override { return m_options; }

    // A run of three: the first saved, the rest missing at the series' end
    // or not tried when stopped.
    void finish(bool endOfSeries, bool stopped)
    {
        m_running = false;
        RunResult result;
        result.outcomes = {FileOutcome::Saved, endOfSeries ? FileOutcome::Missing : FileOutcome::NotTried,
                           FileOutcome::NotTried};
        result.endOfSeries = endOfSeries;
        result.stopped = stopped;
        emit finished(result);
    }
    void refuse() { m_running = false, emit refused(QStringLiteral("no")); }
    using DownloadEngine::accepted;
    using DownloadEngine::progress;

private:
    QStringList &m_calls;
    DownloadOptions m_options;
    bool m_running = false;
};
} // namespace

class TestDownloadController : public QObject
{
    Q_OBJECT
private slots:
    void scripted_data();
    void scripted();
};

void TestDownloadController::scripted_data()
{
    QTest::addColumn<QString>("script");  // what the user and the engine do, in turn
    QTest::addColumn<QString>("reports"); // what the controller reported, and what the engine was asked
    QTest::newRow("accepted, progress, finished")
        << "accept progress end"
        << "accepted 3, progress 1/3, finished 1 saved end stopped=0, running=0 | start 3";
    QTest::newRow("progress: the first at once, then the last of each tenth of a second")
        << "accept progress progress2 progress3 wait" << "accepted 3, progress 1/3, progress 3/3, running=1 | start 3";
    QTest::newRow("a progress still due gives way to the result")
        << "accept progress progress2 end wait"
        << "accepted 3, progress 1/3, finished 1 saved end stopped=0, running=0 | start 3";
    QTest::newRow("refused before taking the run") << "refuse" << "refused no handedOver=0, running=0 | start 3";
    QTest::newRow("stopped answering after taking it")
        << "accept refuse" << "accepted 3, refused no handedOver=1, running=0 | start 3";
    QTest::newRow("Stop before the series' end")
        << "accept Stop" << "accepted 3, finished 1 saved stopped=1, running=0 | start 3, stop";
    QTest::newRow("Stop after the series' end: one result")
        << "accept end Stop" << "accepted 3, finished 1 saved end stopped=0, running=0 | start 3, stop";
    QTest::newRow("released on close: the engine's later reports go nowhere")
        << "accept close end" << "accepted 3, running=0 | start 3, release";
    QTest::newRow("a second run lets the first go")
        << "accept again end" << "accepted 3, running=1 | start 3, release, start 3";
}

void TestDownloadController::scripted()
{
    QFETCH(QString, script);
    QStringList calls;
    QStringList reports;
    QList<QPointer<ScriptedEngine>> made;
    RegisteredEngine registered;
    registered.make = [&](const EngineTarget &) {
        auto engine = std::make_unique<ScriptedEngine>(calls);
        made.append(engine.get());
        return engine;
    };
    DownloadController controller;
    connect(&controller, &DownloadController::accepted, [&](int count) { reports << QStringLiteral("accepted %1").arg(count); });
    connect(&controller, &DownloadController::refused, [&](const QString &message, bool handedOver) {
        reports << QStringLiteral("refused %1 handedOver=%2").arg(message).arg(handedOver);
    });
    connect(&controller, &DownloadController::progress,
            [&](int settled, int total) { reports << QStringLiteral("progress %1/%2").arg(settled).arg(total); });
    connect(&controller, &DownloadController::finished, [&](const RunResult &result) {
        reports << QStringLiteral("finished %1 saved%2 stopped=%3")
                       .arg(result.saved())
                       .arg(result.endOfSeries ? " end" : "")
                       .arg(result.stopped);
    });
    const RunPlan plan{{QUrl("http://h/a1.jpg"), QUrl("http://h/a2.jpg"), QUrl("http://h/a3.jpg")}, {"1", "2", "3"}};
    controller.start(registered, {QStringLiteral("/d"), {}, {}}, plan);
    QCOMPARE(controller.context().names, QStringList({"a1.jpg", "a2.jpg", "a3.jpg"}));
    const QPointer<ScriptedEngine> first = made.value(0);
    for (const QString &step : script.split(u' ')) {
        if (step == "accept")
            emit first->accepted(3);
        else if (step.startsWith("progress"))
            emit first->progress(qMax(1, step.mid(8).toInt()), 3);
        else if (step == "wait")
            QTest::qWait(DownloadController::kProgressIntervalMs + 50);
        else if (step == "end")
            first->finish(true, false);
        else if (step == "refuse")
            first->refuse();
        else if (step == "Stop")
            controller.stop();
        else if (step == "close")
            controller.release();
        else if (step == "again")
            controller.start(registered, {QStringLiteral("/d"), {}, {}}, plan);
    }
    reports << QStringLiteral("running=%1").arg(controller.isRunning());
    QTEST(reports.join(QStringLiteral(", ")) + " | " + calls.join(QStringLiteral(", ")), "reports");
    // A released engine goes once the event loop runs.
    if (made.size() > 1 || script.contains("close"))
        QTRY_VERIFY(!first);
}

QTEST_GUILESS_MAIN(TestDownloadController)
#include "test_download_controller.moc"
