// Build tool: writes a larger rendering of the pixel-art icon, each pixel a
// square block (no smoothing), for the desktop's icon theme.
//   scale_icon <in.png> <out.png> <size>

#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <in.png> <out.png> <size>\n", argv[0]);
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    const int size = std::atoi(argv[3]);
    if (icon.isNull() || size <= 0 || size % icon.width() != 0)
        return 1;
    const QImage scaled = icon.convertToFormat(QImage::Format_ARGB32)
                              .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return scaled.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
