#pragma once

#include <QString>
#include <functional>

// Where Serimo keeps its own files, the same from the build tree as from an
// installed prefix (bin/serimo beside share/serimo/).

// A file shipped with the program (the help file): next to the executable,
// else in the prefix's share/serimo. The first of the two when neither exists.
QString shippedFile(const QString &name);

// The directory the program writes its own pages to. Beside the program only
// when it runs from its build tree, which the shipped file `marker` lying
// beside it tells; an installed program's directory (a bin folder) is for
// programs, so there the user's data directory. `isFile` says whether a
// path names an existing file.
QString pageDirectoryFor(const QString &programDir, const QString &marker, const QString &userDataDir,
                         const std::function<bool(const QString &)> &isFile);

// Makes the environment name the user's own folders before anything reads
// it: a HOME that is unset or relative becomes the home the user database
// gives, and a relative XDG_CONFIG_HOME is dropped, as the XDG rules say,
// so that nothing lands in / or in whatever folder Serimo started in.
void settleUserFolders();

// The places on disk the main window writes to.
class FileLocations
{
public:
    virtual ~FileLocations() = default;
    // The user's home directory.
    virtual QString homeDirectory() const = 0;
    // The directory for the program's own pages; it exists on return when it
    // could be made.
    virtual QString pageDirectory() const = 0;
    // The user's Downloads folder; it exists on return when it could be made.
    virtual QString downloadsDirectory() const = 0;
};

// The real places: the home directory, and the page directory by the rule
// above with the help file as the build tree's mark and the user's data
// directory for Serimo (~/.local/share/Serimo).
class DesktopFileLocations : public FileLocations
{
public:
    explicit DesktopFileLocations(const QString &helpFile) : m_helpFile(helpFile) {}
    QString homeDirectory() const override;
    QString pageDirectory() const override;
    QString downloadsDirectory() const override;

private:
    QString m_helpFile;
};
