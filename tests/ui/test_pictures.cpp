// What the player sees of the pictures: the board's first frame, every background with every token
// theme at the first size and after a resize, and the backgrounds' menu thumbnails, each compared
// pixel for pixel with a reference drawn here from the committed PNG files, decoded by Qt and
// scaled the way the window scales them. Also: backgrounds nobody draws do not stay in memory.
#include "UiTestSupport.h"

#include "BoardGeometry.h"
#include "PictureIds.h"
#include "PictureItems.h"

#include <QAction>
#include <QPainter>

namespace {

const int kBackgroundIds[] = {kFondQuatre4b, kFondCinq, kFondSix, kFondSept};
PictureRef (*const kBackgrounds[])() = {FondQuatre4b, FondCinq, FondSix, FondSept};

QImage Png(int id) {
    return QImage(QStringLiteral(KESTROVA_PICTURES_DIR "/%1.png").arg(id))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The area `from` of a picture scaled smoothly over a new, white picture of size `to`.
QImage Scaled(const QImage& picture, const QRect& from, const QSize& to) {
    QImage out(to, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(to)), picture, QRectF(from));
    return out;
}

// The frame the window must show: the background scaled over it, and each token on its cell.
QImage ExpectedFrame(WKestrova& w, int backgroundId) {
    QImage frame = Scaled(Png(backgroundId),
                          QRect(0, 0, BoardGeometry::kReferenceWidth, BoardGeometry::kReferenceHeight),
                          QSize(w.Width(), w.Height()));
    QPainter p(&frame);
    for (int c = 0; c < BoardGeometry::kColumns; ++c)
        for (int r = 0; r < BoardGeometry::kRows; ++r) {
            const UneCase* cell = w.PPlateau.PCase(c, r);
            if (!cell->MSiOccup()) continue;
            p.drawImage(TokenRect(w, c, r).topLeft(), (cell->PBleu ? w.PPionBleu : w.PPionRouge)->Composed());
        }
    return frame;
}

// The theme's pictures, crossed as the window crosses them: red from those named Bleu.
void ExpectTheme(WKestrova& w, int theme) {
    const int ids[3][4] = {{kVlekBleu, kVlekBleuFond, kVlekRouge, kVlekRougeFond},
                           {kPokerBleu, kPokerBleuFond, kPokerRouge, kPokerRougeFond},
                           {kPoker2Bleu, kPoker2BleuFond, kPoker2Rouge, kPoker2RougeFond}};
    const PictureRef shown[] = {w.Rouge, w.RougeFond, w.Bleu, w.BleuFond};
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(shown[k]->Image() == Png(ids[theme][k])) << "theme " << theme << ", " << k;
}

void ExpectBoard(WKestrova& w, int background, const char* when) {
    SCOPED_TRACE(when);
    const QImage expected = ExpectedFrame(w, kBackgroundIds[background]);
    EXPECT_TRUE(w.Frame().Image() == expected) << "background " << background << " at " << w.Width() << " x "
                                               << w.Height() << ": not the pixels of its picture";
}

class Pictures : public UiTest {};

TEST_F(Pictures, TheFirstFrameShowsTheStoredBackgroundAndTheme) {
    for (auto [background, theme] : {std::pair{0, 0}, {3, 2}, {1, 1}}) {
        prefs.Write({{"NoDeFond", QString::number(background)}, {"NoDePion", QString::number(theme)}});
        LaunchedGame game;
        WKestrova& w = game.Main();
        ASSERT_EQ(QSize(w.Width(), w.Height()), QSize(672, 590));
        ASSERT_EQ(CountTokens(w.PPlateau).red, 1) << "the computer opened";
        ExpectTheme(w, theme);
        ExpectBoard(w, background, "first frame");
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
                ExpectTheme(w, theme);
                ExpectBoard(w, background, "chosen from the menus");
            }
        }
    }
    w.SetSize(672, 590);
    w.MDessin(w.GetGraphics());
    ExpectBoard(w, 2, "resized back");
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
    EXPECT_TRUE(metal->Image() == Png(kFondSix));
    ExpectBoard(w, 2, "after a choice");
    // A resize scales the kept background again, with no new read needed.
    w.SetSize(750, 650);
    w.MDessin(w.GetGraphics());
    ExpectBoard(w, 2, "after a resize");
}

} // namespace
