#pragma once

#include <QString>
#include <optional>

// The window the accessibility bus last announced active, and its title.
// The announcement comes without the title: the program that announced it is
// asked for it. Until that answer there is no title, and a look-up that
// fails gives none: the previous window's title never stands for the new one.
class AnnouncedWindow
{
public:
    // Returns the announcement's number, which the answer to the look-up of
    // its title carries.
    quint64 activated(const QString &window)
    {
        m_window = window;
        m_title.reset();
        return ++m_activations;
    }

    // The answer to a look-up of the title for an announcement: the title,
    // or nothing when the program did not answer. The title is asked for
    // again while the window stays in front; an answer for an earlier
    // announcement is out of date.
    void named(quint64 activation, const std::optional<QString> &title)
    {
        if (activation == m_activations && !m_window.isEmpty())
            m_title = title.value_or(QString());
    }

    // The window in front is one the bus does not see.
    void leave()
    {
        m_window.clear();
        m_title.reset();
    }

    const QString &window() const { return m_window; }
    quint64 activations() const { return m_activations; }
    bool isLookingUp() const { return !m_window.isEmpty() && !m_title; }
    QString title() const { return m_title.value_or(QString()); }

private:
    QString m_window;
    std::optional<QString> m_title;
    quint64 m_activations = 0;
};
