#pragma once

#include <QString>
#include <optional>

class QCoreApplication;

// What the command line asks of this run.
struct CommandLine
{
    // A URL to start on instead of the stored one.
    std::optional<QString> url;
};

// True when the arguments ask only for text (--help, --version): the caller
// then needs no display.
bool asksOnlyForText(int argc, char *argv[]);

// Reads the arguments left after the toolkit took its own. --help and
// --version print and end the program, as does an unknown option (with the
// usage on standard error).
CommandLine processCommandLine(const QCoreApplication &app);
