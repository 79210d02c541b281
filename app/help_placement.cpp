#include "app/help_placement.h"

#include <algorithm>

namespace {
constexpr int kOwnerGap = 8;
}

QRect helpWindowBounds(const QRect &owner, const QSize &wished, const QRect &available)
{
    const QSize size = wished.boundedTo(available.size());
    const int lastLeft = available.left() + available.width() - size.width();
    const int right = owner.left() + owner.width() + kOwnerGap;
    const int left = owner.left() - kOwnerGap - size.width();
    int x = right;
    if (right > lastLeft)
        x = left >= available.left() ? left : std::clamp(right, available.left(), lastLeft);
    const int y = std::clamp(owner.top(), available.top(), available.top() + available.height() - size.height());
    return {QPoint(x, y), size};
}
