#include "app/toolbar_images.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

QList<QImage> cutToolbarStrip(const QImage &strip)
{
    constexpr int kCell = kToolbarImageSize;
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

namespace {
// Copies `source` into `target` at `at`, each pixel as a factor x factor
// block, clipped to the target.
void paintBlocks(QImage &target, const QImage &source, QPoint at, int factor)
{
    for (int y = 0; y < source.height() * factor; ++y) {
        const int ty = at.y() + y;
        if (ty < 0 || ty >= target.height())
            continue;
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y / factor));
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(ty));
        for (int x = 0; x < source.width() * factor; ++x) {
            const int tx = at.x() + x;
            if (tx >= 0 && tx < target.width())
                out[tx] = in[x / factor];
        }
    }
}

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Greyed and faded, for a control that cannot be used.
QImage disabledPixelArt(QImage image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
        }
    }
    return image;
}

class PixelArtIconEngine final : public QIconEngine
{
public:
    explicit PixelArtIconEngine(QImage image) : m_image(argb(image)) {}

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        if (m_image.isNull() || size.isEmpty())
            return {};
        const QImage rendered = renderPixelArt(m_image, size);
        return QPixmap::fromImage(mode == QIcon::Disabled ? disabledPixelArt(rendered) : rendered);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap rendered = pixmap((QSizeF(rect.size()) * dpr).toSize(), mode, state);
        if (rendered.isNull())
            return;
        rendered.setDevicePixelRatio(dpr);
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter->drawPixmap(rect.topLeft(), rendered);
        painter->restore();
    }

    // The rendering always fills the size asked for.
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int factor = 1; factor <= 4; ++factor)
            sizes.append(m_image.size() * factor);
        return sizes;
    }

    QString key() const override { return QStringLiteral("PixelArtIconEngine"); }
    QIconEngine *clone() const override { return new PixelArtIconEngine(m_image); }
    bool isNull() override { return m_image.isNull(); }

private:
    QImage m_image;
};
} // namespace

QImage renderPixelArt(const QImage &image, QSize deviceSize)
{
    if (image.isNull() || deviceSize.isEmpty())
        return {};
    const QImage source = argb(image);
    QImage canvas(deviceSize, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    const int factor = std::min(deviceSize.width() / source.width(), deviceSize.height() / source.height());
    const QImage picture =
        factor < 1 ? argb(source.scaled(deviceSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)) : source;
    const int scale = std::max(factor, 1);
    const QSize drawn = picture.size() * scale;
    paintBlocks(canvas, picture,
                QPoint((deviceSize.width() - drawn.width()) / 2, (deviceSize.height() - drawn.height()) / 2), scale);
    return canvas;
}

int pixelArtLogicalEdge(int edge, qreal devicePixelRatio)
{
    if (!(devicePixelRatio > 0) || edge <= 0)
        return std::max(edge, 0);
    const int factor = std::max(1, static_cast<int>(std::floor(devicePixelRatio + 0.5)));
    // A hair below the exact quotient so that 32 / 2.0 stays 16.
    const int logical = static_cast<int>(std::ceil(edge * factor / devicePixelRatio - 1e-6));
    return std::max(edge, logical);
}

QIcon pixelArtIcon(const QImage &image)
{
    return QIcon(new PixelArtIconEngine(image));
}
