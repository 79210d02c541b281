#include "platform/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

void QtBusyCursor::busy()
{
    if (!QGuiApplication::overrideCursor())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtBusyCursor::ready()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
