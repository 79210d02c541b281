#include "app/help_placement.h"

#include <algorithm>

namespace {
constexpr int kOwnerGap = 8;
// The least a help window narrowed or lowered to stand beside the owner
// keeps; below that it covers the owner instead.
constexpr int kLeastWidth = 320;
constexpr int kLeastHeight = 300;
} // namespace

QRect helpWindowBounds(const QRect &owner, const QSize &wished, const QRect &available)
{
    QSize size = wished.boundedTo(available.size());
    const int screenRight = available.left() + available.width();
    const int screenBottom = available.top() + available.height();
    const int ownerRight = owner.left() + owner.width();
    const int ownerBottom = owner.top() + owner.height();
    // The room on each side of the owner's frame, the gap kept.
    const int right = screenRight - ownerRight - kOwnerGap;
    const int left = owner.left() - kOwnerGap - available.left();
    const int below = screenBottom - ownerBottom - kOwnerGap;
    const int above = owner.top() - kOwnerGap - available.top();
    const auto level = [&](int height) {
        return std::clamp(owner.top(), available.top(), screenBottom - height);
    };
    const auto aligned = [&](int width) {
        return std::clamp(owner.left(), available.left(), screenRight - width);
    };
    // Beside the owner at the size wished: right, left, below, above; else
    // narrowed or lowered into the largest side that leaves enough of it.
    if (right >= size.width())
        return {QPoint(ownerRight + kOwnerGap, level(size.height())), size};
    if (left >= size.width())
        return {QPoint(owner.left() - kOwnerGap - size.width(), level(size.height())), size};
    if (below >= size.height())
        return {QPoint(aligned(size.width()), ownerBottom + kOwnerGap), size};
    if (above >= size.height())
        return {QPoint(aligned(size.width()), owner.top() - kOwnerGap - size.height()), size};
    const int side = std::max(right, left);
    const int upDown = std::max(below, above);
    if (side >= kLeastWidth && qint64(side) * size.height() >= qint64(upDown) * size.width()) {
        size.setWidth(side);
        const int x = right >= left ? ownerRight + kOwnerGap : owner.left() - kOwnerGap - side;
        return {QPoint(x, level(size.height())), size};
    }
    if (upDown >= kLeastHeight) {
        size.setHeight(upDown);
        const int y = below >= above ? ownerBottom + kOwnerGap : owner.top() - kOwnerGap - upDown;
        return {QPoint(aligned(size.width()), y), size};
    }
    // No room beside it: on the screen, as far right of the owner as it goes.
    const int x = std::clamp(ownerRight + kOwnerGap, available.left(), screenRight - size.width());
    return {QPoint(x, level(size.height())), size};
}
