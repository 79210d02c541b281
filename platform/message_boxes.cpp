#include "platform/message_boxes.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace {
// Room in a title bar besides its text: the window manager's buttons and
// margins, as wide as the common themes draw them.
constexpr int kTitleBarRoom = 140;

void prepare(QMessageBox &box, const QString &caption, const QString &text, MessageBoxes::Icon icon)
{
    box.setWindowTitle(caption);
    // What a box says may hold another program's words (a daemon's error,
    // an address): shown as they are, never read as a page.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(icon == MessageBoxes::Icon::Warning ? QMessageBox::Warning
                : icon == MessageBoxes::Icon::Error ? QMessageBox::Critical
                                                    : QMessageBox::NoIcon);
    // A short text would make a box too narrow for its title, which the
    // window manager then cuts to "Se…o". QMessageBox sizes itself from its
    // layout, so the width goes in as a spacer across the layout's rows.
    const int titleWidth = box.fontMetrics().horizontalAdvance(caption) + kTitleBarRoom;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
}
} // namespace

void QtMessageBoxes::show(const QString &caption, const QString &text, Icon icon)
{
    QMessageBox box(m_parent);
    prepare(box, caption, text, icon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtMessageBoxes::offer(const QString &caption, const QString &text, Icon icon, const QString &action)
{
    QMessageBox box(m_parent);
    prepare(box, caption, text, icon);
    QPushButton *actionButton = box.addButton(action, QMessageBox::ActionRole);
    box.addButton(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == actionButton;
}
