#pragma once

#include <QMargins>
#include <QWidget>

// The decoration the window manager puts round a top-level window (title bar,
// borders): its frame less its client area. None before the window is framed.
inline QMargins frameMargins(const QWidget &window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}
