#include "platform/file_choosers.h"

#include <QFileDialog>

QString QtFileChoosers::chooseFolder(const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(m_parent, title, start);
}

QString QtFileChoosers::chooseSaveFile(const QString &title, const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(m_parent, title, suggestedPath);
}
