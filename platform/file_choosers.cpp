#include "platform/file_choosers.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {
// Qt's own folder chooser refuses a folder that does not exist yet ("Directory
// not found"); this one makes it on Choose, or says why it cannot. A desktop's
// native chooser offers its own way to make a folder.
class FolderDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QString folder = selectedFiles().value(0);
        if (!folder.isEmpty() && !QFileInfo(folder).exists()) {
            if (const QString error = createFolder(folder); !error.isEmpty()) {
                QMessageBox::warning(this, windowTitle(),
                                     tr("The folder %1 cannot be made: %2.").arg(QDir::toNativeSeparators(folder), error));
                return;
            }
        }
        QFileDialog::accept();
    }
};
} // namespace

QString createFolder(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    qsizetype end = clean.indexOf(u'/', 1);
    for (;;) {
        const QString part = end < 0 ? clean : clean.left(end);
        if (::mkdir(QFile::encodeName(part).constData(), 0777) != 0 && errno != EEXIST)
            return QString::fromLocal8Bit(std::strerror(errno));
        if (end < 0)
            break;
        end = clean.indexOf(u'/', end + 1);
    }
    if (!QFileInfo(clean).isDir())
        return QString::fromLocal8Bit(std::strerror(ENOTDIR));
    return {};
}

QString QtFileChoosers::chooseFolder(QWidget *parent, const QString &title, const QString &startFolder)
{
    FolderDialog dialog(parent, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString QtFileChoosers::chooseSaveFile(QWidget *parent, const QString &title, const QString &startPath,
                                       const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, startPath, filter);
}

QString QtFileChoosers::chooseOpenFile(QWidget *parent, const QString &title, const QString &startPath,
                                       const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, startPath, filter);
}
