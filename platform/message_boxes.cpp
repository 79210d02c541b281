#include "platform/message_boxes.h"

#include <QApplication>
#include <QEventLoop>
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
// Keeps the input of every other window of the program from it while a box
// is open, and closes the box with its parent window. A modal box would do
// the first, but the toolkit then drops the window manager's close of the
// parent, and the program would stay open after its window closed.
class WhileOpen : public QObject
{
public:
    WhileOpen(QMessageBox &box, QWidget *parent) : m_box(box), m_parent(parent ? parent->window() : nullptr)
    {
        qApp->installEventFilter(this);
    }
    ~WhileOpen() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Hide:
            if (watched == m_parent)
                m_box.close();
            return false;
        case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
        case QEvent::Wheel: case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::Shortcut:
        case QEvent::ShortcutOverride: case QEvent::ContextMenu: case QEvent::TouchBegin: {
            const auto *widget = qobject_cast<QWidget *>(watched);
            return widget && widget->window() != &m_box;
        }
        default:
            return false;
        }
    }

private:
    QMessageBox &m_box;
    QWidget *m_parent;
};

void run(QMessageBox &box, QWidget *parent)
{
    box.setWindowModality(Qt::NonModal);
    const WhileOpen whileOpen(box, parent);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    box.show();
    loop.exec();
}
} // namespace

void QtMessageBoxes::show(const QString &caption, const QString &text, Icon icon)
{
    QMessageBox box(m_parent);
    prepare(box, caption, text, icon);
    box.setStandardButtons(QMessageBox::Ok);
    run(box, m_parent);
}

bool QtMessageBoxes::offer(const QString &caption, const QString &text, Icon icon, const QString &action)
{
    QMessageBox box(m_parent);
    prepare(box, caption, text, icon);
    QPushButton *actionButton = box.addButton(action, QMessageBox::ActionRole);
    box.addButton(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    run(box, m_parent);
    return box.clickedButton() == actionButton;
}
