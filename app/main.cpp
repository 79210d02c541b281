#include "app/vemp_107.h"
#include "platform/busy_cursor.h"
#include "platform/clipboard.h"
#include "platform/foreground_window.h"
#include "platform/help_viewer.h"
#include "platform/message_boxes.h"
#include "platform/settings_store.h"
#include "platform/shell.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Serimo"));

    QtMessageBoxes messageBoxes;
    QtClipboard clipboard;
    QtSettingsStore settings;
    QtHelpViewer help;
    QtBusyCursor cursor;
    DesktopShell shell;
    const std::unique_ptr<ForegroundWindow> foreground = makeForegroundWindow();
    TVempForm VempForm(Platform{messageBoxes, clipboard, settings, help, cursor, shell, *foreground});
    messageBoxes.setParent(&VempForm);
    VempForm.show();
    return app.exec();
}
