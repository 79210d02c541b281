// Reads a cookies.txt of 100,000 cookies (5,000 sites of 20 each), builds
// a run's jar from it, matches 1,000 requests against it, and takes a
// server's Set-Cookie flood (90 cookies in each of 999 answers); prints the
// time of each step and the peak resident memory. With --qt-jar, the same
// with QNetworkCookieJar, cookie by cookie, as runs did before.
// Usage: bench_cookies [--qt-jar]
#include "bench/bench_support.h"
#include "runs/cookie_file.h"
#include "runs/run_cookie_jar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkCookieJar>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
constexpr int kSites = 5000;
constexpr int kPerSite = 20;

QString writeCookiesTxt(const QTemporaryDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("cookies.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray text = "# Netscape HTTP Cookie File\n";
    for (int site = 0; site < kSites; ++site)
        for (int n = 0; n < kPerSite; ++n)
            text += ".site" + QByteArray::number(site) + ".example\tTRUE\t/\tFALSE\t4102444800\tname" + QByteArray::number(n)
                    + "\tvalue" + QByteArray::number(site * kPerSite + n) + '\n';
    file.write(text);
    return path;
}

double step(const char *name, const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    const double ms = clock.nsecsElapsed() / 1e6;
    std::printf("  %-40s %9.1f ms\n", name, ms);
    std::fflush(stdout);
    return ms;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool qtJar = argc > 1 && std::strcmp(argv[1], "--qt-jar") == 0;
    QTemporaryDir folder;
    const QString path = writeCookiesTxt(folder);
    CookieFile read;
    step("read 100,000 cookies", [&] { read = readCookieFile(path); });
    std::unique_ptr<QNetworkCookieJar> jar;
    step(qtJar ? "QNetworkCookieJar, cookie by cookie" : "the run's jar", [&] {
        if (!qtJar)
            return jar.reset(new RunCookieJar(read.cookies));
        jar = std::make_unique<QNetworkCookieJar>();
        for (const QNetworkCookie &cookie : read.cookies)
            jar->insertCookie(cookie);
    });
    qsizetype matched = 0;
    step("1,000 requests matched", [&] {
        for (int n = 0; n < 1000; ++n)
            matched += jar->cookiesForUrl(QUrl(QStringLiteral("http://img.site%1.example/p%2.jpg").arg(n * 5).arg(n)))
                           .size();
    });
    QList<QNetworkCookie> flood;
    for (int n = 0; n < 90; ++n)
        flood.append(QNetworkCookie("tracker" + QByteArray::number(n), "v"));
    const QUrl site(QStringLiteral("http://img.site7.example/p1.jpg"));
    step("999 answers of 90 Set-Cookie", [&] {
        for (int answer = 0; answer < 999; ++answer)
            jar->setCookiesFromUrl(flood, site);
    });
    std::printf("cookies read %lld (%s), matched %lld, for the flooding site %lld; peak resident %ld KiB\n",
                qlonglong(read.cookies.size()), read.error.isEmpty() ? "no error" : qPrintable(read.error),
                qlonglong(matched), qlonglong(jar->cookiesForUrl(site).size()), statusKiB("VmHWM"));
    return read.cookies.size() == kSites * kPerSite && matched == 1000 * kPerSite ? 0 : 1;
}
