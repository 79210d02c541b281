#pragma once

#include <QWidget>

class QLabel;
class StatusPanel;

// The two-panel status line. Every write sizes its panel to the text's pixel
// width plus 12 before it sets the text.
//
// Panel 1 may show a message's gist: the whole message then goes to the
// panel's tooltip and accessible description. Where the line is too narrow
// for both panels (the Toolbar view), panel 1 is laid over the end of
// panel 0, keeping as much of its own width as the line allows, and each
// panel draws what it shows of its text with an ellipsis.
class StatusLine : public QWidget
{
    Q_OBJECT
public:
    explicit StatusLine(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text, const QString &whole = QString());
    QString panelText(int panel) const;
    // The whole message behind panel 1's text.
    QString wholeText() const { return m_whole; }
    QLabel *panel(int index) const;
    // Whether text, written to panel 1, shows whole beside panel 0.
    bool fitsBeside(const QString &text) const;
    // Whether panel 1's tooltip shows the whole message (Show hints).
    void setTipsShown(bool on);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placePanels();

    StatusPanel *m_panels[2];
    QString m_whole;
    bool m_tipsShown = true;
};
