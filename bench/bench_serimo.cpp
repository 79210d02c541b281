// Times one step (Next with its whole cascade, status line and clipboard),
// one feed tick (the step, three rounds of events, the count and status), and
// the Images command for 999 items, steps and page write included, beside the
// page builder and writer alone.
// Run on the offscreen platform: QT_QPA_PLATFORM=offscreen ./bench_serimo
// (bench/startup.sh measures the program's start-up.)

#include "form_fixture.h"

#include "output/image_page.h"
#include "output/page_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Stats
{
    double median;
    double p99;
};

Stats summarise(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FormFixture f;
    TVempForm &form = f.start();
    auto *url = child<ChangeEdit>(form, "Edit1");
    auto *items = child<ChangeEdit>(form, "EditNumItems");

    auto timeSteps = [&](const char *what, const QString &start) {
        std::vector<double> steps;
        for (int i = 0; i < 3000; ++i) {
            if (i % 900 == 0)
                url->setTextCascade(start);
            QElapsedTimer timer;
            timer.start();
            child<QToolButton>(form, "btnClipboard2")->click();
            steps.push_back(timer.nsecsElapsed() / 1e6);
        }
        const Stats s = summarise(steps);
        std::printf("step (%s, whole cascade): median %.4f ms, p99 %.4f ms over %zu steps\n", what, s.median, s.p99,
                    steps.size());
    };
    timeSteps("Next", QStringLiteral("http://www.example.com/members/gallery/pic001.jpg"));
    // The counter found before a size, with a query after it.
    timeSteps("Next before a size",
              QStringLiteral("https://www.example.com/wp-content/uploads/2024/05/IMG_0001-1024x768.jpg?w=800&ssl=1"));

    url->setTextCascade(QStringLiteral("http://www.example.com/members/gallery/pic001.jpg"));
    items->setTextCascade(QStringLiteral("100"));
    auto *feedTimer = child<FeedTimer>(form, "Timer1");
    feedTimer->setInterval(3'600'000); // ticks are made here, never by the timer
    child<QToolButton>(form, "btnFeed")->click();
    std::vector<double> ticks;
    while (feedTimer->isEnabled()) {
        QTest::qWait(20); // as with a real delay, each tick repaints what the last one changed
        QElapsedTimer timer;
        timer.start();
        f.tick();
        ticks.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Stats t = summarise(ticks);
    std::printf("feed tick (hand-over): median %.4f ms, p99 %.4f ms over %zu ticks\n", t.median, t.p99,
                ticks.size());

    // Images for 999 items: the items box holds three characters at width 3.
    std::vector<double> runs;
    for (int i = 0; i < 20; ++i) {
        url->setTextCascade(QStringLiteral("http://www.example.com/members/gallery/pic001.jpg"));
        items->setTextCascade(QStringLiteral("999"));
        QElapsedTimer timer;
        timer.start();
        child<QToolButton>(form, "btnImages")->click();
        runs.push_back(timer.nsecsElapsed() / 1e6);
    }
    if (!f.boxes.shown.isEmpty() || f.shell.opened.size() != 20)
        qFatal("Images did not run cleanly");
    const Stats images = summarise(runs);
    std::printf("Images, 999 items (steps, page, hand-over): median %.2f ms, max %.2f ms over %zu runs\n",
                images.median, *std::max_element(runs.begin(), runs.end()), runs.size());

    QList<ImagePageEntry> entries;
    for (int k = 1; k <= 999; ++k) {
        const QString name = QStringLiteral("pic%1.jpg").arg(k, 3, 10, QLatin1Char('0'));
        entries.append({QStringLiteral("http://www.example.com/members/gallery/") + name, QStringLiteral("../") + name});
    }
    std::vector<double> writes;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer timer;
        timer.start();
        writePageFile(f.shell.opened.last(), imagePage(0, 0xFFFFFF, entries));
        writes.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Stats w = summarise(writes);
    std::printf("image page alone, 999 entries (build and write): median %.3f ms, p99 %.3f ms\n", w.median, w.p99);
    return 0;
}
