#pragma once

#include <QString>
#include <functional>

class MessageBoxes;

// The text of the general error report: the message, with a full stop
// appended when its last character sorts after ".".
QString errorReportText(const QString &message);

// Runs one entry from Qt (a slot, an event, a timer tick). An error it raises
// ends it and is shown in the general error report: the text, caption
// "Serimo", an error icon and one OK button; beforeReport runs just before
// the report opens. No exception gets past here.
void runGuarded(MessageBoxes &boxes, const std::function<void()> &entry,
                const std::function<void()> &beforeReport = {});
