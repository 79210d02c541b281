#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QSize>

// The edge of a tool bar image, in pixels.
inline constexpr int kToolbarImageSize = 16;

// Cuts the tool bar strip (nine 16 x 16 cells side by side) into its images;
// exactly-magenta pixels become transparent.
QList<QImage> cutToolbarStrip(const QImage &strip);

// The images are pixel art: on a high-density screen they are enlarged by a
// whole number, each pixel becoming a factor x factor block, and never
// smoothed.

// The largest whole multiple of `image` that fits `deviceSize`, centred on a
// transparent canvas of exactly that size. An area smaller than the image
// gets a reduced copy instead (the only case that mixes colours).
QImage renderPixelArt(const QImage &image, QSize deviceSize);

// The logical edge to reserve for an image `edge` pixels wide on a screen of
// the given device pixel ratio, so that it can be shown at the whole multiple
// nearest to that ratio (1.5 and 2 both give twice the size): never less
// than `edge`.
int pixelArtLogicalEdge(int edge, qreal devicePixelRatio);

// An icon that draws `image` with renderPixelArt at whatever size and
// density it is asked for. It offers renderings at 1 to 4 times its size.
QIcon pixelArtIcon(const QImage &image);
