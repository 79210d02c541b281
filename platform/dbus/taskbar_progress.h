#pragma once

// The progress of a long task on the program's taskbar entry.
class TaskbarProgress
{
public:
    virtual ~TaskbarProgress() = default;
    // fraction from 0 to 1.
    virtual void show(double fraction) = 0;
    virtual void clear() = 0;
};

// The com.canonical.Unity.LauncherEntry Update signal for Serimo's desktop
// entry, which KDE's task manager and Dash to Dock show. A signal is sent
// without waiting on anybody; without a session bus nothing is shown.
class LauncherEntryProgress : public TaskbarProgress
{
public:
    void show(double fraction) override;
    void clear() override;
};
