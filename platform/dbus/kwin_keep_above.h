#pragma once

#include "platform/keep_above.h"

#include <QTemporaryDir>

// KWin on Wayland, where a window's stays-on-top flag reaches no one: a
// small script, run through KWin's scripting interface on the session bus,
// sets Serimo's windows' keep-above.
class KWinKeepAbove : public KeepAbove
{
public:
    // Whether KWin is on the session bus.
    static bool isOffered();
    bool set(QWidget *window, bool above) override;

private:
    QTemporaryDir m_scripts; // KWin reads a script when it runs it
};
