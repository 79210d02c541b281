#pragma once

// The reusable value dialog: asks for one whole number inside a range, by an
// edit box and a scroll bar (with six optional presets) or by a track bar.
// A fresh dialog is built for every call of ShowXScrlDlg.

#include "dialogs/next_answer.h"

#include <QDialog>
#include <QString>
#include <array>
#include <memory>

namespace Ui {
class TXScrlDlg;
}
class QAbstractButton;

// What every way of closing the dialog other than OK returns.
constexpr qint32 XScrlCancelled = -999;

struct TXScrlParams
{
    qint32 MinValue = 0;
    qint32 MaxValue = 0;
    qint32 StartValue = 0;
    qint32 LargeStep = 1; // page step; the low 16 bits are used
    qint32 SmallStep = 1; // line step; the low 16 bits are used
    std::array<qint32, 6> Presets{}; // presets a to f
    bool ShowPresets = false;
    bool UseTrackBar = false;
};

// Shows the dialog modally, centred on the mouse pointer, and returns the
// chosen value, or XScrlCancelled. A maximum below the minimum raises the
// range error (SerimoError) without showing anything.
qint32 ShowXScrlDlg(const QString &Title, const QString &MinText, const QString &MaxText, TXScrlParams Params,
                    QWidget *parent = nullptr);

class TXScrlDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TXScrlDlg(QWidget *parent = nullptr);
    ~TXScrlDlg() override;

    void FormActivate();

    // Tests answer the next one of these dialogs through it.
    static inline NextAnswer nextAnswer;
    void BtnOKClick();
    void BtnCancelClick();
    void CustomSettingChange();
    void CustomSettingKeyDown();
    void CustomSettingKeyUp(QKeyEvent *event);
    void CustomScrollBarScroll();
    void CustomScrollBarChange();
    void GroupOptionsClick(int item);
    void UserTrackBarChange();

    // Sets the edit box's text; a real change runs the text rule before
    // this returns, as a change by the user does.
    void setCustomSetting(const QString &text);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend qint32 ShowXScrlDlg(const QString &, const QString &, const QString &, TXScrlParams, QWidget *);

    void setTrackBarPosition(int position);
    void placeOnPointer();
    // A number below the minimum in the box becomes the minimum.
    void applyMinimum();

    std::unique_ptr<Ui::TXScrlDlg> ui;
    std::array<QAbstractButton *, 6> m_presetButtons{};
    int m_settingText = 0;
    bool m_settingTrackBar = false;
    bool m_useTrackBar = false;
    QPoint m_pointer;
    bool m_placedWithFrame = false;
    int m_designWidth = 0;
};
