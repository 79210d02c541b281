#pragma once

#include <QString>
#include <map>

// The title the feed goes by, from a compositor's list of windows: the active
// window's. Between two focus changes no window is active for a moment; the
// last active window's title stands until another window becomes active.
template <typename Window>
class WindowListTitle
{
public:
    void add(Window *window) { m_titles[window]; }

    void setTitle(Window *window, const QString &title)
    {
        m_titles[window] = title;
        if (window == m_active)
            m_title = title;
    }

    void setActive(Window *window, bool active)
    {
        if (active) {
            m_active = window;
            m_title = m_titles[window];
        } else if (window == m_active) {
            m_active = nullptr;
        }
    }

    void remove(Window *window)
    {
        setActive(window, false);
        m_titles.erase(window);
    }

    const QString &title() const { return m_title; }

    template <typename Visit>
    void forEachWindow(Visit visit) const
    {
        for (const auto &entry : m_titles)
            visit(entry.first);
    }

private:
    std::map<Window *, QString> m_titles;
    Window *m_active = nullptr;
    QString m_title;
};
