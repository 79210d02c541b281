#include "app/toolbar_images.h"

QList<QImage> cutToolbarStrip(const QImage &strip)
{
    constexpr int kCell = 16;
    constexpr QRgb kTransparent = qRgb(255, 0, 255);
    const QImage source = strip.convertToFormat(QImage::Format_ARGB32);
    QList<QImage> images;
    for (int i = 0; i < source.width() / kCell; ++i) {
        QImage cell = source.copy(i * kCell, 0, kCell, kCell);
        for (int y = 0; y < cell.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(cell.scanLine(y));
            for (int x = 0; x < cell.width(); ++x) {
                if ((line[x] & 0xFFFFFFu) == (kTransparent & 0xFFFFFFu))
                    line[x] = qRgba(0, 0, 0, 0);
            }
        }
        images.append(cell);
    }
    return images;
}
