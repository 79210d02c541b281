#pragma once

#include <QObject>
#include <QString>

class MessageBoxes;

// Hands a file to the desktop, which opens it with the application the user
// chose for its kind (for a page, the default web browser). The hand-over
// returns at once; it never waits for the application.
class Shell
{
public:
    // Result codes: anything above 32 means the desktop took the file.
    static constexpr int kFileNotFound = 2;
    static constexpr int kRefused = 31;
    static constexpr int kAccepted = 42;
    // The show command that activates the application's window as it is.
    static constexpr int kShowNormal = 5;

    // Whether a result code means the desktop took the file.
    static constexpr bool accepted(int result) { return result > 32; }

    virtual ~Shell() = default;
    virtual int ShellOpenFile(const QString &file, const QString &operation, const QString &directory,
                              int showCommand) = 0;
};

// The desktop's opener, xdg-open, started in a session of its own (signals
// for Serimo's terminal do not reach the browser). A missing opener is
// refused. The opener's end is watched from the event loop, never waited
// for: when it ends with a failure, the user is told, naming the file. An
// opener still running when Serimo ends goes on.
class DesktopShell : public Shell
{
public:
    explicit DesktopShell(MessageBoxes &boxes);
    int ShellOpenFile(const QString &file, const QString &operation, const QString &directory,
                      int showCommand) override;

private:
    void watch(int pid, const QString &file);

    MessageBoxes &m_boxes;
    // Parent of the watches of openers still running.
    QObject m_watches;
};
