#include "platform/file_choosers.h"

#include <QFileDialog>

QString QtFileChoosers::chooseFolder(QWidget *parent, const QString &title, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(parent, title, startFolder);
}

QString QtFileChoosers::chooseSaveFile(QWidget *parent, const QString &title, const QString &startPath,
                                       const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, startPath, filter);
}
