#pragma once

#include <QRect>
#include <QSize>

// Where the help window goes, all in the screen's logical pixels and for the
// outer frame (decoration included): its wished size, made no larger than
// the screen's available area; beside the owner's frame with a gap, on the
// right where it fits, else on the left, else pulled onto the screen; level
// with the owner's top, moved up as far as its bottom needs.
QRect helpWindowBounds(const QRect &owner, const QSize &wished, const QRect &available);
