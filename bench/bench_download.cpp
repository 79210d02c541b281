// Downloads the URLs listed in a file (one a line) into a folder with
// Serimo's download engine, then prints the time taken, the peak resident
// memory and its growth over the run. Usage: bench_download LIST FOLDER
#include "output/downloader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {
// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toLong();
    }
    return -1;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_download LIST FOLDER\n");
        return 2;
    }
    QFile list(QString::fromLocal8Bit(argv[1]));
    if (!list.open(QIODevice::ReadOnly))
        return 2;
    QList<QUrl> urls;
    for (const QByteArray &line : list.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            urls.append(QUrl(QString::fromUtf8(line.trimmed())));
    }
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
