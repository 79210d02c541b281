#pragma once

#include <QRect>
#include <QSize>

// Where the help window goes, all in the screen's logical pixels and for the
// outer frame (decoration included), wholly in the screen's available area
// and clear of the owner (its Back, Next and Help) wherever the screen has
// room: its wished size, made no larger than the screen; beside the owner's
// frame with a gap, on the right where it fits, else on the left (level with
// the owner's top, moved up as far as its bottom needs), else below or
// above; else narrowed or lowered into the roomiest side while that leaves
// it 320 wide or 300 high; else pulled onto the screen over the owner.
QRect helpWindowBounds(const QRect &owner, const QSize &wished, const QRect &available);
