#include "app/command_line.h"

#include "series/run_list.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// The toolkit's options, taken with one dash or two: those followed by a
// value, and those that stand alone.
const QStringList kToolkitOptionsWithValue{
    QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),   QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"), QStringLiteral("session"),        QStringLiteral("display"),
    QStringLiteral("geometry"), QStringLiteral("name"),               QStringLiteral("title"),
    QStringLiteral("style"),    QStringLiteral("stylesheet"),         QStringLiteral("qmljsdebugger")};
const QStringList kToolkitSwitches{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync")};

bool isOption(const QString &argument)
{
    return argument.size() > 1 && argument.startsWith(u'-') && !argument.at(1).isDigit();
}

CommandLine usageError(const QString &error)
{
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = error;
    return line;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("main", text);
}
} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    std::optional<CommandLine::Action> answer; // help or version
    std::optional<QString> run;                // --list or --download
    std::optional<QString> folder;
    QStringList values;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--") {
            values += arguments.mid(i + 1);
            break;
        }
        if (!isOption(argument)) {
            values.append(argument);
            continue;
        }
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = argument.left(equals);
        const std::optional<QString> attached =
            equals < 0 ? std::nullopt : std::optional<QString>(argument.mid(equals + 1));
        const QString bare = name.mid(name.startsWith(u"--") ? 2 : 1);
        if (kToolkitOptionsWithValue.contains(bare)) {
            if (!attached && bare != u"qmljsdebugger")
                ++i;
            continue;
        }
        if (kToolkitSwitches.contains(bare) && !attached)
            continue;

        if (name == u"-h" || name == u"--help" || name == u"-?" || name == u"--help-all" || name == u"-v"
            || name == u"--version") {
            if (attached)
                return usageError(tr("option '%1' takes no value").arg(name));
            // Help and version answer whatever else is asked, as other tools do.
            const bool version = name == u"-v" || name == u"--version";
            answer = answer.value_or(version ? CommandLine::Action::Version : CommandLine::Action::Help);
            continue;
        }
        if (name == u"--to") {
            if (folder)
                return usageError(tr("option '--to' is given twice"));
            if (attached)
                folder = attached;
            else if (i + 1 < arguments.size())
                folder = arguments[++i];
            if (!folder || folder->isEmpty())
                return usageError(tr("option '--to' needs a FOLDER"));
            continue;
        }
        if (name != u"--list" && name != u"--download")
            return usageError(tr("unknown option '%1'").arg(argument));
        if (run)
            return usageError(tr("option '%1' cannot go with '%2'").arg(name, *run));
        run = name;
        if (attached)
            values.prepend(*attached);
    }

    CommandLine line;
    if (answer) {
        line.action = *answer;
        return line;
    }
    if (folder && run != u"--download")
        return usageError(tr("option '--to' goes with '--download'"));
    if (!run) {
        if (values.size() > 1)
            return usageError(tr("one URL at most, not also '%1'").arg(values[1]));
        if (!values.isEmpty() && !values.first().isEmpty())
            line.url = values.first();
        return line;
    }
    line.action = run == u"--list" ? CommandLine::Action::List : CommandLine::Action::Download;
    if (values.isEmpty())
        return usageError(tr("option '%1' needs a URL").arg(*run));
    if (values.size() > 2)
        return usageError(tr("unexpected argument '%1'").arg(values[2]));
    ListRequest request{values.first(), std::nullopt};
    if (values.size() == 2) {
        if (!runCount(values[1]))
            return usageError(tr("COUNT must be 1 to %1: '%2'").arg(kListMaximum).arg(values[1]));
        request.count = values[1];
    }
    line.list = request;
    line.download = DownloadRequest{request, folder.value_or(QString())};
    return line;
}

QString commandLineHelp()
{
    return tr("Usage: serimo [options] [url]\n"
              "Steps through numbered series of web addresses.\n"
              "\n"
              "  url                     start the window on this URL instead of the last one\n"
              "  --list URL [COUNT]      print the run from URL, one URL per line, and exit\n"
              "  --download URL [COUNT]  save the run from URL here, up to the series' end\n"
              "  --to FOLDER             with --download: save into FOLDER, made when missing\n"
              "  -h, --help              print this help and exit\n"
              "  -v, --version           print the version and exit\n"
              "\n"
              "COUNT is 1 to 999; --list prints as many as Items allows without it, --download\n"
              "tries 999. The toolkit's own options (-platform, -display, -style, ...) are\n"
              "passed on to it. Exit status: 0 done, 1 a file or an output failed, 2 bad input.\n");
}

int printText(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    // A full disk or a closed pipe is a failure, not a text printed.
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
        || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "serimo: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

int printListedRun(const ListRequest &request)
{
    const ListedRun listed = listedRun(request.url, request.count);
    if (listed.run.isEmpty()) {
        std::fprintf(stderr, "serimo: %s\n", listed.error.toLocal8Bit().constData());
        return 2;
    }
    return printText(runListText(listed.run));
}
