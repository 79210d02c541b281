#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Guards the start of the window system (the making of the QApplication).
// Where no display can be opened the toolkit reports it in several lines as a
// fatal error and aborts; while a guard lives, the program instead says so in
// one line and ends with status 1. The toolkit's other messages of that time
// are held back and passed on when the guard ends, the start having gone well.
class DisplayStartGuard
{
public:
    DisplayStartGuard();
    ~DisplayStartGuard();
    DisplayStartGuard(const DisplayStartGuard &) = delete;
    DisplayStartGuard &operator=(const DisplayStartGuard &) = delete;

private:
    struct HeldMessage
    {
        QtMsgType type;
        QByteArray category;
        QString text;
    };
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text);

    static inline QtMessageHandler s_previous = nullptr;
    static inline QList<HeldMessage> s_held;
};
