#include "platform/window_state.h"

#include <QWidget>
#include <QWindow>

void setKeepAbove(QWidget *window, bool above)
{
    // QWidget::setWindowFlags would hide and re-create a shown window; the
    // platform window changes its state in place.
    if (QWindow *handle = window->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, above);
    else
        window->setWindowFlag(Qt::WindowStaysOnTopHint, above);
}

bool isKeptAbove(const QWidget *window)
{
    if (const QWindow *handle = window->windowHandle())
        return handle->flags().testFlag(Qt::WindowStaysOnTopHint);
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}
