#include "app/view_geometry.h"

#include <algorithm>
#include <limits>

namespace {
qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

// How far apart two rectangles' centres are, squared.
qint64 distance(const QRect &a, const QRect &b)
{
    const qint64 dx = (qint64(a.left()) + a.right()) - (qint64(b.left()) + b.right());
    const qint64 dy = (qint64(a.top()) + a.bottom()) - (qint64(b.top()) + b.bottom());
    return dx * dx + dy * dy;
}

// The start that puts a span of `length` inside [from, from + room), or at
// `from` when it is longer.
int within(int start, int length, int from, int room)
{
    return length >= room ? from : std::clamp(start, from, from + room - length);
}
} // namespace

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

QRect reachableBounds(const QRect &bounds, const QList<QRect> &screens)
{
    if (screens.isEmpty() || bounds.isEmpty())
        return bounds;
    qint64 shown = 0;
    const QRect *best = &screens.first();
    qint64 bestOverlap = -1;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const QRect &screen : screens) {
        const qint64 part = overlap(bounds, screen);
        shown += part;
        const qint64 apart = distance(bounds, screen);
        if (part > bestOverlap || (part == 0 && bestOverlap == 0 && apart < bestDistance)) {
            best = &screen;
            bestOverlap = part;
            bestDistance = apart;
        }
    }
    if (shown == qint64(bounds.width()) * bounds.height())
        return bounds;
    return {within(bounds.left(), bounds.width(), best->left(), best->width()),
            within(bounds.top(), bounds.height(), best->top(), best->height()), bounds.width(), bounds.height()};
}
