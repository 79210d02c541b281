// Times one step (Next with its whole cascade, status line and clipboard) and
// the window's start-up against a bare window with an edit box, eight tool
// buttons and a status bar. Run on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen ./bench_serimo

#include "fakes.h"

#include "app/vemp_107.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
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

struct Fakes
{
    FakeMessageBoxes boxes;
    FakeClipboard clipboard;
    FakeSettingsStore settings;
    FakeHelpViewer help;
    FakeBusyCursor cursor;
    Platform platform() { return Platform{boxes, clipboard, settings, help, cursor}; }
};

double timeToExposed(const std::function<QWidget *()> &make)
{
    QElapsedTimer timer;
    timer.start();
    QWidget *window = make();
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        qFatal("window never exposed");
    const double ms = timer.nsecsElapsed() / 1e6;
    delete window;
    return ms;
}

QWidget *bareWindow()
{
    auto *window = new QWidget;
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(new QLineEdit(QStringLiteral("http://www.example.com/pic001.jpg")));
    auto *bar = new QHBoxLayout;
    for (int i = 0; i < 8; ++i) {
        auto *button = new QToolButton;
        button->setText(QStringLiteral("Button"));
        bar->addWidget(button);
    }
    layout->addLayout(bar);
    layout->addWidget(new QStatusBar);
    return window;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    {
        Fakes fakes;
        TVempForm form(fakes.platform());
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("window never became active");
        std::vector<double> steps;
        for (int i = 0; i < 3000; ++i) {
            if (i % 900 == 0)
                form.Edit1->setTextCascade(QStringLiteral("http://www.example.com/members/gallery/pic001.jpg"));
            QElapsedTimer timer;
            timer.start();
            form.btnIncClick(form.btnClipboard2);
            steps.push_back(timer.nsecsElapsed() / 1e6);
        }
        const Stats s = summarise(steps);
        std::printf("step (Next, whole cascade): median %.4f ms, p99 %.4f ms over %zu steps\n", s.median, s.p99,
                    steps.size());
    }

    std::vector<double> bare, serimo;
    for (int i = 0; i < 15; ++i) {
        bare.push_back(timeToExposed(bareWindow));
        Fakes fakes;
        serimo.push_back(timeToExposed([&] { return new TVempForm(fakes.platform()); }));
    }
    const Stats b = summarise(bare);
    const Stats m = summarise(serimo);
    std::printf("start-up to exposed window: bare %.2f ms, Serimo %.2f ms (ratio %.2f)\n", b.median, m.median,
                m.median / b.median);
    return 0;
}
