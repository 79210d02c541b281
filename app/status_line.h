#pragma once

#include <QWidget>

class QLabel;

// The two-panel status line. Every write sizes its panel to the text's pixel
// width plus 12 before it sets the text.
class StatusLine : public QWidget
{
    Q_OBJECT
public:
    explicit StatusLine(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;
    QLabel *panel(int index) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placePanels();

    QLabel *m_panels[2];
};
