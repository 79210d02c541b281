#pragma once

#include <QString>

class QWidget;

// The desktop's file and folder choosers. Each asks the user and returns the
// chosen path, or an empty string when the user cancelled.
class FileChoosers
{
public:
    virtual ~FileChoosers() = default;
    // An existing folder, the chooser opening in startFolder.
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &startFolder) = 0;
    // A file to save to, the chooser opening at startPath; filter as
    // QFileDialog takes it ("Text files (*.txt)").
    virtual QString chooseSaveFile(QWidget *parent, const QString &title, const QString &startPath,
                                   const QString &filter) = 0;
    // An existing file to read, the chooser opening at startPath.
    virtual QString chooseOpenFile(QWidget *parent, const QString &title, const QString &startPath,
                                   const QString &filter) = 0;
};

// Makes the folder and any folder above it that is missing: empty when it
// is there, else the reason it cannot be (a file in the way, no permission).
QString createFolder(const QString &path);

// QFileDialog: the desktop's own dialog where the platform theme offers one.
// A folder typed into Qt's own dialog that does not exist is made on Choose.
class QtFileChoosers : public FileChoosers
{
public:
    QString chooseFolder(QWidget *parent, const QString &title, const QString &startFolder) override;
    QString chooseSaveFile(QWidget *parent, const QString &title, const QString &startPath,
                           const QString &filter) override;
    QString chooseOpenFile(QWidget *parent, const QString &title, const QString &startPath,
                           const QString &filter) override;
};
