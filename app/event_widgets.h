#pragma once

#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <functional>

class QMenu;
class QToolButton;

// Runs a handler inside the general error guard; used for every entry from Qt.
using Guard = std::function<void(const std::function<void()> &)>;

// A line edit whose change handler runs nested: a text set by our code runs
// the handler before setText returns (and lets its errors reach the caller);
// a change from outside (typing, paste, undo, drag and drop, assistive
// technology) runs it once, inside the guard.
class ChangeEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit ChangeEdit(QWidget *parent = nullptr);

    void setChangeHandler(std::function<void()> handler, Guard guard);

    // Sets the text; when it really changes, runs the change handler.
    void setTextCascade(const QString &text);

    // Where the paste shortcuts and the context menu's Paste take the
    // clipboard from. Qt's own paste waits seconds for a clipboard owner that
    // does not answer; with a source set, the box never reads the clipboard
    // itself. `paste` inserts the text as typing would; `offered` says
    // whether the context menu enables Paste. `pasteSelection`, when set,
    // inserts the text last selected at the cursor, which a middle click has
    // moved to where it clicked; unset, the middle click is Qt's own.
    struct PasteSource
    {
        std::function<void()> paste;
        std::function<bool()> offered;
        std::function<void()> pasteSelection;
    };
    void setPasteSource(PasteSource source);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // A double click on a number selects just its digits, not the word
    // around them: in a URL, choosing the counter is one gesture.
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void onTextChanged();
    // The line edit's standard menu, its Paste taken from the paste source.
    QMenu *editMenu();

    std::function<void()> m_handler;
    PasteSource m_pasteSource;
    Guard m_guard;
    int m_settingText = 0;
};

// An up-down: two arrow buttons with a last known position.
//
// Bound to a ChangeEdit it shows its number there: setting a position other
// than the last known one writes the number into the box (running the box's
// change handler); reading the position reads the box and makes the number
// the last known position; the arrows and the Up/Down keys in the box start
// from the box's number when it is valid and in range, else from the last
// known position. Typing into the box leaves the last known position alone.
//
// Unbound it just stores its position; its arrows move it by one (wrapping
// when asked) and then report which arrow was pressed.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    enum class Arrow { Previous, Next };

    UpDown(Qt::Orientation orientation, int minimum, int maximum, bool wrap, QWidget *parent = nullptr);

    void setBuddy(ChangeEdit *buddy);

    // Runs after the arrows moved the position, inside the guard.
    void setArrowHandler(std::function<void(Arrow)> handler, Guard guard);

    int position();
    void setPosition(int position);

    int maximum() const { return m_maximum; }
    void setMaximum(int maximum);

    QToolButton *previousButton() const { return m_previous; }
    QToolButton *nextButton() const { return m_next; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arrowPressed(Arrow arrow);
    int clampOrWrap(int position) const;

    int m_minimum;
    int m_maximum;
    bool m_wrap;
    int m_position;
    ChangeEdit *m_buddy = nullptr;
    QToolButton *m_previous;
    QToolButton *m_next;
    std::function<void(Arrow)> m_arrowHandler;
    Guard m_guard;
};

// The feed timer: enabling a running timer and setting the same interval
// change nothing (a plain QTimer would restart in both cases); a new interval
// restarts a running countdown.
//
// Ticks never nest: Qt does not fire a timer again while its tick runs,
// even when the tick processes events past the next due time.
class FeedTimer : public QObject
{
    Q_OBJECT
public:
    explicit FeedTimer(QObject *parent = nullptr);

    void setTickHandler(std::function<void()> handler, Guard guard);

    bool isEnabled() const { return m_timer->isActive(); }
    void setEnabled(bool enabled);
    int interval() const { return m_timer->interval(); }
    void setInterval(int milliseconds);
    int remainingTime() const { return m_timer->remainingTime(); }

private:
    // A child, so that a test can make it fall due.
    QTimer *const m_timer;
    std::function<void()> m_handler;
    Guard m_guard;
};
