#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

int DesktopShell::ShellOpenFile(const QString &file, const QString & /*operation*/, const QString & /*directory*/,
                                int /*showCommand*/)
{
    // Only "open" is ever asked for; the desktop places the window itself.
    if (!QFileInfo(file).isFile())
        return kFileNotFound;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file)) ? kAccepted : kRefused;
}
