#pragma once

#include <QCoreApplication>
#include <QString>

// The texts of the command line and the terminal commands, which belong to
// no window, are translated in the program's "main" context.
inline QString trMain(const char *text)
{
    return QCoreApplication::translate("main", text);
}
