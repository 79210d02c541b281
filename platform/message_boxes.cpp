#include "platform/message_boxes.h"

#include <QMessageBox>

void QtMessageBoxes::show(const QString &caption, const QString &text, Icon icon)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(icon == Icon::Warning ? QMessageBox::Warning
                : icon == Icon::Error ? QMessageBox::Critical
                                      : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
