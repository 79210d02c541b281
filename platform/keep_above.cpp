#include "platform/keep_above.h"

#include <QWidget>
#include <QWindow>

bool WindowFlagKeepAbove::set(QWidget *window, bool above)
{
    // QWidget::setWindowFlags would hide and re-create a shown window; the
    // platform window changes its state in place.
    if (QWindow *handle = window->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, above);
    else
        window->setWindowFlag(Qt::WindowStaysOnTopHint, above);
    return true;
}
