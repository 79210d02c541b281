#pragma once

class QWidget;

// Keeping a window above the other programs' windows, as the desktop allows.
class KeepAbove
{
public:
    virtual ~KeepAbove() = default;
    // Asks the desktop to keep the window above ordinary windows, or no
    // longer. False where the desktop offers a program no way to ask.
    virtual bool set(QWidget *window, bool above) = 0;
};

// Through the window's stays-on-top flag, which the X window manager obeys.
class WindowFlagKeepAbove : public KeepAbove
{
public:
    bool set(QWidget *window, bool above) override;
};

// A Wayland desktop with no way for a program to stay on top.
class NoKeepAbove : public KeepAbove
{
public:
    bool set(QWidget *, bool) override { return false; }
};
