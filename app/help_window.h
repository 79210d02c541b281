#pragma once

#include "platform/help_viewer.h"

#include <QPointer>

class QTextBrowser;

// A small window of our own that shows the HTML help file found next to the
// executable; context 0 is its contents page. Esc and Ctrl+W close it.
class QtHelpViewer : public HelpViewer
{
public:
    void showContext(const QString &helpFile, int context, QWidget *owner) override;

private:
    // A child window of the owner, so it closes and goes with the main window.
    QPointer<QTextBrowser> m_window;
};
