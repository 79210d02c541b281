#include "platform/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString shippedFile(const QString &name)
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = programDir.filePath(QStringLiteral("../share/serimo/") + name);
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed) : beside;
}

QString pageDirectory()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!QFileInfo(dir).isWritable()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QDir().mkpath(dir);
    }
    return dir;
}
