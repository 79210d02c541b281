#include "runs/cookie_file.h"

#include "common/english_plurals.h"
#include "common/translate_main.h"
#include "runs/public_suffix.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A cookies.txt larger than this is not one a browser wrote.
constexpr qint64 kLargestTextFile = 64 * 1024 * 1024;

// Firefox wrote expiry in seconds, and lately in milliseconds: a number of
// seconds this large would lie past the year 5000.
constexpr qint64 kLargestExpirySeconds = 100'000'000'000;

QDateTime expiryOf(qint64 expiry)
{
    if (expiry > kLargestExpirySeconds)
        expiry /= 1000;
    return QDateTime::fromSecsSinceEpoch(std::min(expiry, kLargestExpirySeconds), Qt::UTC);
}

QString neitherFormat(const QString &path)
{
    return trMain("'%1' is neither a cookies.txt nor a Firefox cookies.sqlite").arg(QDir::toNativeSeparators(path));
}

QString unreadable(const QString &path, const QString &reason)
{
    return trMain("cannot read the cookies file '%1': %2").arg(QDir::toNativeSeparators(path), reason);
}

// A name or value that could end a header line, or a name that could end
// the cookie: a line break in a cookies file must not become a header.
bool unsafeOnTheWire(const QByteArray &name, const QByteArray &value)
{
    const auto control = [](char c) { return (uchar(c) < 0x20 && c != '\t') || uchar(c) == 0x7f; };
    return name.contains(';') || std::any_of(name.begin(), name.end(), control)
           || std::any_of(value.begin(), value.end(), control);
}

// Whether a cookie's domain is a public suffix ("com", "co.uk", "test"),
// whose cookie every site under it would get. A name of one label is one
// where its subdomains share the cookie; alone, it is a host ("localhost").
bool forPublicSuffix(const QNetworkCookie &cookie)
{
    const bool subdomains = cookie.domain().startsWith(u'.');
    const QString domain = subdomains ? cookie.domain().mid(1) : cookie.domain();
    return domain.contains(u'.') ? isPublicSuffix(domain) : subdomains && !domain.isEmpty();
}

// Keeps a cookie that goes only where it belongs and is safe on the wire;
// counts one that is not.
void keep(CookieFile &file, int &leftOut, const QNetworkCookie &cookie)
{
    if (unsafeOnTheWire(cookie.name(), cookie.value()))
        ++leftOut;
    else if (!forPublicSuffix(cookie))
        file.cookies.append(cookie);
}

void noteLeftOut(CookieFile &file, int leftOut, const QString &path)
{
    if (leftOut > 0)
        file.leftOut = trCount("main", "left out %n cookie(s) of '%1': a control character in a name or value, or a "
                                       "';' in a name", leftOut)
                           .arg(QDir::toNativeSeparators(path));
}

// What a path names that is no regular file, for a person.
QString notAFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return trMain("it is a folder");
    if (S_ISFIFO(mode))
        return trMain("it is a FIFO, not a file");
    if (S_ISSOCK(mode))
        return trMain("it is a socket, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return trMain("it is a device, not a file");
    return trMain("it is not a regular file");
}

// A cookie as both formats give it. A domain the cookie's subdomains share
// starts with a dot, as QNetworkCookieJar matches it; one without is the
// host's alone.
QNetworkCookie cookie(const QByteArray &name, const QByteArray &value, QString domain, bool subdomains,
                      const QString &path, bool secure, bool httpOnly, qint64 expiry)
{
    QNetworkCookie cookie(name, value);
    domain = domain.toLower();
    if (domain.startsWith(u'.'))
        domain.remove(0, 1);
    cookie.setDomain(subdomains ? u'.' + domain : domain);
    cookie.setPath(path);
    cookie.setSecure(secure);
    cookie.setHttpOnly(httpOnly);
    // 0: a cookie for the browser's session, which the run is part of.
    if (expiry != 0)
        cookie.setExpirationDate(expiryOf(expiry));
    return cookie;
}

std::optional<bool> flag(const QByteArray &field)
{
    if (field.compare("TRUE", Qt::CaseInsensitive) == 0)
        return true;
    if (field.compare("FALSE", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

// The lines of a cookies.txt: "domain, subdomains too, path, secure, expiry,
// name, value", separated by tabs; "#HttpOnly_" before the domain marks an
// HTTP-only cookie, other lines starting with "#" are comments.
CookieFile netscapeCookies(const QString &path, const QByteArray &text)
{
    CookieFile file;
    int leftOut = 0;
    bool headed = false;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype number = 1; number <= lines.size(); ++number) {
        QByteArray line = lines[number - 1];
        if (line.endsWith('\r'))
            line.chop(1);
        const bool httpOnly = line.startsWith("#HttpOnly_");
        if (httpOnly)
            line.remove(0, qsizetype(sizeof "#HttpOnly_") - 1);
        if (line.startsWith('#') || line.trimmed().isEmpty()) {
            headed = headed || line.contains("HTTP Cookie File");
            continue;
        }
        const QList<QByteArray> fields = line.split('\t');
        bool isNumber = false;
        const qint64 expiry = fields.value(4).toLongLong(&isNumber);
        const std::optional<bool> subdomains = flag(fields.value(1));
        const std::optional<bool> secure = flag(fields.value(3));
        // An empty value may lose its tab on the way.
        if ((fields.size() != 7 && fields.size() != 6) || fields[0].isEmpty() || !fields[2].startsWith('/')
            || !isNumber || expiry < 0 || !subdomains || !secure || fields[5].isEmpty()) {
            if (file.cookies.isEmpty() && !headed)
                return {{}, neitherFormat(path)};
            return {{}, trMain("'%1' line %2 is not a cookie: a cookies.txt line has 7 fields separated by tabs")
                            .arg(QDir::toNativeSeparators(path))
                            .arg(number)};
        }
        keep(file, leftOut,
             cookie(fields[5], fields.value(6), QString::fromUtf8(fields[0]), *subdomains, QString::fromUtf8(fields[2]),
                    *secure, httpOnly, expiry));
    }
    if (file.cookies.isEmpty() && leftOut == 0 && !headed)
        file.error = neitherFormat(path);
    noteLeftOut(file, leftOut, path);
    return file;
}

// Why a copy of a cookies.sqlite gave no cookies, by SQLite's result code.
QString databaseProblem(const QString &path, const QSqlError &error)
{
    switch (error.nativeErrorCode().toInt()) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return unreadable(path, trMain("the cookies database is locked and could not be copied: close Firefox or "
                                       "export a cookies.txt"));
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return unreadable(path, trMain("the cookies database is corrupt"));
    default:
        return neitherFormat(path);
    }
}

// Firefox's moz_cookies table, read from a copy of the database and of its
// write-ahead log, which holds what the browser wrote last.
CookieFile firefoxCookies(const QString &path)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return {{}, unreadable(path, trMain("Qt's SQLite driver is not installed"))};
    QTemporaryDir copies;
    const QString copy = copies.filePath(QStringLiteral("cookies.sqlite"));
    QFile original(path);
    if (!copies.isValid() || !original.copy(copy))
        return {{}, unreadable(path, trMain("it cannot be copied (%1)").arg(original.errorString()))};
    if (QFile::exists(path + "-wal"))
        QFile::copy(path + "-wal", copy + "-wal");

    static std::atomic<int> serial = 0;
    const QString connection = QStringLiteral("serimo-cookies-%1").arg(++serial);
    CookieFile file;
    int leftOut = 0;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        database.setDatabaseName(copy);
        QSqlQuery query(database);
        if (!database.open())
            file.error = databaseProblem(path, database.lastError());
        else if (!query.exec(QStringLiteral("SELECT host, path, isSecure, isHttpOnly, expiry, name, value FROM moz_cookies")))
            file.error = databaseProblem(path, query.lastError());
        while (file.error.isEmpty() && query.next()) {
            const QString host = query.value(0).toString();
            keep(file, leftOut,
                 cookie(query.value(5).toString().toUtf8(), query.value(6).toString().toUtf8(), host,
                        host.startsWith(u'.'), query.value(1).toString(), query.value(2).toBool(),
                        query.value(3).toBool(), query.value(4).toLongLong()));
        }
    }
    QSqlDatabase::removeDatabase(connection);
    noteLeftOut(file, leftOut, path);
    return file;
}
} // namespace

CookieFile readCookieFile(const QString &path)
{
    // Opened without blocking, so that a FIFO cannot hold the run, and read
    // only when it is a regular file: a device may never end.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return {{}, unreadable(path, QString::fromLocal8Bit(std::strerror(errno)))};
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return {{}, unreadable(path, notAFile(status.st_mode))};
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return {{}, unreadable(path, file.errorString())};
    }
    if (file.peek(16) == QByteArray("SQLite format 3\0", 16))
        return firefoxCookies(path);
    // The limit holds whatever the file's size says: it may grow as it is read.
    const QByteArray text = file.read(kLargestTextFile + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, unreadable(path, file.errorString())};
    if (text.size() > kLargestTextFile || text.contains('\0'))
        return {{}, neitherFormat(path)};
    return netscapeCookies(path, text);
}

QString readRunCookies(SiteOptions &site, QString *leftOut)
{
    if (!site.cookiesRead) {
        site.cookiesRead = std::make_shared<const CookieFile>(site.cookiesFile.isEmpty() ? CookieFile()
                                                                                        : readCookieFile(site.cookiesFile));
        if (leftOut)
            *leftOut = site.cookiesRead->leftOut;
    }
    return site.cookiesRead->error;
}

QList<QNetworkCookie> runCookies(const SiteOptions &site)
{
    if (site.cookiesRead)
        return site.cookiesRead->cookies;
    SiteOptions read = site;
    readRunCookies(read);
    return read.cookiesRead->cookies;
}
