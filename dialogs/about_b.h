#pragma once

// The About window: borderless, centred on the screen, the program's icon in
// front of its name, version and maker, inside a raised four-pixel bevel.
// Only its Ok button closes it.

#include "dialogs/next_answer.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutForm;
}

class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutForm(QWidget *parent = nullptr);
    ~TAboutForm() override;

    static QString aboutText();

    void FormActivate();

    // Tests answer the next one of these dialogs through it.
    static inline NextAnswer nextAnswer;
    void FormPaint();

    // Esc and every other way of giving up do nothing: the Ok button alone closes.
    void reject() override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TAboutForm> ui;
};
