#include "dialogs/xscrl_rules.h"

#include <algorithm>

QPoint placeOnPointer(QPoint pointer, QSize outer, const QRect &screen)
{
    const int w = outer.width();
    const int h = outer.height();
    // Integer halving drops the remainder; the screen may start anywhere on
    // a desktop of several screens.
    int x = std::max(pointer.x() - w / 2, screen.left());
    int y = std::max(pointer.y() - h / 2, screen.top());
    const int right = screen.left() + screen.width();
    const int bottom = screen.top() + screen.height();
    if (x + w > right)
        x = right - w;
    if (y + h > bottom)
        y = bottom - h;
    return {x, y};
}

QString pixelSizeCaption(const QString &title, int maximum, int position)
{
    if (maximum < 8)
        return title;
    // 64-bit so that a large position cannot overflow.
    const qint64 p = position;
    return QStringLiteral("%1%2x%3 pixels").arg(title).arg(32 * p).arg(24 * p);
}
