// sorel-icon OUT_ROOT NAME SIZE...: draws the sample character's head as
// the application's icon, for each SIZE a SIZExSIZE PNG at
// OUT_ROOT/SIZExSIZE/apps/NAME.png (the icon theme's layout). Every size is
// drawn from her shapes, not scaled from another size, and its edges are
// smooth against transparency.
#include "Canvas.h"
#include "SorelDrawing.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The square around her head, sprout and hair, in her own coordinates.
constexpr sorel::Point kHeadCorner{30, 0};
constexpr double kHeadSide = 108;

bool WriteIcon(const QString& root, const QString& name, int size)
{
    sorel::Canvas canvas(size, size, size / kHeadSide, kHeadCorner);
    sorel::Draw(canvas, sorel::Pose{});
    const std::vector<uint32_t> pixels = canvas.Rgba();
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, pixels[size_t(y) * size_t(size) + size_t(x)]);
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
    return QDir().mkpath(folder) && image.save(folder + "/" + name + ".png", "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: sorel-icon OUT_ROOT NAME SIZE...\n");
        return 2;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "sorel-icon: bad size %s\n", argv[i]);
            return 2;
        }
        if (!WriteIcon(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), size)) {
            std::fprintf(stderr, "sorel-icon: cannot write the %dx%d icon into %s\n", size, size, argv[1]);
            return 1;
        }
    }
    return 0;
}
