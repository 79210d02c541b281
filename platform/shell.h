#pragma once

#include <QString>

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

// The desktop's way of opening files: Qt's desktop services, which on Linux
// start xdg-open detached.
class DesktopShell : public Shell
{
public:
    int ShellOpenFile(const QString &file, const QString &operation, const QString &directory,
                      int showCommand) override;
};
