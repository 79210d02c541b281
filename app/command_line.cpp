#include "app/command_line.h"

#include "series/run_list.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool asksOnlyForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version", "--list"}) {
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
    const QCommandLineOption list(
        QStringLiteral("list"),
        QCoreApplication::translate("main", "Print the run from the URL given after it, one URL per line, and "
                                            "exit: COUNT URLs (1 to 999) where a count follows the URL, else as "
                                            "many as Items allows for its counter's width."));
    parser.addOption(list);
    parser.process(app);

    CommandLine line;
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(list)) {
        if (positional.isEmpty() || positional.size() > 2) {
            std::fprintf(stderr, "serimo: %s\n",
                         qPrintable(QCoreApplication::translate("main", "--list takes a URL and an optional COUNT.")));
            std::exit(2);
        }
        line.list = ListRequest{positional.first(), std::nullopt};
        if (positional.size() == 2)
            line.list->count = positional.last();
        return line;
    }
    if (positional.size() > 1) {
        std::fprintf(stderr, "%s\n", qPrintable(QCoreApplication::translate("main", "Only one URL can be given.")));
        parser.showHelp(1);
    }
    if (!positional.isEmpty() && !positional.first().isEmpty())
        line.url = positional.first();
    return line;
}

int printListedRun(const ListRequest &request)
{
    const ListedRun listed = listedRun(request.url, request.count);
    if (listed.run.isEmpty()) {
        std::fprintf(stderr, "serimo: %s\n", listed.error.toLocal8Bit().constData());
        return 2;
    }
    const QByteArray bytes = runListText(listed.run).toUtf8();
    // A full disk or a closed pipe is a failure, not a list printed.
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
        || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "serimo: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
