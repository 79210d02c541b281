#include "app/view_geometry.h"

QRect normalViewBounds(const ViewInputs &in, const QRect &current, const QRect &screen, bool centred)
{
    const int width = 6 * in.button.width() + 16;
    const int height = in.cap + 4 + in.statusHeight + in.urlHeight + 2 * in.button.height();
    int left = current.left();
    int top = current.top();
    if (centred) {
        left = screen.left() + (screen.width() - width) / 2;
        top = screen.top() + (screen.height() - height) / 2;
    } else if (left + width > screen.left() + screen.width()) {
        left = screen.left() + screen.width() - width;
    }
    return {left, top, width, height};
}

QRect toolbarViewBounds(const ViewInputs &in, const QRect &current)
{
    const int width = 2 * in.button.width() + 8;
    const int height = in.cap + 12 + in.statusHeight + in.urlHeight + 6 * in.button.height();
    return {current.left(), current.top(), width, height};
}
