#pragma once

#include <QObject>
#include <QString>
#include <functional>

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

    // How an opener that took a file ended without opening it: its exit
    // status, or the signal that ended it.
    struct OpenerFailure
    {
        QString file;
        QString opener;
        int exitStatus = 0;
        int signal = 0;
    };
    using FailureReport = std::function<void(const OpenerFailure &)>;

    virtual ~Shell() = default;
    virtual int ShellOpenFile(const QString &file, const QString &operation, const QString &directory,
                              int showCommand) = 0;
    // Where an opener's later failure is reported; the window says so.
    void setFailureReport(FailureReport report) { m_report = std::move(report); }

protected:
    void reportFailure(const OpenerFailure &failure) const
    {
        if (m_report)
            m_report(failure);
    }

private:
    FailureReport m_report;
};

// The desktop's opener, xdg-open, started in a session of its own (signals
// for Serimo's terminal do not reach the browser). A missing opener is
// refused. The opener's end is watched from the event loop, never waited
// for: through its process descriptor, or where the kernel gives none, by
// asking after it a few times a second. A failure is reported. An opener
// still running when Serimo ends goes on.
class DesktopShell : public Shell
{
public:
    int ShellOpenFile(const QString &file, const QString &operation, const QString &directory,
                      int showCommand) override;

private:
    void watch(int pid, const QString &file);
    // Reaps the opener if it has ended and reports a failure; false while it runs.
    bool reaped(int pid, const QString &file) const;

    // Parent of the watches of openers still running.
    QObject m_watches;
};
