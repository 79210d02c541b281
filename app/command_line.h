#pragma once

#include <QString>
#include <optional>

class QCoreApplication;

// What `--list URL [COUNT]` asks for.
struct ListRequest
{
    QString url;
    std::optional<QString> count;
};

// What the command line asks of this run.
struct CommandLine
{
    // A URL to start on instead of the stored one.
    std::optional<QString> url;
    // Print a run and end, without a window.
    std::optional<ListRequest> list;
};

// True when the arguments ask only for text (--help, --version, --list): the
// caller then needs no display.
bool asksOnlyForText(int argc, char *argv[]);

// Reads the arguments left after the toolkit took its own. --help and
// --version print and end the program, as does an unknown option (with the
// usage on standard error) and --list without its URL or with more than a
// URL and a count (status 2).
CommandLine processCommandLine(const QCoreApplication &app);

// Prints the run a --list asks for on standard output, one address per line,
// and returns 0; or one line on standard error and 2 when the run cannot be
// made, 1 when standard output cannot take it.
int printListedRun(const ListRequest &request);
