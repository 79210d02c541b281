#include "platform/shell.h"

#include "platform/message_boxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QUrl>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {
const char kOpener[] = "xdg-open";

// An opener's process descriptor, readable once the opener has ended.
class OpenerWatch : public QSocketNotifier
{
public:
    OpenerWatch(int pidfd, QObject *parent) : QSocketNotifier(pidfd, QSocketNotifier::Read, parent) {}
    ~OpenerWatch() override { ::close(int(socket())); }
};

// What went wrong, from an ended opener's wait status; empty for success.
QString failure(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 0 ? QString()
                                        : QStringLiteral("%1 ended with %2").arg(kOpener).arg(WEXITSTATUS(status));
    return QStringLiteral("%1 was ended by signal %2").arg(kOpener).arg(WTERMSIG(status));
}
} // namespace

DesktopShell::DesktopShell(MessageBoxes &boxes) : m_boxes(boxes) {}

int DesktopShell::ShellOpenFile(const QString &file, const QString & /*operation*/, const QString & /*directory*/,
                                int /*showCommand*/)
{
    // Only "open" is ever asked for; the desktop places the window itself.
    if (!QFileInfo(file).isFile())
        return kFileNotFound;
    const QByteArray url = QUrl::fromLocalFile(file).toEncoded();
    char *const argv[] = {const_cast<char *>(kOpener), const_cast<char *>(url.constData()), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, kOpener, nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return kRefused;
    watch(pid, file);
    return kAccepted;
}

void DesktopShell::watch(int pid, const QString &file)
{
    // Through syscall(): glibc's header for it lacks C linkage.
    const int pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0)
        return;
    auto *watch = new OpenerWatch(pidfd, &m_watches);
    QObject::connect(watch, &QSocketNotifier::activated, watch, [this, watch, pid, file] {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) != pid)
            return;
        watch->setEnabled(false);
        watch->deleteLater();
        const QString why = failure(status);
        if (!why.isEmpty())
            m_boxes.show(QStringLiteral("Error"),
                         QStringLiteral("The browser could not open %1: %2.").arg(QDir::toNativeSeparators(file), why),
                         MessageBoxes::Icon::Error);
    });
}
