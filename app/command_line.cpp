#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

bool asksOnlyForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

CommandLine processCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Steps through numbered series of web addresses."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("url"),
                                 QCoreApplication::translate("main", "Start on this URL instead of the last one."),
                                 QStringLiteral("[url]"));
    parser.process(app);

    CommandLine line;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        std::fprintf(stderr, "%s\n", qPrintable(QCoreApplication::translate("main", "Only one URL can be given.")));
        parser.showHelp(1);
    }
    if (!positional.isEmpty() && !positional.first().isEmpty())
        line.url = positional.first();
    return line;
}
