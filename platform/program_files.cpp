#include "platform/program_files.h"

#include "platform/file_choosers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

void settleUserFolders()
{
    const char *home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
            ::setenv("HOME", user->pw_dir, 1);
    }
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] != '/')
        ::unsetenv("XDG_CONFIG_HOME");
}

QString shippedFile(const QString &name)
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = programDir.filePath(QStringLiteral("../share/serimo/") + name);
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed) : beside;
}

QString pageDirectoryFor(const QString &programDir, const QString &marker, const QString &userDataDir,
                         const std::function<bool(const QString &)> &isFile)
{
    return isFile(QDir(programDir).filePath(marker)) ? programDir : userDataDir;
}

QString DesktopFileLocations::homeDirectory() const
{
    return QDir::homePath();
}

QString DesktopFileLocations::pageDirectory() const
{
    const QString dir =
        pageDirectoryFor(QCoreApplication::applicationDirPath(), m_helpFile,
                         QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation),
                         [](const QString &path) { return QFileInfo(path).isFile(); });
    QDir().mkpath(dir);
    return dir;
}

QString DesktopFileLocations::downloadsDirectory() const
{
    // Where the desktop's user-dirs put it, made when missing, so that a
    // chooser opens in it rather than on a folder it cannot show.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!folder.isEmpty())
        createFolder(folder);
    return folder;
}
