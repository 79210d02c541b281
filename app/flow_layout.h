#pragma once

#include <QLayout>
#include <QList>

// Lays its items out left to right and wraps them into rows to fit the width
// (height for width). Items marked as separators never start or end a row: a
// separator is placed only when the item after it fits into the same row;
// otherwise the row breaks there and the separator is not shown.
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent = nullptr);
    ~FlowLayout() override;

    void addSeparator(QWidget *separator);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

    // The number of rows the items take at the given width.
    int rowCount(int width) const;

private:
    int doLayout(const QRect &rect, bool apply, int *rows = nullptr) const;

    QList<QLayoutItem *> m_items;
    QList<QWidget *> m_separators;
};
