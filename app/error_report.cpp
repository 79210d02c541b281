#include "app/error_report.h"

#include "platform/message_boxes.h"
#include "common/serimo_error.h"

QString errorReportText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

void runGuarded(MessageBoxes &boxes, const std::function<void()> &entry, const std::function<void()> &beforeReport)
{
    QString message;
    try {
        entry();
        return;
    } catch (const SerimoError &error) {
        message = error.message();
    } catch (const std::exception &error) {
        message = QString::fromLocal8Bit(error.what());
    }
    if (beforeReport)
        beforeReport();
    boxes.show(QStringLiteral("Serimo"), errorReportText(message), MessageBoxes::Icon::Error);
}
