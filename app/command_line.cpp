#include "app/command_line.h"

#include "common/translate_main.h"
#include "series/run_list.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// An option Serimo reads, and its line in --help.
struct Declared
{
    QStringList names;
    // What follows the names in --help; for an option that takes a value,
    // the value's name.
    QString shape;
    bool takesValue = false;
    const char *help = nullptr;
};

// Every option of Serimo's own, in the order --help lists them.
const QList<Declared> &declaredOptions()
{
    static const QList<Declared> options{
        {{"list"}, "URL [COUNT]", false, QT_TRANSLATE_NOOP("main", "print the run from URL, one URL per line, and exit")},
        {{"download"}, "URL [COUNT]", false, QT_TRANSLATE_NOOP("main", "save the run from URL here, up to the series' end")},
        {{"find-end"}, "URL", false, QT_TRANSLATE_NOOP("main", "print the address of the series' last item and exit")},
        {{"to"}, "FOLDER", true, QT_TRANSLATE_NOOP("main", "save into FOLDER, made when missing")},
        {{"c", "continue"}, QString(), false, QT_TRANSLATE_NOOP("main", "complete each file already there, or replace it")},
        {{"referer"}, "URL", true, QT_TRANSLATE_NOOP("main", "send URL as the Referer, not the site's own; '' sends none")},
        {{"user-agent"}, "TEXT", true, QT_TRANSLATE_NOOP("main", "send TEXT as the User-Agent, not Serimo's own")},
        {{"load-cookies"}, "FILE", true, QT_TRANSLATE_NOOP("main", "send the cookies of a cookies.txt or a cookies.sqlite")},
        {{"wait"}, "SECONDS", true, QT_TRANSLATE_NOOP("main", "fetch one file at a time, SECONDS between two starts")},
        {{"connections"}, "N", true, QT_TRANSLATE_NOOP("main", "fetch N files at once over HTTP/1.1 (1 to 16; 4)")},
        {{"no-check-certificate"}, QString(), false,
         QT_TRANSLATE_NOOP("main", "take a certificate no authority signed (a server of your own)")},
        {{"h", "help", "?"}, QString(), false, QT_TRANSLATE_NOOP("main", "print this help and exit")},
        {{"help-all"}, QString(), false, nullptr},
        {{"v", "version"}, QString(), false, QT_TRANSLATE_NOOP("main", "print the version and exit")},
        // The toolkit's own, taken here only to be passed on.
        {{"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
          "qwindowtitle", "session", "display", "geometry", "name", "title", "style", "stylesheet", "qmljsdebugger"},
         QStringLiteral("VALUE"), true, nullptr},
        {{"reverse", "widgetcount", "nograb", "dograb", "sync"}, QString(), false, nullptr},
    };
    return options;
}

// The options that only the runs that ask a server read, in the order of
// declaredOptions(); --to only a download.
const QStringList kDownloadOnly{"to", "continue", "referer", "user-agent", "load-cookies", "wait", "connections",
                                "no-check-certificate"};
const QStringList kRunsThatAsk{"--download", "--find-end"};

// An argument as an error quotes it: a long one is cut, so that the error
// stays one line.
constexpr qsizetype kEchoedMost = 80;

QString echoed(const QString &argument)
{
    return argument.size() <= kEchoedMost ? argument : argument.left(kEchoedMost - 1) + u'\u2026';
}

const Declared *declared(const QString &name)
{
    for (const Declared &option : declaredOptions())
        if (option.names.contains(name))
            return &option;
    return nullptr;
}

// Set before an argument that is a value whatever it looks like. No argument
// can hold it: the program's arguments are C strings.
constexpr QChar kValueMark = u'\0';

QString unmarked(QString argument)
{
    return argument.startsWith(kValueMark) ? argument.mid(1) : argument;
}

// The arguments as the parser takes them: a program name first, a number
// such as "-1" marked as a value, "--list=URL" as "--list" and URL.
QStringList parserArguments(const QStringList &arguments)
{
    QStringList prepared{QStringLiteral("serimo")};
    bool positional = false;
    for (const QString &argument : arguments) {
        positional = positional || argument == u"--";
        if (positional || !argument.startsWith(u'-') || argument.size() < 2) {
            prepared.append(argument);
            continue;
        }
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = argument.left(equals).remove(QRegularExpression(QStringLiteral("^--?")));
        if (argument.at(1).isDigit()) {
            prepared.append(kValueMark + argument);
        } else if (equals > 0 && (name == u"list" || name == u"download" || name == u"find-end")) {
            prepared.append(argument.left(equals));
            prepared.append(kValueMark + argument.mid(equals + 1));
        } else {
            prepared.append(argument);
        }
    }
    return prepared;
}

// What is wrong with the first option the parser refused, in Serimo's words.
QString refusal(const QStringList &prepared, const QString &parserError)
{
    for (qsizetype i = 1; i < prepared.size() && prepared[i] != u"--"; ++i) {
        const QString &argument = prepared[i];
        if (!argument.startsWith(u'-') || argument.size() < 2)
            continue;
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = argument.left(equals);
        const Declared *option = declared(name.mid(name.startsWith(u"--") ? 2 : 1));
        if (!option)
            return trMain("unknown option '%1'").arg(echoed(argument));
        if (!option->takesValue && equals >= 0)
            return trMain("option '%1' takes no value").arg(echoed(name));
        if (option->takesValue && equals < 0 && ++i == prepared.size())
            return trMain("option '%1' needs a %2").arg(name, option->shape);
    }
    return parserError;
}

CommandLine usageError(const QString &error)
{
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = error;
    return line;
}

// The value of a download's option given once, or the reason it is wrong.
std::optional<QString> singleValue(const QCommandLineParser &parser, const QString &name, QString *error)
{
    const QStringList values = parser.values(name);
    if (values.isEmpty())
        return std::nullopt;
    if (values.size() > 1)
        *error = trMain("option '--%1' is given twice").arg(name);
    else if (values.first().isEmpty() && name != u"referer")
        *error = trMain("option '--%1' needs a %2").arg(name, declared(name)->shape);
    return unmarked(values.first());
}

// Reads the options only a download takes into request; the reason when one
// is wrong.
QString readDownloadOptions(const QCommandLineParser &parser, DownloadRequest &request)
{
    QString error;
    const auto folder = singleValue(parser, "to", &error);
    const auto referer = singleValue(parser, "referer", &error);
    const auto userAgent = singleValue(parser, "user-agent", &error);
    const auto cookies = singleValue(parser, "load-cookies", &error);
    const auto wait = singleValue(parser, "wait", &error);
    const auto connections = singleValue(parser, "connections", &error);
    if (!error.isEmpty())
        return error;
    request.site.checkCertificates = !parser.isSet(QStringLiteral("no-check-certificate"));
    if (connections) {
        bool isNumber = false;
        const int count = connections->toInt(&isNumber);
        if (!isNumber || count < 1 || count > kMostConnections || !connections->front().isDigit())
            return trMain("N must be 1 to %1: '%2'").arg(kMostConnections).arg(echoed(*connections));
        request.site.connections = count;
    }
    request.folder = folder.value_or(QString());
    request.continueFiles = parser.isSet(QStringLiteral("continue"));
    request.site.referer = referer;
    request.site.userAgent = userAgent.value_or(QString());
    request.site.cookiesFile = cookies.value_or(QString());
    if (wait) {
        const std::optional<int> waitMs = waitMilliseconds(*wait);
        static const QRegularExpression tooFine(QStringLiteral(R"(^\d+\.\d{4,}$)"));
        if (!waitMs && tooFine.match(*wait).hasMatch())
            return trMain("SECONDS takes at most three decimals (a millisecond): '%1'").arg(echoed(*wait));
        if (!waitMs)
            return trMain("SECONDS must be 0 to %1: '%2'").arg(kWaitMaximumSeconds).arg(echoed(*wait));
        request.site.waitMs = *waitMs;
    }
    return QString();
}

// Every option of Serimo's own into parser, hidden from --help where it has
// no line there.
void declareOptions(QCommandLineParser &parser)
{
    // "-platform" is one option, as the toolkit reads it, not six letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Declared &option : declaredOptions()) {
        QCommandLineOption parsed(option.names, trMain(option.help ? option.help : ""),
                                  option.takesValue ? option.shape : QString());
        if (!option.help)
            parsed.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(parsed);
    }
}

// The window, on the URL given if any.
CommandLine windowCommandLine(const QStringList &values)
{
    CommandLine line;
    if (values.size() > 1)
        return usageError(trMain("one URL at most, not also '%1'").arg(echoed(values[1])));
    if (!values.isEmpty() && !values.first().isEmpty())
        line.url = values.first();
    return line;
}

// The run that run names (--list, --download or --find-end), from the URL
// and COUNT in values.
CommandLine runCommandLine(const QCommandLineParser &parser, const QString &run, const QStringList &values)
{
    CommandLine line;
    line.action = run == u"--list"       ? CommandLine::Action::List
                  : run == u"--download" ? CommandLine::Action::Download
                                         : CommandLine::Action::FindEnd;
    if (values.isEmpty())
        return usageError(trMain("option '%1' needs a URL").arg(run));
    const qsizetype mostValues = line.action == CommandLine::Action::FindEnd ? 1 : 2;
    if (values.size() > mostValues)
        return usageError(trMain("unexpected argument '%1'").arg(echoed(values[mostValues])));
    ListRequest request{values.first(), std::nullopt};
    if (values.size() == 2) {
        if (!runCount(values[1]))
            return usageError(trMain("COUNT must be 1 to %1: '%2'").arg(kListMaximum).arg(echoed(values[1])));
        request.count = values[1];
    }
    line.list = request;
    line.download.run = request;
    if (const QString error = readDownloadOptions(parser, line.download); !error.isEmpty())
        return usageError(error);
    return line;
}
} // namespace

QString argumentText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(bytes);
    if (!utf8.hasError() || !bytes.contains("://"))
        return utf8.hasError() ? QString::fromLocal8Bit(bytes) : decoded;
    QString kept;
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        kept += code < 0x80 ? QString(QChar(code)) : QStringLiteral("%%1").arg(code, 2, 16, QChar(u'0')).toUpper();
    }
    return kept;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    declareOptions(parser);
    const QStringList prepared = parserArguments(arguments);
    if (!parser.parse(prepared))
        return usageError(refusal(prepared, parser.errorText()));

    std::optional<QString> run; // --list, --download or --find-end, as asked first
    QString downloadOption;     // the first option only a download reads
    for (const QString &name : parser.optionNames()) {
        const QStringList &names = declared(name)->names;
        // Help and version take nothing more: a typo beside them is not
        // passed over in silence.
        if (names.contains(u"help") || names.contains(u"help-all") || names.contains(u"version")) {
            if (arguments.size() > 1) {
                const QRegularExpression typed(QStringLiteral("^--?%1(=.*)?$").arg(QRegularExpression::escape(name)));
                const qsizetype at = arguments.indexOf(typed);
                const QString alone = arguments.value(at);
                const QString other = arguments.value(at == 0 ? 1 : 0);
                return usageError(trMain("option '%1' takes nothing more: '%2'").arg(echoed(alone), echoed(other)));
            }
            CommandLine line;
            line.action = names.contains(u"version") ? CommandLine::Action::Version : CommandLine::Action::Help;
            return line;
        }
        if (name == u"list" || name == u"download" || name == u"find-end") {
            if (run && *run != "--" + name)
                return usageError(trMain("option '--%1' cannot go with '%2'").arg(name, *run));
            run = "--" + name;
        }
        if (kDownloadOnly.contains(name) && downloadOption.isEmpty())
            downloadOption = name;
    }
    QStringList values;
    for (const QString &value : parser.positionalArguments())
        values.append(unmarked(value));

    if ((downloadOption == u"to" || downloadOption == u"continue") && run != u"--download")
        return usageError(trMain("option '--%1' goes with '--download'").arg(downloadOption));
    if (!downloadOption.isEmpty() && !kRunsThatAsk.contains(run.value_or(QString())))
        return usageError(trMain("option '--%1' goes with '--download' or '--find-end'").arg(downloadOption));
    if (!run)
        return windowCommandLine(values);
    return runCommandLine(parser, *run, values);
}

QString commandLineHelp()
{
    QString help = trMain("Usage: serimo [options] [url]\n"
                      "Steps through numbered series of web addresses.\n"
                      "\n"
                      "  url                     start the window on this URL instead of the last one\n");
    for (const Declared &option : declaredOptions()) {
        if (!option.help)
            continue;
        QStringList names;
        for (const QString &name : option.names)
            names.append((name.size() == 1 ? "-" : "--") + name);
        const QString shown = names.join(QStringLiteral(", ")) + (option.shape.isEmpty() ? "" : " " + option.shape);
        help += "  " + shown.leftJustified(22) + "  " + trMain(option.help) + "\n";
    }
    return help
        + trMain("\n"
             "Square brackets choose the counter: 'https://h/IMG_[0007]-1024x768.jpg'.\n"
             "COUNT is 1 to 999; without it --list and --download find the series' end first\n"
             "and print or save all of it, however long. --to and -c go with --download;\n"
             "--referer, --user-agent, --load-cookies, --wait, --connections and\n"
             "--no-check-certificate with --download and --find-end. Over HTTP/2 a run asks\n"
             "up to 32 files at once on one connection. The toolkit's own options (-platform,\n"
             "-display, -style, ...) are passed on to it. Exit status: 0 done, 1 a file or an\n"
             "output failed (--find-end:\n"
             "nothing at URL, or the server failed), 2 bad input.\n"
             "\n"
             "A gallery behind a login, with the cookies the browser exported:\n"
             "  serimo --download 'https://h/g/p001.jpg' --load-cookies ~/cookies.txt --wait 1\n");
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
    // Each line is printed as it is made: the memory stays that of one
    // address, whatever COUNT is.
    int printed = 0;
    const QString error = walkListedRun(request.url, request.count, [&printed](const QString &url, const QString &) {
        printed = printText(runListText({url}));
        return printed == 0;
    });
    if (!error.isEmpty()) {
        std::fprintf(stderr, "serimo: %s\n", error.toLocal8Bit().constData());
        return 2;
    }
    return printed;
}
