#include "app/command_line.h"
#include "app/vemp_107.h"
#include "platform/busy_cursor.h"
#include "platform/clipboard.h"
#include "platform/desktop_adapters.h"
#include "platform/foreground_window.h"
#include "platform/help_viewer.h"
#include "platform/message_boxes.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/wayland/wayland_connection.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Serimo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    if (asksOnlyForText(argc, argv)) {
        // Help and version print without a display.
        QCoreApplication textOnly(argc, argv);
        processCommandLine(textOnly);
        return 0;
    }
    chooseWindowSystem();
    QApplication app(argc, argv);
    const CommandLine commandLine = processCommandLine(app);

    const std::unique_ptr<WaylandConnection> wayland = WaylandConnection::open();
    const std::unique_ptr<Clipboard> clipboard = makeClipboard(wayland.get());
    const std::unique_ptr<ForegroundWindow> foreground = makeForegroundWindow(wayland.get());
    QtMessageBoxes messageBoxes;
    QtSettingsStore settings;
    QtHelpViewer help;
    QtBusyCursor cursor;
    DesktopShell shell;
    TVempForm VempForm(Platform{messageBoxes, *clipboard, settings, help, cursor, shell, *foreground});
    messageBoxes.setParent(&VempForm);
    // Before the first activation, so the start-up detection works on it.
    if (commandLine.url)
        VempForm.Edit1->setTextCascade(*commandLine.url);
    VempForm.show();
    return app.exec();
}
