#include "app/status_line.h"

#include <QLabel>
#include <QResizeEvent>

namespace {
constexpr int kPanelGap = 2;
}

StatusLine::StatusLine(QWidget *parent) : QWidget(parent)
{
    const char *initialTexts[2] = {"Ready", ".."};
    const int initialWidths[2] = {110, 50};
    for (int i = 0; i < 2; ++i) {
        auto *label = new QLabel(QString::fromLatin1(initialTexts[i]), this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->resize(initialWidths[i], label->height());
        m_panels[i] = label;
    }
    // The panels are placed by hand: a panel wider than the window is cut at
    // the window's edge instead of widening the window or overlapping.
    setMinimumWidth(1);
}

void StatusLine::setPanelText(int panel, const QString &text)
{
    QLabel *label = m_panels[panel];
    label->resize(label->fontMetrics().horizontalAdvance(text) + 12, label->height());
    label->setText(text);
    placePanels();
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
    m_panels[0]->setGeometry(0, top, m_panels[0]->width(), height);
    m_panels[1]->setGeometry(m_panels[0]->width() + kPanelGap, top, m_panels[1]->width(), height);
}

QString StatusLine::panelText(int panel) const
{
    return m_panels[panel]->text();
}

QLabel *StatusLine::panel(int index) const
{
    return m_panels[index];
}
