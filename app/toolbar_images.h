#pragma once

#include <QImage>
#include <QList>

// Cuts the tool bar strip (nine 16 x 16 cells side by side) into its images;
// exactly-magenta pixels become transparent.
QList<QImage> cutToolbarStrip(const QImage &strip);
