#include "app/flow_layout.h"

#include <QWidget>

FlowLayout::FlowLayout(QWidget *parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void FlowLayout::addSeparator(QWidget *separator)
{
    m_separators.append(separator);
    addWidget(separator);
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
}

int FlowLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

Qt::Orientations FlowLayout::expandingDirections() const
{
    return {};
}

bool FlowLayout::hasHeightForWidth() const
{
    return true;
}

int FlowLayout::heightForWidth(int width) const
{
    return doLayout(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const
{
    QSize size;
    for (const QLayoutItem *item : m_items)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const
{
    return minimumSize();
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    doLayout(rect, true);
}

int FlowLayout::rowCount(int width) const
{
    int rows = 0;
    doLayout(QRect(0, 0, width, 0), false, &rows);
    return rows;
}

int FlowLayout::doLayout(const QRect &rect, bool apply, int *rows) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    int rowNumber = 0;

    auto isSeparator = [this](const QLayoutItem *item) {
        return item->widget() && m_separators.contains(item->widget());
    };
    auto visibleItem = [](const QLayoutItem *item) { return !item->widget() || !item->widget()->isHidden(); };

    for (qsizetype i = 0; i < m_items.size(); ++i) {
        QLayoutItem *item = m_items[i];
        if (!visibleItem(item))
            continue;
        const QSize size = item->sizeHint();
        if (isSeparator(item)) {
            // Find the next shown item; the separator stays only if both fit.
            qsizetype next = i + 1;
            while (next < m_items.size() && !visibleItem(m_items[next]))
                ++next;
            const bool rowStarted = x > area.x();
            const int nextWidth = next < m_items.size() ? m_items[next]->sizeHint().width() : 0;
            const bool fits = rowStarted && next < m_items.size() && x + size.width() + nextWidth <= area.right() + 1;
            // A dropped separator gets an empty rectangle rather than being
            // hidden, so that the next layout pass still considers it.
            if (apply)
                item->setGeometry(fits ? QRect(QPoint(x, y), size) : QRect(QPoint(x, y), QSize(0, 0)));
            if (fits)
                x += size.width();
            continue;
        }
        if (x > area.x() && x + size.width() > area.right() + 1) {
            x = area.x();
            y += rowHeight;
            rowHeight = 0;
        }
        if (rowHeight == 0)
            ++rowNumber;
        if (apply)
            item->setGeometry(QRect(QPoint(x, y), size));
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
    if (rows)
        *rows = rowNumber;
    return y + rowHeight - rect.y() + contentsMargins().bottom();
}
