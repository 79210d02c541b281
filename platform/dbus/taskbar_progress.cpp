#include "platform/dbus/taskbar_progress.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace {
void update(const QVariantMap &properties)
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/com/example/serimo"),
                                                     QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                                     QStringLiteral("Update"));
    signal << QStringLiteral("application://com.example.serimo.desktop") << properties;
    QDBusConnection::sessionBus().send(signal);
}
} // namespace

void LauncherEntryProgress::show(double fraction)
{
    update({{QStringLiteral("progress"), fraction}, {QStringLiteral("progress-visible"), true}});
}

void LauncherEntryProgress::clear()
{
    update({{QStringLiteral("progress-visible"), false}});
}
