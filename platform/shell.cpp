#include "platform/shell.h"

#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {
const char kOpener[] = "xdg-open";
// How often an opener without a process descriptor is asked after.
constexpr int kReapInterval = 250;

// An opener's process descriptor, readable once the opener has ended.
class OpenerWatch : public QSocketNotifier
{
public:
    OpenerWatch(int pidfd, QObject *parent) : QSocketNotifier(pidfd, QSocketNotifier::Read, parent) {}
    ~OpenerWatch() override
    {
        setEnabled(false);
        ::close(int(socket()));
    }
};

// Starts the opener in a session of its own; 0 when it could not start.
pid_t spawnOpener(char *const argv[])
{
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return 0;
    pid_t pid = 0;
    if (posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID) != 0
        || posix_spawnp(&pid, kOpener, nullptr, &attributes, argv, environ) != 0)
        pid = 0;
    posix_spawnattr_destroy(&attributes);
    return pid;
}
} // namespace

int DesktopShell::ShellOpenFile(const QString &file, const QString & /*operation*/, const QString & /*directory*/,
                                int /*showCommand*/)
{
    // Only "open" is ever asked for; the desktop places the window itself.
    if (!QFileInfo(file).isFile())
        return kFileNotFound;
    const QByteArray url = QUrl::fromLocalFile(file).toEncoded();
    char *const argv[] = {const_cast<char *>(kOpener), const_cast<char *>(url.constData()), nullptr};
    const pid_t pid = spawnOpener(argv);
    if (pid == 0)
        return kRefused;
    watch(pid, file);
    return kAccepted;
}

bool DesktopShell::reaped(int pid, const QString &file) const
{
    int status = 0;
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == 0)
        return false;
    // Reaped by someone else (or gone): nothing left to tell.
    if (ended != pid)
        return true;
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        reportFailure({file, QString::fromLatin1(kOpener), WEXITSTATUS(status), 0});
    else if (WIFSIGNALED(status))
        reportFailure({file, QString::fromLatin1(kOpener), 0, WTERMSIG(status)});
    return true;
}

void DesktopShell::watch(int pid, const QString &file)
{
    // Through syscall(): glibc's header for it lacks C linkage.
    const int pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) {
        // Older kernels and some sandboxes give no process descriptor.
        auto *timer = new QTimer(&m_watches);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, pid, file] {
            // Stopped while a report may show a box and run events.
            timer->stop();
            if (reaped(pid, file))
                timer->deleteLater();
            else
                timer->start();
        });
        timer->start(kReapInterval);
        return;
    }
    auto *watch = new OpenerWatch(pidfd, &m_watches);
    QObject::connect(watch, &QSocketNotifier::activated, watch, [this, watch, pid, file] {
        // Disabled while a report may show a box and run events.
        watch->setEnabled(false);
        if (reaped(pid, file))
            watch->deleteLater();
        else
            watch->setEnabled(true);
    });
}
