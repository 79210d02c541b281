#pragma once

#include "runs/site_options.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks of this run, read before any display is
// opened so that a mistake is answered the same with or without one. Pure:
// Qt Core only.

// What `--list URL [COUNT]`, `--download URL [COUNT]` and `--find-end URL` ask for.
struct ListRequest
{
    QString url;
    std::optional<QString> count;
};

struct DownloadRequest
{
    ListRequest run;
    // Where the files go: the current folder when not given.
    QString folder;
    SiteOptions site;
    // -c, --continue: each file already there is checked and completed.
    bool continueFiles = false;
};

struct CommandLine
{
    enum class Action { Window, Help, Version, List, Download, FindEnd, UsageError };
    Action action = Action::Window;
    // A URL to start on instead of the stored one.
    std::optional<QString> url;
    ListRequest list;
    // Download; and FindEnd, which reads its URL and site options.
    DownloadRequest download;
    // The one line that says what is wrong (UsageError).
    QString error;
};

// One argument as text. An address ("://" in it) whose bytes are not UTF-8
// keeps those bytes percent-encoded ("%E9"), so that the server is asked for
// exactly them, never for a replacement character; any other argument is
// read in the locale's encoding.
QString argumentText(const QByteArray &bytes);

// Reads the arguments after the program's name. Options take one dash or
// two. The toolkit's own options (-platform, -display, -style, ...) are left
// to the toolkit; an argument that starts with "-" and a digit is a value,
// never an option, so that "-1" is read as a bad COUNT.
CommandLine parseCommandLine(const QStringList &arguments);

// The text --help prints: every option, one line each.
QString commandLineHelp();

// Prints text on standard output: 0, or 1 with the reason on standard error
// when standard output cannot take it (a full disk, a closed pipe).
int printText(const QString &text);

// Prints the run a --list asks for on standard output, one address per line,
// and returns 0; or one line on standard error and 2 when the run cannot be
// made, 1 when standard output cannot take it.
int printListedRun(const ListRequest &request);
