#include "app/event_widgets.h"

#include "common/integer_conversion.h"

#include <QBoxLayout>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

ChangeEdit::ChangeEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &ChangeEdit::onTextChanged);
}

void ChangeEdit::setChangeHandler(std::function<void()> handler, Guard guard)
{
    m_handler = std::move(handler);
    m_guard = std::move(guard);
}

void ChangeEdit::setTextCascade(const QString &text)
{
    if (text == this->text())
        return;
    ++m_settingText;
    setText(text);
    --m_settingText;
    if (m_handler)
        m_handler();
}

void ChangeEdit::onTextChanged()
{
    if (m_settingText == 0 && m_handler && m_guard)
        m_guard(m_handler);
}

void ChangeEdit::setPasteSource(PasteSource source)
{
    m_pasteSource = std::move(source);
}

void ChangeEdit::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+V, Shift+Insert and the desktop's other paste keys.
    if (m_pasteSource.paste && !isReadOnly() && event->matches(QKeySequence::Paste)) {
        m_pasteSource.paste();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ChangeEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // As in Qt's own: the middle button pastes the text last selected where
    // it was clicked, when it comes up.
    if (m_pasteSource.pasteSelection && !isReadOnly() && event->button() == Qt::MiddleButton) {
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        m_pasteSource.pasteSelection();
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void ChangeEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Qt's own first, which also arms the triple click that selects all.
    QLineEdit::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QString shown = text();
    const auto isDigit = [&shown](qsizetype i) {
        return i >= 0 && i < shown.size() && shown[i] >= u'0' && shown[i] <= u'9';
    };
    qsizetype at = cursorPositionAt(event->position().toPoint());
    if (!isDigit(at) && isDigit(at - 1))
        --at;
    if (!isDigit(at))
        return;
    qsizetype start = at;
    qsizetype end = at + 1;
    while (isDigit(start - 1))
        --start;
    while (isDigit(end))
        ++end;
    setSelection(int(start), int(end - start));
}

void ChangeEdit::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_pasteSource.paste) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    QMenu *menu = editMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu *ChangeEdit::editMenu()
{
    // The items, captions (with Qt's own translations), icons and shortcuts
    // of QLineEdit's standard menu, which reads the clipboard to enable its
    // Paste.
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    const auto add = [this, menu](const QString &caption, QKeySequence::StandardKey key, const QString &icon,
                                  bool enabled, auto slot) {
        QString text = caption;
        if (key != QKeySequence::UnknownKey && !QCoreApplication::testAttribute(Qt::AA_DontShowShortcutsInContextMenus))
            text += u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
        QAction *action = menu->addAction(text);
        action->setEnabled(enabled);
        if (const QIcon themed = QIcon::fromTheme(icon); !themed.isNull())
            action->setIcon(themed);
        connect(action, &QAction::triggered, this, slot);
    };
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText() && echoMode() == QLineEdit::Normal;
    if (editable) {
        add(QLineEdit::tr("&Undo"), QKeySequence::Undo, QStringLiteral("edit-undo"), isUndoAvailable(),
            &QLineEdit::undo);
        add(QLineEdit::tr("&Redo"), QKeySequence::Redo, QStringLiteral("edit-redo"), isRedoAvailable(),
            &QLineEdit::redo);
        menu->addSeparator();
        add(QLineEdit::tr("Cu&t"), QKeySequence::Cut, QStringLiteral("edit-cut"), selected, &QLineEdit::cut);
    }
    add(QLineEdit::tr("&Copy"), QKeySequence::Copy, QStringLiteral("edit-copy"), selected, &QLineEdit::copy);
    if (editable) {
        add(QLineEdit::tr("&Paste"), QKeySequence::Paste, QStringLiteral("edit-paste"),
            !m_pasteSource.offered || m_pasteSource.offered(), [this] { m_pasteSource.paste(); });
        add(QLineEdit::tr("Delete"), QKeySequence::UnknownKey, QStringLiteral("edit-delete"), hasSelectedText(),
            &QLineEdit::del);
    }
    if (!menu->isEmpty())
        menu->addSeparator();
    add(QLineEdit::tr("Select All"), QKeySequence::SelectAll, QStringLiteral("edit-select-all"),
        !text().isEmpty() && selectedText().size() != text().size(), &QLineEdit::selectAll);
    return menu;
}

UpDown::UpDown(Qt::Orientation orientation, int minimum, int maximum, bool wrap, QWidget *parent)
    : QWidget(parent),
      m_minimum(minimum),
      m_maximum(maximum),
      m_wrap(wrap),
      m_position(std::clamp(0, minimum, maximum)),
      m_previous(new QToolButton(this)),
      m_next(new QToolButton(this))
{
    const bool vertical = orientation == Qt::Vertical;
    m_previous->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
    m_next->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
    m_previous->setAccessibleName(vertical ? tr("Down") : tr("Left"));
    m_next->setAccessibleName(vertical ? tr("Up") : tr("Right"));

    auto *layout = new QBoxLayout(vertical ? QBoxLayout::BottomToTop : QBoxLayout::LeftToRight, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {m_previous, m_next}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        layout->addWidget(button);
    }
    connect(m_previous, &QToolButton::clicked, this, [this] { arrowPressed(Arrow::Previous); });
    connect(m_next, &QToolButton::clicked, this, [this] { arrowPressed(Arrow::Next); });
}

void UpDown::setBuddy(ChangeEdit *buddy)
{
    m_buddy = buddy;
    m_buddy->installEventFilter(this);
}

void UpDown::setArrowHandler(std::function<void(Arrow)> handler, Guard guard)
{
    m_arrowHandler = std::move(handler);
    m_guard = std::move(guard);
}

int UpDown::position()
{
    if (m_buddy) {
        const auto shown = tryStrToInt(m_buddy->text());
        if (shown)
            m_position = std::clamp<int>(*shown, m_minimum, m_maximum);
    }
    return m_position;
}

void UpDown::setPosition(int position)
{
    position = std::clamp(position, m_minimum, m_maximum);
    if (position == m_position)
        return;
    m_position = position;
    if (m_buddy)
        m_buddy->setTextCascade(QString::number(position));
}

void UpDown::setMaximum(int maximum)
{
    m_maximum = maximum;
    m_position = std::clamp(m_position, m_minimum, m_maximum);
}

int UpDown::clampOrWrap(int position) const
{
    if (position > m_maximum)
        return m_wrap ? m_minimum : m_maximum;
    if (position < m_minimum)
        return m_wrap ? m_maximum : m_minimum;
    return position;
}

void UpDown::arrowPressed(Arrow arrow)
{
    const int delta = arrow == Arrow::Next ? 1 : -1;
    if (!m_buddy) {
        m_position = clampOrWrap(m_position + delta);
        if (m_arrowHandler && m_guard)
            m_guard([&] { m_arrowHandler(arrow); });
        return;
    }
    int start = m_position;
    if (const auto shown = tryStrToInt(m_buddy->text()); shown && *shown >= m_minimum && *shown <= m_maximum)
        start = *shown;
    m_position = clampOrWrap(start + delta);
    const QString text = QString::number(m_position);
    if (m_guard)
        m_guard([&] { m_buddy->setTextCascade(text); });
    else
        m_buddy->setText(text); // as typing would: the box's own guard runs its handler
}

bool UpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            arrowPressed(key == Qt::Key_Up ? Arrow::Next : Arrow::Previous);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

FeedTimer::FeedTimer(QObject *parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(2000);
    // Hand-overs follow the delay to the millisecond, not within 5%.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_handler && m_guard)
            m_guard(m_handler);
    });
}

void FeedTimer::setTickHandler(std::function<void()> handler, Guard guard)
{
    m_handler = std::move(handler);
    m_guard = std::move(guard);
}

void FeedTimer::setEnabled(bool enabled)
{
    if (enabled == m_timer->isActive())
        return;
    if (enabled)
        m_timer->start();
    else
        m_timer->stop();
}

void FeedTimer::setInterval(int milliseconds)
{
    if (milliseconds != m_timer->interval())
        m_timer->setInterval(milliseconds);
}
