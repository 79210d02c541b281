#include "runs/downloader_part_file.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// How often a partial file that changes hands under us is looked at again before
// it counts as another writer's.
constexpr int kOpenAttempts = 4;

bool sameFile(int fd, const QByteArray &path)
{
    struct stat byFd {};
    struct stat byPath {};
    return fstat(fd, &byFd) == 0 && lstat(path.constData(), &byPath) == 0 && byFd.st_dev == byPath.st_dev
           && byFd.st_ino == byPath.st_ino;
}
} // namespace

PartFile::PartFile(const QString &finalPath)
    : m_final(QFile::encodeName(finalPath)), m_part(QFile::encodeName(finalPath + QLatin1String(kPartSuffix)))
{
}

PartFile::~PartFile()
{
    discard();
}

bool PartFile::fail()
{
    m_error = errno;
    return false;
}

PartFile::Opened PartFile::open()
{
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        int fd = ::open(m_part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        const bool created = fd >= 0;
        if (!created) {
            if (errno != EEXIST)
                return fail(), Opened::Failed;
            fd = ::open(m_part.constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0 && errno == ELOOP) {
                // A link planted in the partial file's place is nobody's download.
                if (unlink(m_part.constData()) != 0)
                    return fail(), Opened::Failed;
                continue;
            }
            if (fd < 0 && errno == ENOENT)
                continue;
            if (fd < 0)
                return fail(), Opened::Failed;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return Opened::Elsewhere;
            m_error = error;
            return Opened::Failed;
        }
        // Whoever held the lock before us may have replaced the file.
        if (!sameFile(fd, m_part)) {
            ::close(fd);
            continue;
        }
        if (created) {
            m_fd = fd;
            return Opened::Ours;
        }
        // Nobody writes this one any more: a run that was killed left it.
        const bool removed = unlink(m_part.constData()) == 0;
        const int error = errno;
        ::close(fd);
        if (!removed) {
            m_error = error;
            return Opened::Failed;
        }
    }
    return Opened::Elsewhere;
}

bool PartFile::write(const char *data, qint64 size)
{
    const std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return true;
    while (size > 0) {
        const ssize_t done = ::write(m_fd, data, size_t(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return fail();
        }
        data += done;
        size -= done;
    }
    return true;
}

bool PartFile::stillOurs() const
{
    return m_fd >= 0 && sameFile(m_fd, m_part);
}

void PartFile::renameTo(const QString &finalPath)
{
    const std::lock_guard lock(m_mutex);
    m_final = QFile::encodeName(finalPath);
}

PartFile::Placed PartFile::place()
{
    const std::lock_guard lock(m_mutex);
    if (!stillOurs()) {
        m_error = ENOENT;
        close();
        return Placed::Failed;
    }
    int renamed = renameat2(AT_FDCWD, m_part.constData(), AT_FDCWD, m_final.constData(), RENAME_NOREPLACE);
    if (renamed != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without an exclusive rename: a link fails just as
        // surely on a name already there.
        renamed = link(m_part.constData(), m_final.constData());
        if (renamed == 0)
            unlink(m_part.constData());
    }
    if (renamed != 0 && (errno == EPERM || errno == EOPNOTSUPP)) {
        // Nor a link (some USB sticks): the name is looked at just before.
        struct stat there {};
        if (lstat(m_final.constData(), &there) == 0)
            errno = EEXIST;
        else
            renamed = rename(m_part.constData(), m_final.constData());
    }
    if (renamed != 0) {
        const int error = errno;
        close();
        m_error = error;
        return error == EEXIST ? Placed::NameTaken : Placed::Failed;
    }
    // A disk that reports a failed write only now: the file is not whole.
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (closed)
        return Placed::Done;
    fail();
    unlink(m_final.constData());
    return Placed::Failed;
}

void PartFile::discard()
{
    const std::lock_guard lock(m_mutex);
    close();
}

// Removes the file when it is still ours, and closes it.
void PartFile::close()
{
    if (m_fd < 0)
        return;
    if (stillOurs())
        unlink(m_part.constData());
    ::close(m_fd);
    m_fd = -1;
}
