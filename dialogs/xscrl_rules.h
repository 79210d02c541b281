#pragma once

// The value dialog's arithmetic, free of widgets.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Top-left corner of the dialog's outer frame of size `outer`, centred on the
// pointer and kept on `screen`: the left and top are pulled up to the
// screen's edge first, the right and bottom last, so a frame larger than the
// screen ends flush with the screen's right and bottom edges.
QPoint placeOnPointer(QPoint pointer, QSize outer, const QRect &screen);

// The caption in track-bar mode: with a scale maximum of 8 or more, the title
// followed by the position as a size of 32 x 24 pixels per step
// ("Size640x480 pixels" for 20); below 8 the title alone.
QString pixelSizeCaption(const QString &title, int maximum, int position);
