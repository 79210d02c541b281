#pragma once

#include <QString>
#include <map>

// The title the feed goes by, from a compositor's list of windows: the active
// window's, and nothing while no window is active. A window that closes or
// goes inactive takes its title with it. The compositor reports a focus
// change as one window going inactive and another going active, in either
// order; the list is read only after a whole batch of events is in, so there
// is no moment between the two to bridge.
template <typename Window>
class WindowListTitle
{
public:
    // A window the compositor announced, with no title yet.
    void add(Window *window) { m_titles[window]; }

    void setTitle(Window *window, const QString &title) { m_titles[window] = title; }

    void setActive(Window *window, bool active)
    {
        m_titles[window];
        if (active)
            m_active = window;
        else if (window == m_active)
            m_active = nullptr;
    }

    void remove(Window *window)
    {
        if (window == m_active)
            m_active = nullptr;
        m_titles.erase(window);
    }

    QString title() const { return m_active ? m_titles.at(m_active) : QString(); }

    template <typename Visit>
    void forEachWindow(Visit visit) const
    {
        for (const auto &entry : m_titles)
            visit(entry.first);
    }

private:
    std::map<Window *, QString> m_titles;
    Window *m_active = nullptr;
};
