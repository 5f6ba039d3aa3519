// kestrova_picpack IN.png OUT.ppm
// Rewrites an opaque picture as plain RGB for the build: the resources compress it as a whole,
// which reads back several times faster than the PNG it comes from.
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.png OUT.ppm\n", argv[0]);
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    // PPM keeps no alpha: a picture with any would lose it.
    if (image.hasAlphaChannel()) {
        std::fprintf(stderr, "%s has an alpha channel\n", argv[1]);
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "ppm")) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
