// What the player sees of the pictures: the board's first frame, every background with every token
// theme at the first size and after a resize, the token strips and the backgrounds' menu thumbnails, each
// compared pixel for pixel with a reference drawn here from the committed PNG files, decoded by Qt and scaled
// the way the window scales them. Also: backgrounds nobody draws do not stay in memory.
#include "UiTestSupport.h"

#include "PictureItems.h"

#include <QAction>

namespace {

// The pictures' resource ids: the backgrounds 0 to 3.
const int kBackgroundIds[] = {168, 172, 179, 180};
PictureRef (*const kBackgrounds[])() = {FondQuatre4b, FondCinq, FondSix, FondSept};

// Each theme's token and mask for the red side, then for the blue side: red is drawn from the
// pictures named Bleu.
const int kThemes[3][4] = {{177, 176, 175, 174}, {170, 171, 173, 169}, {182, 184, 183, 181}};

// Tokens as the window must show them: a side's picture and mask (`ids`), each scaled to `token`
// at `places` places `step` pixels apart, in a picture of `size` whose mask starts `base`. How a
// mask lets what is below show through is the platform's.
QImage Tokens(const int* ids, QSize size, QSize token, int places, int step, QColor base) {
    Picture tokens(size.width(), size.height());
    tokens.Mask().MutableImage().fill(base);
    for (int k = 0; k < places; ++k)
        for (auto [id, target] : {std::pair{ids[0], &tokens}, {ids[1], &tokens.Mask()}}) {
            const Picture source(Png(id));
            Graphics(*target).DrawPicture(source, k * step, 0, token.width(), token.height(), 0, 0,
                                          source.Width(), source.Height());
        }
    return tokens.Composed();
}

// The frame the window must show: the background scaled over it, and on each cell its side's
// token, 16 pixels smaller than the cell and 8 pixels in.
QImage ExpectedFrame(WKestrova& w, int backgroundId, int theme) {
    QImage frame = Scaled(Png(backgroundId), QRect(0, 0, 1500, 1300), QSize(w.Width(), w.Height()));
    const QSize token = CellRect(w, 0, 0).size() - QSize(16, 16);
    const QImage red = Tokens(kThemes[theme], token, token, 1, 0, Qt::black);
    const QImage blue = Tokens(kThemes[theme] + 2, token, token, 1, 0, Qt::black);
    QPainter p(&frame);
    for (int c = 0; c < 7; ++c)
        for (int r = 0; r < 6; ++r) {
            const UneCase* cell = w.PPlateau.PCase(c, r);
            if (cell->MSiOccup())
                p.drawImage(CellRect(w, c, r).topLeft() + QPoint(8, 8), cell->PBleu ? blue : red);
        }
    return frame;
}

void ExpectBoard(WKestrova& w, int background, int theme, const char* when) {
    SCOPED_TRACE(when);
    EXPECT_TRUE(w.Frame().Image() == ExpectedFrame(w, kBackgroundIds[background], theme))
        << "background " << background << ", theme " << theme << " at " << w.Width() << " x " << w.Height()
        << ": not the pixels of their pictures";
}

class Pictures : public UiTest {};

TEST_F(Pictures, TheFirstFrameShowsTheStoredBackgroundAndTheme) {
    for (auto [background, theme] : {std::pair{0, 0}, {3, 2}, {1, 1}}) {
        prefs.Write({{"NoDeFond", QString::number(background)}, {"NoDePion", QString::number(theme)}});
        LaunchedGame game;
        WKestrova& w = game.Main();
        ASSERT_EQ(QSize(w.Width(), w.Height()), QSize(672, 590));
        ASSERT_EQ(CountTokens(w.PPlateau).red, 1) << "the computer opened";
        ExpectBoard(w, background, theme, "first frame");
        w.Close();
    }
}

TEST_F(Pictures, EveryBackgroundWithEveryThemeAtTheFirstSizeAndAfterAResize) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MnDuo());
    Play(w, {0}); // a blue token beside the computer's red one
    ASSERT_EQ(CountTokens(w.PPlateau).Total(), 2);
    MenuBar1Instance().PrepareMenus(); // as when a menu first opens
    for (QSize size : {QSize(672, 590), QSize(800, 693)}) {
        w.SetSize(size.width(), size.height());
        ASSERT_EQ(QSize(w.Width(), w.Height()), size);
        w.MDessin(w.GetGraphics());
        for (int background : {1, 3, 0, 2}) {
            Choose(w, w.MNFond(background));
            for (int theme : {2, 0, 1}) {
                Choose(w, w.MNPion(theme));
                ExpectBoard(w, background, theme, "chosen from the menus");
                // The strips: eight tokens of 35 × 35 at a 37-pixel step, nothing shown between.
                for (int side : {0, 2})
                    EXPECT_TRUE((side ? w.PCoulBleu : w.PCoulRouge)->Composed() ==
                                Tokens(kThemes[theme] + side, {296, 35}, {35, 35}, 8, 37, Qt::white));
            }
        }
    }
    w.SetSize(672, 590);
    w.Content()->repaint(); // as the window system asks after a resize
    ExpectBoard(w, 2, 1, "resized back");
}

TEST_F(Pictures, EachThumbnailIsTheCornerOfItsOwnBackground) {
    prefs.Write({{"NoDeFond", "2"}});
    LaunchedGame game;
    WKestrova& w = game.Main();
    Front(w);
    MenuBar1Instance().PrepareMenus();
    for (int i = 0; i < 4; ++i) {
        const QImage expected = Scaled(Png(kBackgroundIds[i]), QRect(0, 0, 350, 350), QSize(100, 100));
        ASSERT_TRUE(w.PFondDemo[std::size_t(i)]);
        EXPECT_TRUE(w.PFondDemo[std::size_t(i)]->Image() == expected) << "thumbnail " << i;
        // And the menu item shows it as it is.
        EXPECT_EQ(w.MNFond(i)->Icon(), w.PFondDemo[std::size_t(i)]);
        const QImage shown = w.MNFond(i)->Action()->icon().pixmap(100, 100).toImage();
        EXPECT_TRUE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied) == expected)
            << "menu icon " << i;
    }
    // Made once: preparing the menus again keeps them.
    const PictureRef first = w.PFondDemo[0];
    MenuBar1Instance().PrepareMenus();
    EXPECT_EQ(w.PFondDemo[0], first);
}

TEST_F(Pictures, OnlyTheShownBackgroundKeepsItsPixelsAndTheOthersComeBackTheSame) {
    prefs.Write({{"NoDeFond", "1"}});
    LaunchedGame game;
    WKestrova& w = game.Main();
    // Held by address only: a reference of the test's own would keep the pixels in use.
    Picture* const shown = FondCinq().get();
    ASSERT_EQ(w.PFondCourant.get(), shown);
    EXPECT_TRUE(shown->HasPixels());
    // The others are not read for the first frame, nor kept once their thumbnails are made.
    Front(w);
    MenuBar1Instance().PrepareMenus();
    for (int i : {0, 2, 3}) EXPECT_FALSE(kBackgrounds[i]()->HasPixels()) << i;
    EXPECT_TRUE(shown->HasPixels());

    // Choosing another reads it again, as the same picture, and lets the one shown before go.
    Picture* const metal = FondSix().get();
    Choose(w, w.MNFond(2));
    EXPECT_EQ(FondSix().get(), metal);
    EXPECT_EQ(w.PFondCourant.get(), metal);
    EXPECT_TRUE(metal->HasPixels());
    EXPECT_FALSE(shown->HasPixels());
    ExpectBoard(w, 2, 0, "after a choice");
    // A resize scales the kept background again, with no new read needed.
    w.SetSize(750, 650);
    w.MDessin(w.GetGraphics());
    ExpectBoard(w, 2, 0, "after a resize");
}

} // namespace
