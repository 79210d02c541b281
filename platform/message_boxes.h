#pragma once

#include <QString>

class QWidget;

// Message boxes with one OK button, or OK and one button more, that hold
// the program's other windows until answered and close with the window they
// belong to. Tests answer them without a person.
class MessageBoxes
{
public:
    enum class Icon { None, Warning, Error };

    virtual ~MessageBoxes() = default;
    virtual void show(const QString &caption, const QString &text, Icon icon) = 0;
    // A box with a button for an action beside OK: true when that button
    // closed it.
    virtual bool offer(const QString &caption, const QString &text, Icon icon, const QString &action) = 0;
};

class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void show(const QString &caption, const QString &text, Icon icon) override;
    bool offer(const QString &caption, const QString &text, Icon icon, const QString &action) override;

private:
    QWidget *m_parent;
};
