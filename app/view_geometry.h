#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The arithmetic of the two views. Sizes are of the outer frame; "cap" is
// the height the window's decoration adds (title bar and frame).
struct ViewInputs
{
    QSize button;        // the tool bar's current button size
    int cap = 0;         // decoration height: title bar plus frame
    int statusHeight = 0;
    int urlHeight = 0;   // the URL panel's height while shown, else 0
};

// Normal view: the tool bar in two rows. Centred on the screen when asked,
// otherwise at the current position moved left just enough to keep the
// right edge on the screen. `screen` is the screen's place on the desktop,
// which need not start at 0,0 where there are several screens.
QRect normalViewBounds(const ViewInputs &in, const QRect &current, const QRect &screen, bool centred);

// Toolbar view: two buttons wide, six rows; the position never changes.
QRect toolbarViewBounds(const ViewInputs &in, const QRect &current);

// Stored bounds as the window can be reached: bounds that lie wholly on the
// screens stay as they are; otherwise, with their size kept, they move onto
// the screen that holds most of them (the nearest one when none does), as
// far as needed to lie on it, and where they are larger than it, to its top
// left corner, so the title bar can always be taken.
QRect reachableBounds(const QRect &bounds, const QList<QRect> &screens);
