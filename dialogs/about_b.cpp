#include "dialogs/about_b.h"

#include "ui_about_b.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace {
constexpr int kIconSize = 32;
constexpr int kBevelWidth = 4;
} // namespace

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new Ui::TAboutForm)
{
    ui->setupUi(this);
    setFixedSize(size());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    ui->ImageIcon->setPixmap(QPixmap(QStringLiteral(":/serimo.png")));
    ui->ImageIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(ui->btnExit, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

TAboutForm::~TAboutForm() = default;

QString TAboutForm::aboutText()
{
    return tr("Serimo " SERIMO_VERSION "\n\nby Brellix");
}

void TAboutForm::reject() {}

void TAboutForm::showEvent(QShowEvent *event)
{
    const QScreen *target = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    QRect frame = frameGeometry();
    frame.moveCenter(target->geometry().center());
    move(frame.topLeft());
    QDialog::showEvent(event);
}

bool TAboutForm::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate) {
        FormActivate();
        nextAnswer.giveTo(*this);
    }
    return handled;
}

void TAboutForm::FormActivate()
{
    ui->ImageIcon->resize(kIconSize, kIconSize);
    ui->ImageIcon->raise();
    ui->About->setText(aboutText());
    ui->About->setAccessibleName(aboutText());
}

void TAboutForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    FormPaint();
}

// A raised bevel along the edges: four nested one-pixel rectangles, light
// on the left and top, dark on the right and bottom.
void TAboutForm::FormPaint()
{
    QPainter painter(this);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    for (int i = 0; i < kBevelWidth; ++i) {
        const int left = i;
        const int top = i;
        const int right = width() - 1 - i;
        const int bottom = height() - 1 - i;
        painter.setPen(light);
        painter.drawLine(left, top, right, top);
        painter.drawLine(left, top, left, bottom);
        painter.setPen(dark);
        painter.drawLine(right, top, right, bottom);
        painter.drawLine(left, bottom, right, bottom);
    }
}
