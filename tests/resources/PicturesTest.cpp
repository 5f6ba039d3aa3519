// The compiled-in pictures: every id is there at the size the board drawing needs, masks are
// plain greys that match their tokens, token colours cross their names, and the background holes
// sit where the board draws its tokens.
#include "KestrovaPictures.h"
#include "PackedPicture.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct TokenPair {
    int token;
    int mask;
    bool drawnForRed; // ...Bleu... pictures serve the red side
    const char* name;
};

const TokenPair kTokens[] = {
    {177, 176, true, "VlekBleu"},    {175, 174, false, "VlekRouge"}, {170, 171, true, "PokerBleu"},
    {173, 169, false, "PokerRouge"}, {182, 184, true, "Poker2Bleu"}, {183, 181, false, "Poker2Rouge"},
};

const int kBackgrounds[] = {168, 172, 179, 180};
const QSize kReference(1500, 1300);

class Pictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitKestrovaPictures(); }
};

// The build packs each committed PNG; the game must draw exactly the pixels the PNG holds, each id
// from its own file, and nothing for an id outside the range.
TEST_F(Pictures, EachIdHoldsThePixelsOfItsOwnPngAtTheSizeItsUseNeeds) {
    for (int id = 168; id <= 184; ++id) {
        const QImage png(QStringLiteral(KESTROVA_PICTURES_DIR "/%1.png").arg(id));
        ASSERT_FALSE(png.isNull()) << id;
        EXPECT_TRUE(ReadPicture(id) == png.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << id << ": not the pixels of " << id << ".png";
    }
    EXPECT_TRUE(ReadPicture(167).isNull());
    EXPECT_TRUE(ReadPicture(185).isNull());

    // Tokens are drawn 184 × 184 on a full-size board: square and no smaller. Backgrounds and masks
    // are sized in the tests of their holes and their tokens.
    for (const TokenPair& t : kTokens) {
        const QImage token = ReadPicture(t.token);
        EXPECT_EQ(token.width(), token.height()) << t.name;
        EXPECT_GE(token.width(), 184) << t.name;
    }
    // The about window shows the mascot at its own size through 27 × 38 areas.
    EXPECT_GE(ReadPicture(178).width(), 27);
    EXPECT_GE(ReadPicture(178).height(), 38);
}

TEST_F(Pictures, OnlyAWholePackedPictureUnpacks) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 128));
    image.setPixel(2, 1, qRgba(200, 0, 0, 255));
    const QByteArray packed = PackPicture(image);
    EXPECT_TRUE(UnpackPicture(packed) == image.convertToFormat(QImage::Format_ARGB32_Premultiplied));

    auto withField = [&](int offset, quint32 value) {
        QByteArray changed = packed;
        std::memcpy(changed.data() + offset, &value, sizeof value);
        return changed;
    };
    const QByteArray broken[] = {
        QByteArray(),
        packed.left(16),
        packed.left(packed.size() - 1),
        packed + "x",
        withField(0, 0x43495046), // not the letters it starts with
        withField(4, 0),
        withField(8, 0), // no width, no height
        withField(4, 4),
        withField(8, 3),          // more pixels than the block holds
        withField(4, 2),          // fewer
        withField(12, 16),        // lines of another length than the width's
        withField(8, 0x40000000), // far beyond any picture
    };
    for (const QByteArray& bytes : broken)
        EXPECT_TRUE(UnpackPicture(bytes).isNull()) << bytes.toHex().toStdString();
}

// Masks are plain greys that show exactly the token's painted disc; in the disc, the side's own
// colour covers much and the other side's none.
TEST_F(Pictures, MasksMatchTheirTokensAndTokenColoursCrossTheirNames) {
    for (const TokenPair& t : kTokens) {
        const QImage mask = ReadPicture(t.mask).convertToFormat(QImage::Format_ARGB32);
        const QImage token = ReadPicture(t.token).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(mask.size(), token.size()) << t.name;
        const int last = mask.width() - 1;
        for (QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            EXPECT_EQ(mask.pixel(corner), qRgb(255, 255, 255)) << t.name;
        EXPECT_EQ(mask.pixel(last / 2, last / 2), qRgb(0, 0, 0)) << t.name;

        int notGrey = 0, uncovered = 0, hiddenPaint = 0, disc = 0, reddish = 0, bluish = 0;
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                const QRgb m = mask.pixel(x, y), c = token.pixel(x, y);
                if (qAlpha(m) != 255 || qRed(m) != qGreen(m) || qGreen(m) != qBlue(m)) ++notGrey;
                // Where the mask shows the token fully, the token must be painted, and where the
                // token is empty the mask must hide it.
                if (qRed(m) == 0 && qAlpha(c) != 255) ++uncovered;
                if (qAlpha(c) == 0 && qRed(m) != 255) ++hiddenPaint;
                if (qRed(m) != 0) continue;
                ++disc;
                // Gold and cream ornaments count as neither.
                if (qRed(c) > qBlue(c) + 60 && qRed(c) > qGreen(c) + 60)
                    ++reddish;
                else if (qBlue(c) > qRed(c) + 60 && qBlue(c) > qGreen(c) + 30)
                    ++bluish;
            }
        }
        EXPECT_EQ(notGrey + uncovered + hiddenPaint, 0)
            << t.name << ": " << notGrey << " not grey, " << uncovered << " uncovered, " << hiddenPaint
            << " hidden";
        EXPECT_GT(t.drawnForRed ? reddish : bluish, disc / 4) << t.name;
        EXPECT_EQ(t.drawnForRed ? bluish : reddish, 0) << t.name;
    }
}

// On a full-size board a cell (column, row) starts at (51 + 200 column, 51 + 200 (5 - row)) and
// its 184 × 184 token sits 8 pixels in, as the window draws it. Just outside the token's disc the
// hole must still be dark; further out, past the rim, the board's face must be lighter. The
// diagonals are sampled because there the face between holes is widest.
TEST_F(Pictures, BackgroundHolesSitUnderTheTokens) {
    for (int id : kBackgrounds) {
        const QImage bg = ReadPicture(id).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(bg.size(), kReference) << id;
        int misplaced = 0;
        for (int column = 0; column < 7; ++column) {
            for (int row = 0; row < 6; ++row) {
                const double cx = 51 + 200 * column + 8 + 92, cy = 51 + 200 * (5 - row) + 8 + 92;
                for (int k = 0; k < 4; ++k) {
                    const double a = M_PI / 4 + k * M_PI / 2;
                    auto grey = [&](double r) {
                        return qGray(bg.pixel(static_cast<int>(std::lround(cx + r * std::cos(a))),
                                              static_cast<int>(std::lround(cy + r * std::sin(a)))));
                    };
                    if (grey(91) + 25 > grey(106)) ++misplaced;
                }
            }
        }
        EXPECT_EQ(misplaced, 0) << id;
    }
}

} // namespace
