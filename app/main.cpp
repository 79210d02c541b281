#include "app/command_line.h"
#include "app/display_start.h"
#include "app/exit_deadline.h"
#include "app/terminal_find_end.h"
#include "app/help_window.h"
#include "app/terminal_download.h"
#include "app/vemp_107.h"
#include "platform/busy_cursor.h"
#include "platform/clipboard.h"
#include "platform/dbus/taskbar_progress.h"
#include "platform/desktop_adapters.h"
#include "platform/file_choosers.h"
#include "platform/foreground_window.h"
#include "platform/keep_above.h"
#include "runs/engine_registry.h"
#include "runs/kget.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "platform/secret_store.h"
#include "platform/session_end.h"
#include "platform/settings_store.h"
#include "platform/shell.h"

#include <QApplication>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {
// Notes when the window begins to close, before its own close handling.
class CloseClock : public QObject
{
public:
    explicit CloseClock(ExitDeadline &deadline) : m_deadline(deadline) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            m_deadline.closeBegan();
        return QObject::eventFilter(watched, event);
    }

private:
    ExitDeadline &m_deadline;
};

QStringList givenArguments(int argc, char *argv[])
{
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(argumentText(argv[i]));
    return given;
}

// The exit status of what the command line asks that needs no window; nothing
// when it asks for the window.
std::optional<int> answerWithoutWindow(const CommandLine &commandLine, int &argc, char *argv[])
{
    switch (commandLine.action) {
    case CommandLine::Action::UsageError:
        std::fprintf(stderr, "serimo: %s\nTry 'serimo --help'.\n", commandLine.error.toLocal8Bit().constData());
        return 2;
    case CommandLine::Action::Help:
        return printText(commandLineHelp());
    case CommandLine::Action::Version:
        return printText(QStringLiteral("Serimo " SERIMO_VERSION "\n"));
    case CommandLine::Action::List:
        if (!commandLine.list.count) {
            QCoreApplication terminal(argc, argv);
            return listSeriesOnTerminal(commandLine.list.url);
        }
        return printListedRun(commandLine.list);
    case CommandLine::Action::FindEnd: {
        QCoreApplication terminal(argc, argv);
        return findEndOnTerminal(commandLine.download.run.url, commandLine.download.site);
    }
    case CommandLine::Action::Download: {
        QCoreApplication terminal(argc, argv);
        return downloadOnTerminal(commandLine.download);
    }
    case CommandLine::Action::Window:
        break;
    }
    return std::nullopt;
}

// Wires the real platform adapters to the window, shows it and runs the
// event loop; the exit status.
int runWindow(QApplication &app, const CommandLine &commandLine, ExitDeadline &exitDeadline)
{
    const std::shared_ptr<WaylandConnection> wayland = openWaylandConnection();
    const std::unique_ptr<Clipboard> clipboard = makeClipboard(wayland.get());
    const std::unique_ptr<ForegroundWindow> foreground = makeForegroundWindow(wayland.get());
    const std::unique_ptr<KeepAbove> keepAbove = makeKeepAbove();
    QtMessageBoxes messageBoxes;
    QtSettingsStore settings;
    QtHelpViewer help;
    QtBusyCursor cursor;
    DesktopShell shell;
    DesktopFileLocations files(QStringLiteral("qxvemp.hlp"));
    QtFileChoosers choosers;
    LauncherEntryProgress taskbar;
    DBusKGet kget;
    const EngineRegistry engines = standardEngines(kget);
    // A keyring that has not answered in 3 s waits on something nobody will
    // do (a prompt on another screen): the secret is then kept for the session.
    const std::unique_ptr<SecretStore> secrets = makeSecretStore(3000);
    // The end of the session closes the window as its user would, settings
    // written, and then ends every event loop at once, also those of modal
    // windows: a request to quit would wait on windows that refuse to close
    // (About closes only with its button). A second request while the close
    // waits for an answer (a settings error) ends the program at once. The
    // watcher starts before the window, which may show a settings error
    // while it starts: a request then ends that box, and the window closes
    // once it stands.
    SessionEndWatcher sessionEnd;
    TVempForm *form = nullptr;
    QObject::connect(&sessionEnd, &SessionEndWatcher::endRequested, &sessionEnd, [&form] {
        if (form)
            form->close();
        QCoreApplication::exit(0);
    });
    TVempForm VempForm(Platform{messageBoxes, *clipboard, settings, help, cursor, shell, *foreground, files,
                                *keepAbove, choosers, taskbar, engines, *secrets});
    messageBoxes.setParent(&VempForm);
    form = &VempForm;
    if (sessionEnd.requested()) {
        VempForm.close();
        exitDeadline.start(0, 500);
        return 0;
    }
    if (commandLine.url)
        VempForm.setStartUrl(*commandLine.url);
    VempForm.show();
    CloseClock closeClock(exitDeadline);
    VempForm.installEventFilter(&closeClock);
    const int status = app.exec();
    // The teardown gets what is left of a second from the close, and at
    // least 100 ms.
    exitDeadline.start(status, exitDeadline.teardownMs(100));
    return status;
}
} // namespace

int main(int argc, char *argv[])
{
    settleUserFolders();
    QCoreApplication::setApplicationName(QStringLiteral("Serimo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SERIMO_VERSION));
    // Desktops match the window to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.serimo"));
    // A mistake, help, version and the runs on the terminal are answered
    // without a display and touch no settings.
    const CommandLine commandLine = parseCommandLine(givenArguments(argc, argv));
    if (const std::optional<int> status = answerWithoutWindow(commandLine, argc, argv))
        return *status;
    std::vector<char *> arguments(argv, argv + argc);
    int count = argc;
    arguments.push_back(nullptr);
    // The window system goes to Qt as an argument, not through the
    // environment, which programs Serimo starts (the browser) inherit.
    QByteArray platform = chooseWindowSystem();
    char platformOption[] = "-platform";
    if (!platform.isEmpty()) {
        arguments.insert(arguments.begin() + 1, {platformOption, platform.data()});
        count += 2;
    }
    // Once the window has closed, the process ends within half a second.
    ExitDeadline exitDeadline;
    std::unique_ptr<QApplication> app;
    {
        const DisplayStartGuard guard;
        app = std::make_unique<QApplication>(count, arguments.data());
    }
    return runWindow(*app, commandLine, exitDeadline);
}
