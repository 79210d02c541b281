// Downloads the URLs listed in a file (one a line) into a folder with
// Serimo's download engine, then prints the time taken, the peak resident
// memory and its growth over the run. Usage: bench_download LIST FOLDER
#include "bench/bench_support.h"
#include "runs/downloader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_download LIST FOLDER\n");
        return 2;
    }
    const std::optional<QList<QUrl>> listed = urlList(argv[1]);
    if (!listed)
        return 2;
    const QList<QUrl> &urls = *listed;
    Downloader downloader;
    DownloadSummary result;
    QObject::connect(&downloader, &Downloader::finished, &app, [&](const DownloadSummary &summary) {
        result = summary;
        app.quit();
    });
    const long before = statusKiB("VmRSS");
    QElapsedTimer clock;
    clock.start();
    downloader.start(urls, QString::fromLocal8Bit(argv[2]));
    app.exec();
    const qint64 ms = clock.elapsed();
    const long peak = statusKiB("VmHWM");
    std::printf("downloaded %d of %d, failed %d: %.2f s, peak resident %ld KiB, growth %ld KiB\n",
                result.downloaded, result.total, result.failed, ms / 1000.0, peak, peak - before);
    return result.downloaded == result.total ? 0 : 1;
}
