#include "app/display_start.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

DisplayStartGuard::DisplayStartGuard()
{
    s_previous = qInstallMessageHandler(handle);
}

DisplayStartGuard::~DisplayStartGuard()
{
    qInstallMessageHandler(s_previous);
    for (const HeldMessage &message : std::exchange(s_held, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        s_previous(message.type, context, message.text);
    }
}

void DisplayStartGuard::handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        s_held.append({type, QByteArray(context.category), text});
        return;
    }
    std::fputs("serimo: no display could be opened\n", stderr);
    std::fflush(stderr);
    // Not exit(): the toolkit is half made, and its clean-up must not run.
    std::_Exit(1);
}
