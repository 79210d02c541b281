#pragma once

#include <QString>

class QWidget;

// Shows a context of the program's help file.
class HelpViewer
{
public:
    virtual ~HelpViewer() = default;
    // Raises SerimoError when the help file cannot be read.
    virtual void showContext(const QString &helpFile, int context, QWidget *owner) = 0;
};
