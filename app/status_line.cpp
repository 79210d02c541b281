#include "app/status_line.h"

#include <QHBoxLayout>
#include <QLabel>

StatusLine::StatusLine(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 1, 0, 0);
    layout->setSpacing(2);
    const char *initialTexts[2] = {"Ready", ".."};
    const int initialWidths[2] = {110, 50};
    for (int i = 0; i < 2; ++i) {
        auto *label = new QLabel(QString::fromLatin1(initialTexts[i]), this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setFixedWidth(initialWidths[i]);
        label->setTextFormat(Qt::PlainText);
        label->setAccessibleName(i == 0 ? tr("Current URL") : tr("Range and status"));
        layout->addWidget(label);
        m_panels[i] = label;
    }
    layout->addStretch(1);
    // Long panels are cut at the window's edge rather than widening it.
    setMinimumWidth(1);
}

void StatusLine::setPanelText(int panel, const QString &text)
{
    QLabel *label = m_panels[panel];
    label->setFixedWidth(label->fontMetrics().horizontalAdvance(text) + 12);
    label->setText(text);
}

QString StatusLine::panelText(int panel) const
{
    return m_panels[panel]->text();
}

QLabel *StatusLine::panel(int index) const
{
    return m_panels[index];
}
