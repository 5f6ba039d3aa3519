// kestrova_picgen OUTPUT_FOLDER
// Draws the game's seventeen pictures and writes them there as <id>.png; the committed copies
// live in resources/pictures/.
#include "PicGen.h"
#include "PictureIds.h"

#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

bool Write(const QDir& dir, int id, const QImage& image) {
    const QString path = dir.filePath(QString::number(id) + QStringLiteral(".png"));
    QImageWriter writer(path, "png");
    writer.setQuality(0); // smallest file: the strongest compression
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    std::printf("%s  %d x %d\n", qPrintable(path), image.width(), image.height());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    using picgen::Side;
    const QImage mask = picgen::DrawTokenMask();
    // The names cross colours: ...Bleu... pictures are the red side's tokens.
    const std::vector<std::pair<int, std::function<QImage()>>> pictures = {
        {kFondQuatre4b, picgen::DrawBoisClair},
        {kPokerRougeFond, [&] { return mask; }},
        {kPokerBleu, [] { return picgen::DrawChipToken(Side::Red); }},
        {kPokerBleuFond, [&] { return mask; }},
        {kFondCinq, picgen::DrawBoisFonce},
        {kPokerRouge, [] { return picgen::DrawChipToken(Side::Blue); }},
        {kVlekRougeFond, [&] { return mask; }},
        {kVlekRouge, [] { return picgen::DrawGlossyToken(Side::Blue); }},
        {kVlekBleuFond, [&] { return mask; }},
        {kVlekBleu, [] { return picgen::DrawGlossyToken(Side::Red); }},
        {kHamster, picgen::DrawHamster},
        {kFondSix, picgen::DrawMetal},
        {kFondSept, picgen::DrawFusion},
        {kPoker2RougeFond, [&] { return mask; }},
        {kPoker2Bleu, [] { return picgen::DrawChip2Token(Side::Red); }},
        {kPoker2Rouge, [] { return picgen::DrawChip2Token(Side::Blue); }},
        {kPoker2BleuFond, [&] { return mask; }},
    };
    for (const auto& [id, draw] : pictures)
        if (!Write(dir, id, draw())) return 1;
    return 0;
}
