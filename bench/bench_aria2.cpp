// Hands the URLs listed in a file (one a line) to an aria2 daemon through
// Serimo's aria2 engine, follows the run to its end and prints the time from
// the hand-over to the summary. Usage: bench_aria2 LIST ADDRESS SECRET FOLDER
#include "bench/bench_support.h"
#include "runs/aria2_engine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_aria2 LIST ADDRESS SECRET FOLDER\n");
        return 2;
    }
    const std::optional<QList<QUrl>> listed = urlList(argv[1]);
    if (!listed)
        return 2;
    const QList<QUrl> &urls = *listed;
    Aria2Options options;
    options.address = QUrl(QString::fromLocal8Bit(argv[2]));
    options.secret = QString::fromLocal8Bit(argv[3]);
    options.folder = QString::fromLocal8Bit(argv[4]);
    Aria2Engine engine(options);
    DownloadSummary result;
    QElapsedTimer clock;
    qint64 acceptedMs = -1;
    QObject::connect(&engine, &DownloadEngine::accepted, &app, [&] { acceptedMs = clock.elapsed(); });
    QObject::connect(&engine, &DownloadEngine::refused, &app, [&](const QString &message) {
        std::fprintf(stderr, "aria2 did not take the run: %s\n", qPrintable(message));
        app.exit(1);
    });
    QObject::connect(&engine, &DownloadEngine::finished, &app, [&](const DownloadSummary &summary) {
        result = summary;
        app.quit();
    });
    clock.start();
    engine.start(urls);
    if (app.exec() != 0)
        return 1;
    std::printf("downloaded %d of %d, failed %d: %.2f s (hand-over answered after %.3f s)\n", result.downloaded,
                result.total, result.failed, clock.elapsed() / 1000.0, acceptedMs / 1000.0);
    return result.downloaded == result.total ? 0 : 1;
}
