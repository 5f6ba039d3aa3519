// The main window: board geometry, clicks to moves, turn control in both modes, the frame's
// pixels, settings across a restart, stored numbers out of range and the menu's check marks.
#include "UiTestSupport.h"

#include "App.h"
#include "DoubleToInteger.h"
#include "MenuBar1.h"
#include "PictureItems.h"
#include "WEgalite.h"
#include "WGagnant.h"
#include "WJournal.h"
#include "WQuiDoitJouer.h"

#include <QAction>
#include <QPainter>

#include <climits>
#include <cmath>
#include <ostream>

namespace {

class MainWindow : public ::testing::Test {
protected:
    TestPreferences prefs;
};

// The main window in front, as when the user opens its menus or types a shortcut.
void Front(WKestrova& w) {
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

// A choice from the menu bar, the way the menus deliver it.
void Choose(WKestrova& w, MenuItem* item) {
    ASSERT_TRUE(item);
    Front(w);
    item->Action()->trigger();
}

void Resize(WKestrova& w, int width, int height) {
    w.SetSize(width, height);
    ASSERT_EQ(w.Width(), width);
    ASSERT_EQ(w.Height(), height);
    w.MDessin(w.GetGraphics());
}

QRect CellRect(const WKestrova& w, int column, int row) {
    const int x = DoubleToInteger(double(column) * w.PLargFl + double(w.PDecalFondX) + 1.0);
    const int y = DoubleToInteger(double(5 - row) * w.PHautFl + double(w.PDecalFondY) + 1.0);
    return QRect(x, y, w.PLarg, w.PHaut);
}

QRect TokenRect(const WKestrova& w, int column, int row) {
    const QRect cell = CellRect(w, column, row);
    return QRect(cell.x() + 8, cell.y() + 8, w.PLarg - 16, w.PHaut - 16);
}

// Pixels of `shown` that differ from `want` inside `area`.
int Differences(const QImage& shown, const QImage& want, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (shown.pixel(x, y) != want.pixel(x, y)) ++count;
    return count;
}

int ColourDistance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

QRgb Centre(const PictureRef& picture) { return picture->Image().pixel(picture->Width() / 2, picture->Height() / 2); }

// ---- Geometry ----

struct Geometry {
    int width, height;
    int margin, margin2X, margin2Y, offsetY;
    int cellWidth, cellHeight;
    QPoint cornerBottomLeft, cornerTopRight;
};

void PrintTo(const Geometry& g, std::ostream* os) { *os << g.width << " x " << g.height; }

class BoardGeometry : public MainWindow, public ::testing::WithParamInterface<Geometry> {};

TEST_P(BoardGeometry, MarginsCellsCornersAndTokens) {
    const Geometry& g = GetParam();
    LaunchedGame game;
    WKestrova& w = game.Main();
    Resize(w, g.width, g.height);

    EXPECT_EQ(w.PFond->Width(), g.width);
    EXPECT_EQ(w.PFond->Height(), g.height);
    EXPECT_EQ(w.PFondPlateau->Width(), g.width);
    EXPECT_EQ(w.PRetraitFondX, g.margin);
    EXPECT_EQ(w.PDecalFondX, g.margin);
    EXPECT_EQ(w.PRetrait2xFondX, g.margin2X);
    EXPECT_EQ(w.PRetrait2xFondY, g.margin2Y);
    EXPECT_EQ(w.PDecalFondY, g.offsetY);
    EXPECT_EQ(w.PLarg, g.cellWidth);
    EXPECT_EQ(w.PHaut, g.cellHeight);
    EXPECT_DOUBLE_EQ(w.PLargFl, (g.width - g.margin2X) / 7.0);
    EXPECT_DOUBLE_EQ(w.PHautFl, (g.height - g.margin2Y) / 6.0);
    EXPECT_EQ(w.PPionBleu->Width(), g.cellWidth - 16);
    EXPECT_EQ(w.PPionRouge->Height(), g.cellHeight - 16);

    // Where a cell and its token really land: black frame, an opaque test token, one cell drawn.
    const PictureRef solid = NewPicture(w.PLarg - 16, w.PHaut - 16, 32);
    {
        Graphics s(*solid);
        s.ForeColor = Qt::magenta;
        s.FillRect(0, 0, solid->Width(), solid->Height());
    }
    w.PPionRouge = solid;
    for (auto [column, row, corner] : {std::tuple{0, 0, g.cornerBottomLeft}, std::tuple{6, 5, g.cornerTopRight}}) {
        SCOPED_TRACE(column);
        UneCase* cell = w.PPlateau.PCase(column, row);
        const bool red = cell->PRouge, blue = cell->PBleu;
        cell->PRouge = true;
        cell->PBleu = false;
        Graphics frame(*w.PFond);
        frame.ForeColor = Qt::black;
        frame.FillRect(0, 0, g.width, g.height);
        w.MDessinePionSurImage(column, row);
        const QImage& shown = w.PFond->Image();
        const QRect cellRect(corner, QSize(g.cellWidth, g.cellHeight));
        const QRect token(corner + QPoint(8, 8), QSize(g.cellWidth - 16, g.cellHeight - 16));
        EXPECT_EQ(QColor(shown.pixel(token.topLeft())), QColor(Qt::magenta));
        EXPECT_EQ(QColor(shown.pixel(token.bottomRight())), QColor(Qt::magenta));
        EXPECT_NE(QColor(shown.pixel(token.topLeft() - QPoint(1, 1))), QColor(Qt::magenta));
        EXPECT_NE(QColor(shown.pixel(token.bottomRight() + QPoint(1, 1))), QColor(Qt::magenta));
        // The cell's rectangle is restored from the scaled background; nothing beyond it is touched.
        EXPECT_EQ(shown.pixel(cellRect.topLeft()), w.PFondPlateau->Image().pixel(cellRect.topLeft()));
        EXPECT_EQ(shown.pixel(cellRect.bottomRight()), w.PFondPlateau->Image().pixel(cellRect.bottomRight()));
        EXPECT_EQ(QColor(shown.pixel(cellRect.topLeft() - QPoint(1, 1))), QColor(Qt::black));
        EXPECT_EQ(QColor(shown.pixel(cellRect.bottomRight() + QPoint(1, 1))), QColor(Qt::black));
        cell->PRouge = red;
        cell->PBleu = blue;
    }
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, BoardGeometry,
    ::testing::Values(Geometry{1500, 1300, 50, 100, 100, 50, 200, 200, {51, 1051}, {1251, 51}},
                      Geometry{750, 650, 25, 50, 50, 25, 100, 100, {26, 526}, {626, 26}},
                      // 22.4, 44.8 and 45.38 are converted each on its own, toward zero.
                      Geometry{672, 590, 22, 44, 45, 22, 89, 90, {23, 477}, {561, 23}}),
    [](const auto& info) { return std::to_string(info.param.width) + "x" + std::to_string(info.param.height); });

// ---- Clicks ----

TEST_F(MainWindow, ClickColumnsComeFromXAloneClampedToTheBoard) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MNNewPartie()); // blue opens: nothing on the board
    Choose(w, w.MnDuo());
    ASSERT_EQ(CountTokens(w.PPlateau).Total(), 0);

    struct Case {
        int x, y, column;
    };
    const int h = w.Height();
    const Case cases[] = {
        {0, h / 2, 0},                   // left margin
        {w.PRetraitFondX - 1, 1, 0},     // just left of the board, top
        {w.Width() - 1, h - 1, 6},       // right margin, bottom
        {ColumnX(w, 3), 0, 3},           // above the board
        {ColumnX(w, 3), h - 1, 3},       // below it
        {ColumnX(w, 5), h / 2, 5},
        {ColumnX(w, 1), 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        const UneCase* before = w.PPlateau.PCaseJouee;
        ClickAt(w, c.x, c.y);
        ASSERT_NE(w.PPlateau.PCaseJouee, before);
        EXPECT_EQ(w.PPlateau.PCaseJouee->PX, c.column);
    }
}

TEST_F(MainWindow, AClickWithin20TicksOfTheLastIsDropped) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MnDuo());
    const TokenCount start = CountTokens(w.PPlateau);

    const qint64 before = Ticks();
    ClickAt(w, ColumnX(w, 0), 10);
    const qint64 after = Ticks();
    ASSERT_EQ(CountTokens(w.PPlateau).Total(), start.Total() + 1);
    // Counted from the handling of the click.
    EXPECT_GE(w.PTicks, before + 20);
    EXPECT_LE(w.PTicks, after + 20);

    // As if the last click had been accepted 10 ticks ago.
    w.PTicks = std::int32_t(Ticks() + 10);
    const std::int32_t filter = w.PTicks;
    const bool redToPlay = w.TopAJouerRouge;
    QTest::mouseClick(w.Content(), Qt::LeftButton, Qt::NoModifier, QPoint(ColumnX(w, 1), 10));
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), start.Total() + 1);
    EXPECT_EQ(w.PTicks, filter) << "a dropped click leaves the filter as it was";
    EXPECT_EQ(w.TopAJouerRouge, redToPlay);
    EXPECT_EQ(game.desktop.beeps, 0) << "dropped without a sound";

    // 25 ticks after: played.
    w.PTicks = std::int32_t(Ticks() - 5);
    QTest::mouseClick(w.Content(), Qt::LeftButton, Qt::NoModifier, QPoint(ColumnX(w, 1), 10));
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), start.Total() + 2);
}

// ---- Turns ----

TEST_F(MainWindow, TheFirstGameOpensWithRedThenEachNewGameWithTheOtherSide) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    // Solo at launch: red opens, so the computer's token is already down and blue is to play.
    EXPECT_TRUE(w.PSolo);
    EXPECT_TRUE(w.TopDemarreRouge);
    TokenCount count = CountTokens(w.PPlateau);
    EXPECT_EQ(count.red, 1);
    EXPECT_EQ(count.blue, 0);
    EXPECT_TRUE(w.TopAJouerBleu);
    EXPECT_FALSE(w.TopAJouerRouge);
    EXPECT_FALSE(ExistingWindow<WQuiDoitJouer>() && ExistingWindow<WQuiDoitJouer>()->isVisible());

    Choose(w, w.MNNewPartie());
    EXPECT_FALSE(w.TopDemarreRouge);
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), 0) << "blue opens: the computer waits";
    EXPECT_TRUE(w.TopAJouerBleu);

    Choose(w, w.MNNewPartie());
    EXPECT_TRUE(w.TopDemarreRouge);
    EXPECT_EQ(CountTokens(w.PPlateau).red, 1);

    // In duo mode too, and nobody plays for red.
    Choose(w, w.MnDuo());
    Choose(w, w.MNNewPartie());
    EXPECT_FALSE(w.TopDemarreRouge);
    EXPECT_TRUE(w.TopAJouerBleu);
    Choose(w, w.MNNewPartie());
    EXPECT_TRUE(w.TopDemarreRouge);
    EXPECT_TRUE(w.TopAJouerRouge);
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), 0);
}

TEST_F(MainWindow, DuoClicksAlternateTheSidesAndTheStripFollows) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MnDuo());
    const int start = CountTokens(w.PPlateau).Total();
    bool blue = w.TopAJouerBleu;
    ASSERT_TRUE(blue);
    for (int i = 0; i < 6; ++i) {
        ClickAt(w, ColumnX(w, i % 2 == 0 ? 0 : 6), w.Height() / 2);
        ASSERT_TRUE(w.PPlateau.PCaseJouee);
        EXPECT_EQ(w.PPlateau.PCaseJouee->PBleu, blue) << i;
        EXPECT_EQ(CountTokens(w.PPlateau).Total(), start + i + 1) << "no computer move in duo";
        blue = !blue;
        EXPECT_EQ(w.TopAJouerBleu, blue);
        EXPECT_EQ(w.TopAJouerRouge, !blue);
        WQuiDoitJouer* strip = ExistingWindow<WQuiDoitJouer>();
        ASSERT_TRUE(strip);
        EXPECT_TRUE(strip->isVisible());
        EXPECT_EQ(strip->ChCouleur->Backdrop(), blue ? w.PCoulBleu : w.PCoulRouge);
    }
}

TEST_F(MainWindow, AFullColumnBeepsAndChangesNoTurn) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MNNewPartie()); // empty board, blue to play
    Choose(w, w.MnDuo());
    for (int i = 0; i < 6; ++i) ClickAt(w, ColumnX(w, 0), 5);
    ASSERT_TRUE(w.PPlateau.PCase(0, 5)->MSiOccup());
    const UneCase* last = w.PPlateau.PCaseJouee;
    const bool blue = w.TopAJouerBleu;

    ClickAt(w, ColumnX(w, 0), 5);
    EXPECT_EQ(game.desktop.beeps, 1);
    EXPECT_EQ(w.PPlateau.PCaseJouee, last);
    EXPECT_EQ(w.TopAJouerBleu, blue);
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), 6);

    // In solo mode the computer does not answer a refused move either.
    Choose(w, w.MnSolo());
    ASSERT_TRUE(w.TopAJouerBleu);
    ClickAt(w, ColumnX(w, 0), 5);
    EXPECT_EQ(game.desktop.beeps, 2);
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), 6);
    EXPECT_TRUE(w.TopAJouerBleu);
}

TEST_F(MainWindow, AWholeSoloGameByClicksWithTheComputerAnsweringInsideEachClick) {
    prefs.Write({{"NiveauDeJeu", "2"}});
    LaunchedGame game;
    WKestrova& w = game.Main();
    ASSERT_EQ(CountTokens(w.PPlateau).Total(), 1);
    int clicks = 0;
    while (!w.TopFinPartie && clicks < 30) {
        int column = 0;
        for (int c : {3, 2, 4, 1, 5, 0, 6})
            if (!w.PPlateau.PCase(c, 5)->MSiOccup()) {
                column = c;
                break;
            }
        const TokenCount before = CountTokens(w.PPlateau);
        ClickAt(w, ColumnX(w, column), (clicks * 37) % w.Height());
        ++clicks;
        const TokenCount after = CountTokens(w.PPlateau);
        EXPECT_EQ(after.blue, before.blue + 1) << clicks;
        if (!w.TopFinPartie) {
            // The computer's token is down before the click's handling ends.
            EXPECT_EQ(after.red, before.red + 1) << clicks;
            EXPECT_TRUE(w.PPlateau.PCaseJouee->PRouge);
            EXPECT_TRUE(w.TopAJouerBleu);
        }
    }
    ASSERT_TRUE(w.TopFinPartie);
    const bool won = w.PPlateau.PTopGagne;
    Window* dialog = won ? static_cast<Window*>(ExistingWindow<WGagnant>()) : ExistingWindow<WEgalite>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    if (won) {
        const PictureRef shown = ExistingWindow<WGagnant>()->ChGain->Backdrop();
        EXPECT_EQ(shown, w.PPlateau.PCaseJouee->PRouge ? w.PCoulRouge : w.PCoulBleu);
    }

    // A finished game takes no more tokens.
    const TokenCount end = CountTokens(w.PPlateau);
    for (int c = 0; c < 7; ++c)
        if (!w.PPlateau.PCase(c, 5)->MSiOccup()) {
            ClickAt(w, ColumnX(w, c), 5);
            break;
        }
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), end.Total());
}

// ---- The frame's pixels ----

TEST_F(MainWindow, EachSideIsDrawnWithTheCrossedPicturesOfTheTheme) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MnDuo());
    ClickAt(w, ColumnX(w, 0), 5); // a blue token beside the computer's red one
    const UneCase* redCell = nullptr;
    const UneCase* blueCell = w.PPlateau.PCaseJouee;
    for (int c = 0; c < 7; ++c)
        if (w.PPlateau.PCase(c, 0)->PRouge) redCell = w.PPlateau.PCase(c, 0);
    ASSERT_TRUE(redCell && blueCell && blueCell->PBleu);

    const std::tuple<int, PictureRef (*)(), PictureRef (*)()> themes[] = {
        {0, VlekBleu, VlekRouge}, {1, PokerBleu, PokerRouge}, {2, Poker2Bleu, Poker2Rouge}};
    for (auto [theme, bleu, rouge] : themes) {
        SCOPED_TRACE(theme);
        Choose(w, w.MNPion(theme));
        const QImage& frame = w.Frame().Image();
        const QRgb red = frame.pixel(TokenRect(w, redCell->PX, redCell->PY).center());
        const QRgb blue = frame.pixel(TokenRect(w, blueCell->PX, blueCell->PY).center());
        // The red side comes from the pictures named Bleu, the blue side from those named Rouge.
        EXPECT_LT(ColourDistance(red, Centre(bleu())), ColourDistance(red, Centre(rouge())));
        EXPECT_LT(ColourDistance(blue, Centre(rouge())), ColourDistance(blue, Centre(bleu())));
        EXPECT_GT(qRed(red), qBlue(red));
        EXPECT_GT(qBlue(blue), qRed(blue));
        // Through the mask: the token's corners show the background.
        const QRect token = TokenRect(w, redCell->PX, redCell->PY);
        EXPECT_LT(ColourDistance(frame.pixel(token.topLeft()), w.PFondPlateau->Image().pixel(token.topLeft())), 6);
    }
}

TEST_F(MainWindow, TheFrameIsTheBackgroundWhereverNoTokenLies) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    // The computer's first token fell through five cells, each drawn and then emptied again.
    const QImage& frame = w.Frame().Image();
    const QImage& background = w.PFondPlateau->Image();
    ASSERT_EQ(frame.size(), background.size());
    for (int c = 0; c < 7; ++c)
        for (int r = 0; r < 6; ++r) {
            if (w.PPlateau.PCase(c, r)->MSiOccup()) continue;
            EXPECT_EQ(Differences(frame, background, CellRect(w, c, r)), 0) << c << "," << r;
        }

    // Emptying the computer's cell and drawing it again shows exactly its background, and
    // leaves the rest of the frame as it was.
    UneCase* played = w.PPlateau.PCaseJouee;
    ASSERT_TRUE(played && played->PRouge);
    const QRect cell = CellRect(w, played->PX, played->PY);
    ASSERT_GT(Differences(frame, background, cell), 0);
    const QImage before = w.Frame().Image().copy();
    played->PRouge = false;
    w.MDessinePionSurPlateau(w.GetGraphics(), played->PX, played->PY);
    EXPECT_FALSE(w.PBlocage);
    const QImage after = w.Frame().Image();
    EXPECT_EQ(Differences(after, background, cell), 0);
    QImage outside = after.copy();
    QPainter(&outside).drawImage(cell.topLeft(), before.copy(cell));
    EXPECT_EQ(outside, before);
}

TEST_F(MainWindow, ASecondFullRedrawAtTheSameSizeMakesNoNewPicture) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    w.MDessin(w.GetGraphics());
    // Held here, so a new picture could not take the address of an old one.
    const PictureRef frame = w.PFond, background = w.PFondPlateau, blue = w.PPionBleu, red = w.PPionRouge;
    w.MDessin(w.GetGraphics());
    w.MDessinePlateau(w.GetGraphics());
    EXPECT_EQ(w.PFond, frame);
    EXPECT_EQ(w.PFondPlateau, background);
    EXPECT_EQ(w.PPionBleu, blue);
    EXPECT_EQ(w.PPionRouge, red);

    // One pixel wider: same cells (628 / 7 and 629 / 7 both give 89), so new frames, same tokens.
    Resize(w, 673, 590);
    EXPECT_NE(w.PFond, frame);
    EXPECT_NE(w.PFondPlateau, background);
    EXPECT_EQ(w.PFond->Width(), 673);
    EXPECT_EQ(w.PPionBleu, blue);
    // Larger cells: new tokens too.
    Resize(w, 750, 650);
    EXPECT_NE(w.PPionBleu, blue);
    EXPECT_NE(w.PPionRouge, red);
    EXPECT_EQ(w.PPionBleu->Width(), 84);

    // A theme or a background choice rebuilds what it changes, at once.
    const PictureRef tokens = w.PPionBleu, scaled = w.PFondPlateau;
    Choose(w, w.MNPion(0));
    EXPECT_NE(w.PPionBleu, tokens);
    EXPECT_EQ(w.PFondPlateau, scaled);
    Choose(w, w.MNFond(0));
    EXPECT_NE(w.PFondPlateau, scaled);
}

// ---- Settings ----

TEST_F(MainWindow, SettingsSurviveARestartButTheModeDoesNot) {
    {
        LaunchedGame game;
        WKestrova& w = game.Main();
        Choose(w, w.MNPion(1));
        Choose(w, w.MnMoyen());
        Choose(w, w.MNFond(2));
        Choose(w, w.MnAgrandProp());
        Choose(w, w.MnDuo());
        w.Close();
    }
    LaunchedGame game;
    WKestrova& w = game.Main();
    EXPECT_EQ(w.PTopChoixPion, 1);
    EXPECT_EQ(w.Rouge, PokerBleu());
    EXPECT_EQ(w.PPlateau.PNiveau, 1);
    EXPECT_EQ(w.PNoDeFond, 2);
    EXPECT_EQ(w.PFondCourant, FondSix());
    EXPECT_TRUE(w.PTopRetailProp);
    EXPECT_TRUE(w.PSolo);
    EXPECT_EQ(CountTokens(w.PPlateau).red, 1) << "solo again: the computer opened";
}

struct StoredNumbers {
    const char* theme;
    const char* strength;
    const char* background;
    int themeValue, strengthValue, backgroundValue;
    const char* themeSaved;
    const char* strengthSaved;
    const char* backgroundSaved;
};

class OutOfRange : public MainWindow, public ::testing::WithParamInterface<StoredNumbers> {};

TEST_P(OutOfRange, StoredNumbersAreUsedAsTheyComeAndWrittenBack) {
    const StoredNumbers& s = GetParam();
    prefs.Write({{"NoDePion", s.theme}, {"NiveauDeJeu", s.strength}, {"NoDeFond", s.background}});
    {
        LaunchedGame game;
        WKestrova& w = game.Main();
        EXPECT_EQ(w.PTopChoixPion, s.themeValue);
        EXPECT_EQ(w.PPlateau.PNiveau, s.strengthValue);
        EXPECT_EQ(w.PNoDeFond, s.backgroundValue);
        const bool themeInRange = s.themeValue >= 0 && s.themeValue <= 2;
        const bool backgroundInRange = s.backgroundValue >= 0 && s.backgroundValue <= 3;
        if (s.themeValue != 0 && s.themeValue != 1) {
            // Any theme but 0 and 1 shows the third.
            EXPECT_EQ(w.Rouge, Poker2Bleu());
            EXPECT_EQ(w.Bleu, Poker2Rouge());
        }
        if (!backgroundInRange) {
            // No background: a plain board colour, and the game goes on.
            EXPECT_FALSE(w.PFondCourant);
            const QImage& plain = w.PFondPlateau->Image();
            EXPECT_EQ(plain.pixel(0, 0), plain.pixel(plain.width() - 1, plain.height() - 1));
            EXPECT_EQ(plain.pixel(0, 0), plain.pixel(plain.width() / 2, 3));
        }
        ASSERT_EQ(CountTokens(w.PPlateau).red, 1);
        ClickAt(w, ColumnX(w, 0), 5);
        EXPECT_EQ(CountTokens(w.PPlateau).Total(), 3) << "the computer still answers";

        Front(w);
        MenuBar1Instance().PrepareMenus();
        for (int k = 0; k < 3; ++k) EXPECT_EQ(w.MNPion(k)->Checked(), themeInRange && k == s.themeValue) << k;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(w.MNFond(i)->Checked(), backgroundInRange && i == s.backgroundValue) << i;
        EXPECT_EQ(w.MnFort()->Checked(), s.strengthValue == 0);
        EXPECT_EQ(w.MnMoyen()->Checked(), s.strengthValue == 1);
        EXPECT_EQ(w.MnFaible()->Checked(), s.strengthValue == 2);
        w.Close();
    }
    const QMap<QString, QString> saved = prefs.Read();
    EXPECT_EQ(saved.value(QStringLiteral("NoDePion")), QString::fromUtf8(s.themeSaved));
    EXPECT_EQ(saved.value(QStringLiteral("NiveauDeJeu")), QString::fromUtf8(s.strengthSaved));
    EXPECT_EQ(saved.value(QStringLiteral("NoDeFond")), QString::fromUtf8(s.backgroundSaved));
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, OutOfRange,
    ::testing::Values(StoredNumbers{"7", "-1", "99", 7, -1, 99, "7", "-1", "99"},
                      // Out of the integers' range: the conversion saturates.
                      StoredNumbers{"1e300", "1e300", "-1e300", INT_MAX, INT_MAX, INT_MIN, "2147483647",
                                    "2147483647", "-2147483648"},
                      // Fractions are dropped toward zero.
                      StoredNumbers{"1.9", "-0.5", "2.99", 1, 0, 2, "1", "0", "2"}),
    [](const auto& info) {
        return std::string(info.index == 0 ? "Integers" : info.index == 1 ? "Huge" : "Fractions");
    });

// ---- Menu check marks ----

TEST_F(MainWindow, TheCheckMarksFollowEveryChoice) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    auto marks = [&] {
        Front(w);
        MenuBar1Instance().PrepareMenus();
    };
    auto checkedLevels = [&] {
        return QString("%1%2%3").arg(int(w.MnFort()->Checked())).arg(int(w.MnMoyen()->Checked())).arg(int(w.MnFaible()->Checked()));
    };
    marks();
    EXPECT_EQ(checkedLevels(), QStringLiteral("100"));
    EXPECT_TRUE(w.MnSolo()->Checked());
    EXPECT_FALSE(w.MnDuo()->Checked());
    EXPECT_FALSE(w.MnJournal()->Checked());
    EXPECT_FALSE(w.MnAgrandProp()->Checked());

    const std::pair<MenuItem*, QString> levels[] = {
        {w.MnFaible(), "001"}, {w.MnMoyen(), "010"}, {w.MnFort(), "100"}};
    for (const auto& [item, want] : levels) {
        Choose(w, item);
        marks();
        EXPECT_EQ(checkedLevels(), want);
    }
    EXPECT_EQ(w.PPlateau.PNiveau, 0);

    Choose(w, w.MnDuo());
    marks();
    EXPECT_TRUE(w.MnDuo()->Checked());
    EXPECT_FALSE(w.MnSolo()->Checked());
    Choose(w, w.MnSolo());
    marks();
    EXPECT_TRUE(w.MnSolo()->Checked());
    EXPECT_FALSE(w.MnDuo()->Checked());

    for (int k : {1, 2, 0}) {
        Choose(w, w.MNPion(k));
        marks();
        for (int j = 0; j < 3; ++j) EXPECT_EQ(w.MNPion(j)->Checked(), j == k) << k << j;
    }
    for (int i : {3, 1, 2, 0}) {
        Choose(w, w.MNFond(i));
        marks();
        for (int j = 0; j < 4; ++j) EXPECT_EQ(w.MNFond(j)->Checked(), j == i) << i << j;
    }

    // Proportional resizing: the width follows the height, 590 × 15 / 13 = 680.77 → 680.
    ASSERT_EQ(w.Width(), 672);
    Choose(w, w.MnAgrandProp());
    marks();
    EXPECT_TRUE(w.MnAgrandProp()->Checked());
    EXPECT_EQ(w.Width(), 680);
    EXPECT_EQ(w.Height(), 590);
    Choose(w, w.MnAgrandProp());
    marks();
    EXPECT_FALSE(w.MnAgrandProp()->Checked());
    EXPECT_EQ(w.Width(), 680) << "turning it off leaves the size";

    Choose(w, w.MnJournal());
    marks();
    EXPECT_TRUE(w.MnJournal()->Checked());
    ASSERT_TRUE(ExistingWindow<WJournal>());
    EXPECT_TRUE(ExistingWindow<WJournal>()->isVisible());
    Choose(w, w.MnJournal());
    marks();
    EXPECT_FALSE(w.MnJournal()->Checked());
    EXPECT_FALSE(ExistingWindow<WJournal>()->isVisible());
}

TEST_F(MainWindow, AShortcutFindsTheMenusPreparedBeforeItActs) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    // Changed without showing the menus: the marks are stale until the next preparation.
    w._MnDuo_Action();
    ASSERT_FALSE(w.MnDuo()->Checked());
    Front(w);
    // "Journal" is built disabled; only the window's preparation enables it, before the key acts.
    QTest::keyClick(&w, Qt::Key_J, Qt::ControlModifier);
    EXPECT_TRUE(w.MnDuo()->Checked());
    EXPECT_TRUE(w.PJournal);
    Front(w);
    QTest::keyClick(&w, Qt::Key_1, Qt::ControlModifier);
    EXPECT_TRUE(w.PSolo);
}

TEST_F(MainWindow, ProportionalResizingKeepsFifteenToThirteen) {
    prefs.Write({{"RetailProp", "Oui"}});
    LaunchedGame game;
    WKestrova& w = game.Main();
    w.SetSize(500, 338);
    EXPECT_EQ(w.Width(), 390);
    EXPECT_EQ(w.Height(), 338);
    w.SetSize(700, 650);
    EXPECT_EQ(w.Width(), 750);
}

} // namespace
