// Downloads the given URLs with Serimo's download engine beside a window for
// SECONDS, then stops and prints the bytes written, the peak resident memory
// above the idle window and the longest stall of the window's event loop.
// Usage: bench_endless_download SECONDS FOLDER URL...
#include "bench/bench_support.h"
#include "runs/downloader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {
qint64 bytesIn(const QString &folder)
{
    qint64 bytes = 0;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        bytes += file.size();
    return bytes;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_endless_download SECONDS FOLDER URL...\n");
        return 2;
    }
    const int seconds = QString::fromLocal8Bit(argv[1]).toInt();
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QList<QUrl> urls;
    for (int i = 3; i < argc; ++i)
        urls.append(QUrl(QString::fromLocal8Bit(argv[i])));

    QWidget window;
    window.resize(400, 300);
    window.show();
    QApplication::processEvents();
    const long idle = statusKiB("VmRSS");

    // The event loop's stalls: the longest gap between ticks of a 10 ms timer.
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceTick.restart() - 10);
    });
    qint64 written = 0;
    long peak = idle;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        peak = std::max(peak, statusKiB("VmRSS"));
        written = std::max(written, bytesIn(folder));
    });

    Downloader downloader;
    DownloadSummary result;
    QObject::connect(&downloader, &Downloader::finished, &app, [&](const DownloadSummary &summary) {
        result = summary;
        app.quit();
    });
    downloader.start(urls, folder);
    sinceTick.start();
    ticks.start(10);
    sample.start(200);
    QTimer::singleShot(seconds * 1000, &app, [&] {
        sample.stop();
        ticks.stop();
        downloader.stop();
    });
    app.exec();
    std::printf("%d s, %lld MB written; resident: idle %ld KiB, peak %ld KiB (+%ld KiB); longest event-loop stall "
                "%lld ms%s%s\n",
                seconds, written / (1024 * 1024), idle, std::max(peak, statusKiB("VmHWM")),
                std::max(peak, statusKiB("VmHWM")) - idle, longestStall,
                result.writeError.isEmpty() ? "" : "; stopped: ", qPrintable(result.writeError));
    return result.writeError.isEmpty() ? 0 : 1;
}
