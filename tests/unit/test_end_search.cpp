#include "runs/downloader_results.h"
#include "runs/end_search.h"

#include <QTest>
#include <cmath>
#include <deque>

// A server holding a series: items [start, length) are there, except the
// gaps; addresses past the series' items are missing.
struct ScriptedSeries
{
    qint64 length = 0;
    qint64 start = 0;
    QList<qint64> gaps;
    enum class Head { Answered, Refused, SaysMissing, Lies } head = Head::Answered;

    ProbeAnswer answer(const Probe &probe) const
    {
        if (probe.method == ProbeMethod::Head && head == Head::Refused)
            return ProbeAnswer::Refused;
        if (probe.method == ProbeMethod::Head && head == Head::SaysMissing)
            return ProbeAnswer::Missing;
        // Present as far as a series is followed.
        if (probe.method == ProbeMethod::Head && head == Head::Lies)
            return probe.index < 100000 ? ProbeAnswer::Present : ProbeAnswer::Missing;
        const qint64 item = start + probe.index;
        return item < length && !gaps.contains(item) ? ProbeAnswer::Present : ProbeAnswer::Missing;
    }
};
Q_DECLARE_METATYPE(ScriptedSeries)

static ScriptedSeries series(qint64 length, qint64 start = 0, QList<qint64> gaps = {},
                             ScriptedSeries::Head head = ScriptedSeries::Head::Answered)
{
    return {length, start, gaps, head};
}

static QList<qint64> gap(qint64 from, qint64 count)
{
    QList<qint64> items;
    for (qint64 item = from; item < from + count; ++item)
        items.append(item);
    return items;
}

class TestEndSearch : public QObject
{
    Q_OBJECT
private slots:
    void findsTheEnd_data();
    void findsTheEnd();
};

void TestEndSearch::findsTheEnd_data()
{
    QTest::addColumn<ScriptedSeries>("scripted");
    QTest::addColumn<qint64>("end");     // -1: nothing there
    QTest::addColumn<int>("extraBudget"); // what the gaps may cost

    for (const qint64 length : {1, 2, 5, 347, 900})
        QTest::addRow("%lld items", length) << series(length) << length - 1 << 0;
    QTest::newRow("one missing at 64") << series(347, 0, gap(64, 1)) << qint64(346) << 10;
    QTest::newRow("nine missing from 256") << series(900, 0, gap(256, 9)) << qint64(899) << 10;
    QTest::newRow("ten missing from 256 end it") << series(900, 0, gap(256, 10)) << qint64(255) << 0;
    for (const int missing : {9, 10, 11}) // where the doubling lands on the gap
        QTest::addRow("%d missing from 16", missing) << series(40, 0, gap(16, missing)) << qint64(missing < 10 ? 39 : 15) << 10;
    QTest::newRow("ten missing stepped over") << series(33, 0, gap(20, 10)) << qint64(32) << 0;
    QTest::newRow("one missing at 700") << series(900, 0, gap(700, 1)) << qint64(899) << 10;
    QTest::newRow("a start in the middle") << series(900, 450) << qint64(449) << 0;
    QTest::newRow("nothing there") << series(0) << qint64(-1) << 0;
    QTest::newRow("HEAD refused") << series(347, 0, {}, ScriptedSeries::Head::Refused) << qint64(346) << 0;
    QTest::newRow("HEAD says present past the end") << series(37, 0, {}, ScriptedSeries::Head::Lies) << qint64(36) << 70;
    QTest::newRow("HEAD says missing, GET finds it")
        << series(347, 0, {}, ScriptedSeries::Head::SaysMissing) << qint64(346) << 0;
}

void TestEndSearch::findsTheEnd()
{
    QFETCH(ScriptedSeries, scripted);
    QFETCH(qint64, end);
    QFETCH(int, extraBudget);

    // The server answers in the order asked, one answer at a time.
    EndSearch search;
    std::deque<Probe> out;
    bool headAfterFirst = false;
    while (!search.isDone()) {
        for (const Probe &probe : search.nextProbes()) {
            headAfterFirst = headAfterFirst || (probe.index > 0 && probe.method == ProbeMethod::Head);
            out.push_back(probe);
        }
        QVERIFY2(out.size() <= EndSearch::kMaxInFlight, "too many requests at once");
        QVERIFY2(!out.empty(), "the search waits for nothing");
        search.answer(out.front(), scripted.answer(out.front()));
        out.pop_front();
    }

    QCOMPARE(search.end().value_or(-1), end);
    // The end is what a run takes for one: the last present address before
    // the misses in a row that end a download.
    QList<bool> after;
    for (qint64 index = end + 1; end >= 0 && index <= end + kSeriesEndMisses; ++index)
        after.append(scripted.answer({index, ProbeMethod::Get}) == ProbeAnswer::Missing);
    QVERIFY(end < 0 || seriesEndIndex(after, DownloadOptions().missingRunEnd) == kSeriesEndMisses - 1);
    const qint64 items = std::max<qint64>(0, scripted.length - scripted.start);
    const int budget = 2 * int(std::ceil(std::log2(double(items) + 1))) + 14 + extraBudget;
    QVERIFY2(search.probesSent() <= budget, qPrintable(QStringLiteral("%1 requests").arg(search.probesSent())));
    QCOMPARE(headAfterFirst, scripted.head != ScriptedSeries::Head::Refused && scripted.head != ScriptedSeries::Head::SaysMissing && items > 0);
}

QTEST_APPLESS_MAIN(TestEndSearch)
#include "test_end_search.moc"
