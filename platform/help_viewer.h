#pragma once

#include <QPointer>
#include <QString>

class QTextBrowser;
class QWidget;

// Shows a context of the program's help file.
class HelpViewer
{
public:
    virtual ~HelpViewer() = default;
    // Raises SerimoError when the help file cannot be read.
    virtual void showContext(const QString &helpFile, int context, QWidget *owner) = 0;
};

// A small window of our own that shows the HTML help file found next to the
// executable; context 0 is its contents page.
class QtHelpViewer : public HelpViewer
{
public:
    void showContext(const QString &helpFile, int context, QWidget *owner) override;

private:
    // A child window of the owner, so it closes and goes with the main window.
    QPointer<QTextBrowser> m_window;
};
