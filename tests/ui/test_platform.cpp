// The framework's masks where the game's own tests cannot tell a fault apart: alphas and pixels
// worked out by hand.
#include "UiTestSupport.h"

#include "Canvas.h"

namespace {

TEST(Picture, TheMaskKeepsBlackRemovesWhiteAndLetsGreyHalfThroughWhereverItIsDrawn) {
    const PictureRef red = NewPicture(1, 1);
    red->MutableImage().fill(Qt::red);
    for (auto [grey, alpha] : {std::pair{-1, 255}, {255, 0}, {128, 127}}) {
        red->Mask();
        if (grey >= 0) red->Mask().MutableImage().fill(QColor(grey, grey, grey)); // else as made: black
        EXPECT_EQ(qAlpha(red->Composed().pixel(0, 0)), alpha) << grey;
    }
    Picture white(1, 1);
    Graphics(white).DrawPicture(*red, 0, 0);
    EXPECT_LE(ColourDistance(white.Image().pixel(0, 0), qRgb(255, 128, 128)), 3) << "half red over white";
    Canvas canvas;
    canvas.SetBackdrop(red);
    EXPECT_GT(qGreen(canvas.grab().toImage().pixel(0, 0)), 100) << "half red over the background";
}

} // namespace
