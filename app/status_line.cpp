#include "app/status_line.h"

#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>

namespace {
constexpr int kPanelGap = 2;
}

// A panel that draws its text cut with an ellipsis where less than its
// width shows: at the end for panel 1 (its gist comes first), at the start
// for panel 0 (the short URL's file name is at its end).
class StatusPanel : public QLabel
{
public:
    StatusPanel(const QString &text, Qt::TextElideMode elide, QWidget *parent)
        : QLabel(text, parent), m_elide(elide)
    {
    }

    // How much of the panel's width the line shows.
    void setShownWidth(int width)
    {
        if (width != m_shown) {
            m_shown = width;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        drawFrame(&painter);
        QRect room = contentsRect().adjusted(margin() + indent() / 2, margin(), -margin(), -margin());
        room.setRight(std::min(room.right(), m_shown - frameWidth() - 1));
        const QString shown = fontMetrics().elidedText(text(), m_elide, room.width());
        style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
    }

private:
    Qt::TextElideMode m_elide;
    int m_shown = QWIDGETSIZE_MAX;
};

StatusLine::StatusLine(QWidget *parent) : QWidget(parent)
{
    const char *initialTexts[2] = {"Ready", ".."};
    const int initialWidths[2] = {110, 50};
    for (int i = 0; i < 2; ++i) {
        auto *label = new StatusPanel(QString::fromLatin1(initialTexts[i]), i == 0 ? Qt::ElideLeft : Qt::ElideRight, this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->resize(initialWidths[i], label->height());
        m_panels[i] = label;
    }
    // Panel 1 lies above panel 0 where they overlap.
    m_panels[1]->raise();
    // The panels are placed by hand: a panel wider than the window is cut at
    // the window's edge instead of widening the window.
    setMinimumWidth(1);
}

void StatusLine::setPanelText(int panel, const QString &text, const QString &whole)
{
    QLabel *label = m_panels[panel];
    label->resize(label->fontMetrics().horizontalAdvance(text) + 12, label->height());
    label->setText(text);
    if (panel == 1) {
        m_whole = whole.isEmpty() ? text : whole;
        label->setToolTip(m_tipsShown ? m_whole : QString());
        label->setAccessibleDescription(m_whole);
    }
    placePanels();
}

bool StatusLine::fitsBeside(const QString &text) const
{
    return m_panels[0]->width() + kPanelGap + m_panels[1]->fontMetrics().horizontalAdvance(text) + 12 <= width();
}

void StatusLine::setTipsShown(bool on)
{
    m_tipsShown = on;
    m_panels[1]->setToolTip(on ? m_whole : QString());
}

void StatusLine::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placePanels();
}

void StatusLine::placePanels()
{
    const int top = 1;
    const int height = std::max(0, this->height() - top);
    const int line = width();
    const int first = m_panels[0]->width();
    const int second = m_panels[1]->width();
    // Side by side where they fit; else panel 1 keeps as much of its width
    // as leaves panel 0 a third of the line.
    int left = first + kPanelGap;
    if (left + second > line)
        left = std::max(std::min(first, line / 3) + kPanelGap, line - second);
    left = std::min(left, first + kPanelGap);
    m_panels[0]->setGeometry(0, top, first, height);
    m_panels[1]->setGeometry(left, top, second, height);
    m_panels[0]->setShownWidth(left - kPanelGap);
    m_panels[1]->setShownWidth(line - left);
}

QString StatusLine::panelText(int panel) const
{
    return m_panels[panel]->text();
}

QLabel *StatusLine::panel(int index) const
{
    return m_panels[index];
}
