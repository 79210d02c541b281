#include "app/command_line.h"
#include "app/vemp_107.h"
#include "platform/busy_cursor.h"
#include "platform/clipboard.h"
#include "platform/desktop_adapters.h"
#include "platform/foreground_window.h"
#include "platform/help_viewer.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/wayland/wayland_connection.h"

#include <QApplication>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Serimo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SERIMO_VERSION));
    if (asksOnlyForText(argc, argv)) {
        // Help and version print without a display.
        QCoreApplication textOnly(argc, argv);
        processCommandLine(textOnly);
        return 0;
    }
    // The window system goes to Qt as an argument, not through the
    // environment, which programs Serimo starts (the browser) inherit.
    std::vector<char *> arguments(argv, argv + argc);
    QByteArray platform = chooseWindowSystem();
    char platformOption[] = "-platform";
    if (!platform.isEmpty())
        arguments.insert(arguments.begin() + 1, {platformOption, platform.data()});
    int count = int(arguments.size());
    arguments.push_back(nullptr);
    QApplication app(count, arguments.data());
    const CommandLine commandLine = processCommandLine(app);

    const std::unique_ptr<WaylandConnection> wayland = WaylandConnection::open();
    const std::unique_ptr<Clipboard> clipboard = makeClipboard(wayland.get());
    const std::unique_ptr<ForegroundWindow> foreground = makeForegroundWindow(wayland.get());
    QtMessageBoxes messageBoxes;
    QtSettingsStore settings;
    QtHelpViewer help;
    QtBusyCursor cursor;
    DesktopShell shell;
    DesktopFileLocations files(QStringLiteral("qxvemp.hlp"));
    TVempForm VempForm(Platform{messageBoxes, *clipboard, settings, help, cursor, shell, *foreground, files});
    messageBoxes.setParent(&VempForm);
    // Before the first activation, so the start-up detection works on it.
    if (commandLine.url)
        VempForm.Edit1->setTextCascade(*commandLine.url);
    VempForm.show();
    return app.exec();
}
