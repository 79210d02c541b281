#include "app/command_line.h"
#include "app/display_start.h"
#include "app/exit_deadline.h"
#include "app/help_window.h"
#include "app/vemp_107.h"
#include "platform/busy_cursor.h"
#include "platform/clipboard.h"
#include "platform/dbus/taskbar_progress.h"
#include "platform/desktop_adapters.h"
#include "platform/file_choosers.h"
#include "platform/foreground_window.h"
#include "platform/keep_above.h"
#include "platform/dbus/kget.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "platform/session_end.h"
#include "platform/settings_store.h"
#include "platform/shell.h"

#include <QApplication>
#include <cstring>
#include <memory>
#include <vector>

int main(int argc, char *argv[])
{
    settleUserFolders();
    QCoreApplication::setApplicationName(QStringLiteral("Serimo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SERIMO_VERSION));
    // Desktops match the window to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.serimo"));
    // The usage names the program as the user calls it, not where it lies.
    std::vector<char *> arguments(argv, argv + argc);
    if (const char *slash = std::strrchr(argv[0], '/'))
        arguments[0] = const_cast<char *>(slash + 1);
    int count = argc;
    arguments.push_back(nullptr);
    if (asksOnlyForText(argc, argv)) {
        // Help, version and a listed run print without a display and touch
        // no settings.
        QCoreApplication textOnly(count, arguments.data());
        const CommandLine commandLine = processCommandLine(textOnly);
        return commandLine.list ? printListedRun(*commandLine.list) : 0;
    }
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
    const CommandLine commandLine = processCommandLine(*app);

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
                                *keepAbove, choosers, taskbar, kget});
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
    const int status = app->exec();
    exitDeadline.start(status, 500);
    return status;
}
