#pragma once

#include <QString>

class QWidget;

// The desktop's folder and file choosers. Each returns the chosen path, or
// an empty text when the user cancelled.
class FileChoosers
{
public:
    virtual ~FileChoosers() = default;
    virtual QString chooseFolder(const QString &title, const QString &start) = 0;
    virtual QString chooseSaveFile(const QString &title, const QString &suggestedPath) = 0;
};

// QFileDialog: the desktop's own dialog where the platform theme offers one.
class QtFileChoosers : public FileChoosers
{
public:
    explicit QtFileChoosers(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    QString chooseFolder(const QString &title, const QString &start) override;
    QString chooseSaveFile(const QString &title, const QString &suggestedPath) override;

private:
    QWidget *m_parent;
};
