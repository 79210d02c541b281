// Finds where a series ends, by the search Serimo uses (find) or by a plain
// walk that asks for every address in order, four at a time, until ten in a
// row are missing (walk). Prints the requests sent and the time taken.
// Usage: bench_find_end find|walk URL
#include "runs/end_finder.h"
#include "series/series_addresses.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <functional>
#include <map>
#include <cstdio>

namespace {
// Asks for every address from the first, four at a time, until ten in a row
// are missing; returns the count of present ones and the requests sent.
struct Walk
{
    qint64 items = 0;
    int requests = 0;
};

Walk walk(SeriesAddresses &addresses)
{
    QNetworkAccessManager network;
    QEventLoop loop;
    Walk result;
    qint64 next = 0;
    qint64 lastPresent = -1;
    int inFlight = 0;
    std::map<qint64, bool> answers;
    std::function<void()> more = [&] {
        // Ten missing in a row after the last present one end the walk.
        bool ended = true;
        for (qint64 i = lastPresent + 1; i <= lastPresent + 10 && ended; ++i)
            ended = answers.contains(i) && !answers[i];
        if (ended && inFlight == 0)
            return loop.quit();
        while (!ended && inFlight < 4 && next <= lastPresent + 10) {
            const qint64 index = next++;
            QNetworkReply *reply = network.head(QNetworkRequest(QUrl(*addresses.at(index))));
            ++inFlight;
            ++result.requests;
            QObject::connect(reply, &QNetworkReply::finished, [&, reply, index] {
                const bool present = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
                answers[index] = present;
                if (present)
                    lastPresent = std::max(lastPresent, index);
                --inFlight;
                reply->deleteLater();
                more();
            });
        }
    };
    QTimer::singleShot(0, more);
    loop.exec();
    result.items = lastPresent + 1;
    return result;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString mode = QString::fromLocal8Bit(argc == 3 ? argv[1] : "");
    if (mode != u"find" && mode != u"walk") {
        std::fprintf(stderr, "usage: bench_find_end find|walk URL\n");
        return 2;
    }
    SeriesAddresses addresses(QString::fromLocal8Bit(argv[2]));
    QElapsedTimer clock;
    clock.start();
    qint64 items = 0;
    int requests = 0;
    if (mode == u"walk") {
        const Walk walked = walk(addresses);
        items = walked.items;
        requests = walked.requests;
    } else {
        EndFinder finder;
        QObject::connect(&finder, &EndFinder::finished, &app, [&](const EndFound &found) {
            items = found.end + 1;
            requests = found.requests;
            app.quit();
        });
        finder.start([&addresses](qint64 index) -> std::optional<QUrl> {
            const std::optional<QString> address = addresses.at(index);
            return address ? std::optional(QUrl(*address)) : std::nullopt;
        });
        app.exec();
    }
    std::printf("%s: %lld items, %d requests, %.1f ms\n", qPrintable(mode), items, requests,
                double(clock.nsecsElapsed()) / 1e6);
    return 0;
}
