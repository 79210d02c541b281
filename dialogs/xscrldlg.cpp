#include "dialogs/xscrldlg.h"

#include "common/serimo_error.h"
#include "dialogs/xscrl_rules.h"
#include "common/integer_conversion.h"
#include "ui_xscrldlg.h"

#include <QButtonGroup>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

namespace {
// The dialog's module state: one set, since only one value dialog is open at
// a time. The range and start value belong to the call in progress; the
// presets stay from the last scroll-bar call; Typing outlives the dialog.
struct DialogState
{
    qint32 minValue = 0;
    qint32 maxValue = 0;
    qint32 startValue = 0;
    std::array<qint32, 6> presets{};
    QString title;
    // While set, a change of the scroll bar's position leaves the edit box
    // as the user typed it.
    bool typing = false;
};
DialogState state;

// The width of a title bar that shows the whole title: the title in a bold
// face, and room for the window's icon and buttons, each about as wide as
// the bar is high. The window manager cuts a longer title short.
int titleBarWidth(const QWidget &window)
{
    constexpr int kIconAndButtons = 5;
    QFont font = window.font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int bar = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window), metrics.height());
    return metrics.horizontalAdvance(window.windowTitle()) + kIconAndButtons * bar;
}

void setCaption(QWidget *control, const QString &caption)
{
    if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(caption);
    // What a screen reader says follows the caption, without its access-key mark.
    control->setAccessibleName(QString(caption).remove(u'&'));
}
} // namespace

TXScrlDlg::TXScrlDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(new Ui::TXScrlDlg)
{
    ui->setupUi(this);
    setFixedSize(size());
    m_designWidth = width();
    m_presetButtons = {ui->PresetA, ui->PresetB, ui->PresetC, ui->PresetD, ui->PresetE, ui->PresetF};
    auto *presets = new QButtonGroup(this);
    for (int i = 0; i < int(m_presetButtons.size()); ++i)
        presets->addButton(m_presetButtons[i], i);

    // None of these handlers can raise an error: a text that does not
    // convert takes the recovery instead of an error report.
    // A preset is chosen when its item becomes checked: by the mouse, the
    // keyboard or assistive technology (which toggles without a click).
    connect(presets, &QButtonGroup::idToggled, this, [this](int item, bool checked) {
        if (checked)
            GroupOptionsClick(item);
    });
    connect(ui->BtnOK, &QPushButton::clicked, this, &TXScrlDlg::BtnOKClick);
    connect(ui->BtnCancel, &QPushButton::clicked, this, &TXScrlDlg::BtnCancelClick);
    connect(ui->CustomSetting, &QLineEdit::textChanged, this, [this] {
        if (m_settingText == 0)
            CustomSettingChange();
    });
    // actionTriggered comes before the position moves, for every user scroll.
    connect(ui->CustomScrollBar, &QScrollBar::actionTriggered, this, &TXScrlDlg::CustomScrollBarScroll);
    connect(ui->CustomScrollBar, &QScrollBar::valueChanged, this, &TXScrlDlg::CustomScrollBarChange);
    connect(ui->UserTrackBar, &QSlider::valueChanged, this, [this] {
        if (!m_settingTrackBar)
            UserTrackBarChange();
    });
    ui->CustomSetting->installEventFilter(this);
    ui->BtnCancel->setFocus();
}

TXScrlDlg::~TXScrlDlg() = default;

qint32 ShowXScrlDlg(const QString &Title, const QString &MinText, const QString &MaxText, TXScrlParams Params,
                    QWidget *parent)
{
    state.minValue = Params.MinValue;
    state.maxValue = Params.MaxValue;
    state.startValue = Params.StartValue;
    qint32 result = XScrlCancelled;

    TXScrlDlg dialog(parent);
    Ui::TXScrlDlg &ui = *dialog.ui;
    dialog.m_useTrackBar = Params.UseTrackBar;
    // The call's range is applied as a whole, so the design range never
    // refuses a valid one; only a maximum below the minimum is refused.
    if (Params.UseTrackBar) {
        if (Params.MaxValue < Params.MinValue)
            throw SerimoError(QStringLiteral("%1 property out of range")
                                  .arg(QString::fromLatin1(ui.UserTrackBar->metaObject()->className())));
        ui.UserTrackBar->show();
        ui.CustomScrollBar->hide();
        dialog.m_settingTrackBar = true;
        ui.UserTrackBar->setRange(Params.MinValue, Params.MaxValue);
        ui.UserTrackBar->setValue(Params.StartValue);
        dialog.m_settingTrackBar = false;
        setCaption(ui.LabelMin, MinText);
        setCaption(ui.LabelMax, MaxText);
        ui.LabelMin->move(ui.GroupOptions->x() + 4, ui.LabelMin->y());
    } else {
        if (Params.MaxValue < Params.MinValue)
            throw SerimoError(QStringLiteral("Scrollbar property out of range"));
        ui.CustomScrollBar->setRange(Params.MinValue, Params.MaxValue);
        setCaption(ui.LabelMin, QString::number(Params.MinValue));
        setCaption(ui.LabelMax, QString::number(Params.MaxValue));
        ui.CustomScrollBar->setValue(Params.StartValue);
        dialog.setCustomSetting(QString::number(Params.StartValue));
        dialog.applyMinimum();
        ui.CustomScrollBar->setPageStep(quint16(Params.LargeStep));
        ui.CustomScrollBar->setSingleStep(quint16(Params.SmallStep));
        state.presets = Params.Presets;
        for (int i = 0; i < 6; ++i)
            setCaption(dialog.m_presetButtons[i],
                       QStringLiteral("&%1 = %2").arg(QChar(u'a' + i)).arg(state.presets[i]));
    }
    state.title = Title;
    dialog.setWindowTitle(Title);
    if (!Params.ShowPresets) {
        ui.GroupOptions->hide();
        dialog.setFixedHeight(dialog.height() - (ui.GroupOptions->height() + 12));
    }
    dialog.m_pointer = QCursor::pos();
    dialog.placeOnPointer();

    if (dialog.exec() == QDialog::Accepted)
        result = Params.UseTrackBar ? ui.UserTrackBar->value() : ui.CustomScrollBar->value();
    return result;
}

void TXScrlDlg::placeOnPointer()
{
    const QScreen *screen = QGuiApplication::screenAt(m_pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    // Before the window manager has framed the window its outer size is its
    // own size; the placement is done again once the frame is known.
    move(::placeOnPointer(m_pointer, frameGeometry().size(), screen->geometry()));
}

bool TXScrlDlg::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    // The dialog is as wide as its design, or as its title needs.
    if (event->type() == QEvent::WindowTitleChange)
        setFixedWidth(std::max(m_designWidth, titleBarWidth(*this)));
    if (event->type() == QEvent::WindowActivate) {
        if (!m_placedWithFrame && frameGeometry().size() != size()) {
            m_placedWithFrame = true;
            placeOnPointer();
        }
        FormActivate();
        nextAnswer.giveTo(*this);
    }
    return handled;
}

bool TXScrlDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->CustomSetting) {
        if (event->type() == QEvent::KeyPress) {
            CustomSettingKeyDown();
            // Enter alone is the default button's, whichever button had the
            // focus before the box took it.
            auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
                ui->BtnOK->click();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            applyMinimum();
        } else if (event->type() == QEvent::KeyRelease) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                CustomSettingKeyUp(key);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TXScrlDlg::FormActivate()
{
    if (!m_useTrackBar) {
        ui->CustomSetting->setFocus(Qt::OtherFocusReason);
        ui->CustomSetting->selectAll();
        // The box is no button: OK is the default again.
        ui->BtnOK->setDefault(true);
        return;
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    setTrackBarPosition(state.startValue);
    UserTrackBarChange();
}

void TXScrlDlg::BtnOKClick()
{
    applyMinimum();
    done(QDialog::Accepted);
}

void TXScrlDlg::applyMinimum()
{
    if (tryStrToInt(ui->CustomSetting->text()).value_or(state.minValue) < state.minValue)
        setCustomSetting(QString::number(state.minValue));
}

void TXScrlDlg::BtnCancelClick()
{
    done(QDialog::Rejected);
}

void TXScrlDlg::setCustomSetting(const QString &text)
{
    if (text == ui->CustomSetting->text())
        return;
    ++m_settingText;
    ui->CustomSetting->setText(text);
    --m_settingText;
    CustomSettingChange();
}

// The text rule: the maximum is enforced keystroke by keystroke, the minimum
// when the value is taken, and the scroll bar follows the text without
// rewriting it.
void TXScrlDlg::CustomSettingChange()
{
    state.typing = true;
    if (ui->CustomSetting->text().isEmpty()) {
        state.typing = false;
        return;
    }
    const std::optional<qint32> typed = tryStrToInt(ui->CustomSetting->text());
    if (!typed) {
        // Recovery: the minimum into the box, whose nested rule takes the
        // scroll bar there too, so that OK gives what the box shows.
        setCustomSetting(QString::number(state.minValue));
        state.typing = false;
        return;
    }
    if (*typed > state.maxValue)
        setCustomSetting(QString::number(state.maxValue));
    // A number below the minimum stays while typing, since more digits may
    // follow; the scroll bar waits at the minimum until the value is taken.
    if (const std::optional<qint32> value = tryStrToInt(ui->CustomSetting->text()))
        ui->CustomScrollBar->setValue(*value);
    state.typing = false;
}

void TXScrlDlg::CustomSettingKeyDown()
{
    state.typing = true;
}

void TXScrlDlg::CustomSettingKeyUp(QKeyEvent *)
{
    state.typing = false;
    CustomSettingChange();
}

void TXScrlDlg::CustomScrollBarScroll()
{
    state.typing = false;
}

void TXScrlDlg::CustomScrollBarChange()
{
    if (!state.typing)
        setCustomSetting(QString::number(ui->CustomScrollBar->value()));
}

void TXScrlDlg::GroupOptionsClick(int item)
{
    setCustomSetting(QString::number(state.presets[item]));
    // Let the new value paint before the dialog goes.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    done(QDialog::Accepted);
}

void TXScrlDlg::UserTrackBarChange()
{
    setWindowTitle(pixelSizeCaption(state.title, ui->UserTrackBar->maximum(), ui->UserTrackBar->value()));
}

void TXScrlDlg::setTrackBarPosition(int position)
{
    m_settingTrackBar = true;
    ui->UserTrackBar->setValue(position);
    m_settingTrackBar = false;
}
