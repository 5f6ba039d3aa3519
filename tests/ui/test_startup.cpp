// Start-up and shut-down of the game: the picture items, the menu tree and its icons, the launch
// and quit order with the preferences file, and the single-instance window accessors.
#include "UiTestSupport.h"

#include "App.h"
#include "PictureIds.h"
#include "PictureItems.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

namespace {

class Startup : public UiTest {};

// Sizes and pixels of each id are the picture tests' own.
TEST(PictureItems, EachIdLoadsOnceAndReloadsAfterARelease) {
    PictureRef (*const items[])() = {FondQuatre4b, PokerRougeFond, PokerBleu, PokerBleuFond,   FondCinq,
                                     PokerRouge,   VlekRougeFond,  VlekRouge, VlekBleuFond,    VlekBleu,
                                     Hamster,      FondSix,        FondSept,  Poker2RougeFond, Poker2Bleu,
                                     Poker2Rouge,  Poker2BleuFond};
    for (auto item : items) {
        ASSERT_TRUE(item());
        EXPECT_EQ(item(), item()) << "one shared picture";
    }
    for (int missing : {kFirstPictureId - 1, kLastPictureId + 1, -1})
        EXPECT_EQ(GetPictureResource(missing), nullptr) << missing;
    const PictureRef before = VlekRouge();
    ReleasePictureItems();
    ReleasePictureItems(); // releasing what is not loaded does nothing
    ASSERT_TRUE(VlekRouge());
    EXPECT_NE(VlekRouge(), before);
}

TEST_F(Startup, TheMenusReadAsAPlayerSeesThemAndGetTheirIcons) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    EXPECT_EQ(AppInstance().GetMenuBar(), &MenuBar1Instance());
    EXPECT_EQ(w.GetMenuBar(), &MenuBar1Instance());

    // The menus as a player opens them: each title, then its items as shown, text, a tab and the
    // keys; "-" a separator. Preparing them also gives the themes and backgrounds their icons.
    MenuBar1Instance().PrepareMenus();
    const QStringList want = {
        "Fichier: Nouvelle Partie\tCtrl+N | A propos de Kestrova... | Recherche mise à jour... | - | "
        "Mode Solo\tCtrl+1 | Mode Duo\tCtrl+2 | - | Agrandissement proportionnel | - | Journal\tCtrl+J | - | "
        "Quitter\tCtrl+Q",
        "Niveaux: Faible | Moyen | Fort", "Pions: Brassenay 4 | Poker 1 | Poker 2",
        "Fonds: Bois 1 | Bois 2 | Métal | Fusion"};
    QStringList shown;
    for (const QAction* title : w.menuBar()->actions()) {
        QStringList items;
        for (const QAction* item : title->menu()->actions()) {
            const QString keys = item->shortcut().toString(QKeySequence::PortableText);
            items << (item->isSeparator() ? QStringLiteral("-")
                      : keys.isEmpty()    ? item->text()
                                          : item->text() + '\t' + keys);
        }
        shown << title->text() + QStringLiteral(": ") + items.join(QStringLiteral(" | "));
    }
    EXPECT_EQ(shown, want);
    const PictureRef icons[] = {AppInstance().MenuVlek, AppInstance().MenuPoker, AppInstance().MenuPoker2};
    for (int k = 0; k < 3; ++k) EXPECT_EQ(w.MNPion(k)->Icon(), icons[k]);
    EXPECT_TRUE(w.MnJournal()->Enabled());
}

// How far an icon is from a picture drawn over white, as a new picture is: 0 to 255 a channel.
double Distance(const QImage& icon, const QImage& picture) {
    QImage want(picture.size(), QImage::Format_ARGB32);
    want.fill(Qt::white);
    QPainter(&want).drawImage(0, 0, picture);
    const QImage shown = icon.convertToFormat(QImage::Format_ARGB32);
    if (shown.size() != want.size()) return 1e9;
    double sum = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) sum += ColourDistance(shown.pixel(x, y), want.pixel(x, y));
    return sum / (3.0 * want.width() * want.height());
}

TEST_F(Startup, TheThemeIconsAreTheWholeTokenPicturesAt100EvenWhenThePreferencesCannotBeRead) {
    // A folder where the file should be: nothing can be read, the icons come anyway.
    ASSERT_TRUE(QDir().mkpath(prefs.Path()));
    LaunchedGame game;
    EXPECT_EQ(game.Main().PTopChoixPion, 0);
    const App& app = AppInstance();
    for (const auto& [icon, source] : {std::pair{app.MenuVlek, VlekRouge()},
                                       {app.MenuPoker, PokerRouge()},
                                       {app.MenuPoker2, Poker2Rouge()}}) {
        ASSERT_TRUE(icon && source);
        EXPECT_EQ(icon->Image().size(), QSize(100, 100));
        // The whole source stretched, not its top-left 100 × 100.
        EXPECT_LT(Distance(icon->Image(),
                           source->Image().scaled(100, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
                  6.0);
        EXPECT_GT(Distance(icon->Image(), source->Image().copy(0, 0, 100, 100)), 20.0);
    }
}

enum class QuitBy { CloseBox, QuitItem, QuitShortcut };
const char* const kQuitNames[] = {"CloseBox", "QuitItem", "QuitShortcut"};

class LaunchAndQuit : public Startup, public ::testing::WithParamInterface<QuitBy> {};

TEST_P(LaunchAndQuit, TheWindowReadsWhatOpenLoadedAndTheFileIsWrittenAfterItCloses) {
    prefs.Write({{"NoDePion", "1"},
                 {"NiveauDeJeu", "2"},
                 {"NoDeFond", "3"},
                 {"RetailProp", "Oui"},
                 {"Autre", "garde"}});
    LaunchedGame game;
    WKestrova& w = game.Main();
    EXPECT_EQ(w.PTopChoixPion, 1);
    EXPECT_EQ(w.PPlateau.PNiveau, 2);
    EXPECT_EQ(w.PNoDeFond, 3);
    EXPECT_TRUE(w.PTopRetailProp);
    EXPECT_EQ(w.Title(), QStringLiteral(KESTROVA_TEST_LONG_VERSION));
    // Open does not touch the size, even with proportional resizing on.
    EXPECT_EQ(QSize(w.Width(), w.Height()), QSize(672, 590));

    w._MNPion_Action(2);
    w._MnMoyen_Action();
    w._MNFond_Action(0);
    w._MnAgrandProp_Action();
    w._MnDuo_Action();
    QPointer<WKestrova> main(&w);
    switch (GetParam()) {
    case QuitBy::CloseBox:
        w.Close();
        break;
    case QuitBy::QuitItem:
        w.FileQuit()->Action()->trigger();
        break;
    case QuitBy::QuitShortcut:
        Front(w);
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        break;
    }
    // The window closed and asked to quit; the file is written only by the application's Close.
    ASSERT_FALSE(game.desktop.quits.empty());
    EXPECT_EQ(game.desktop.quits.front(), 0);
    EXPECT_TRUE(!main || main->IsClosing());
    EXPECT_EQ(prefs.Read().value(QStringLiteral("NoDePion")), QStringLiteral("1"));

    game.Terminate();
    const QMap<QString, QString> want = {{"NoDePion", "2"},
                                         {"NiveauDeJeu", "1"},
                                         {"NoDeFond", "0"},
                                         {"RetailProp", "Non"},
                                         {"Autre", "garde"}}; // the mode is never saved
    EXPECT_EQ(prefs.Read(), want);
    EXPECT_TRUE(main.isNull());
    EXPECT_EQ(Application::Current(), nullptr);
    for (QWidget* top : QApplication::topLevelWidgets()) EXPECT_FALSE(qobject_cast<Window*>(top));
}

INSTANTIATE_TEST_SUITE_P(Startup, LaunchAndQuit,
                         ::testing::Values(QuitBy::CloseBox, QuitBy::QuitItem, QuitBy::QuitShortcut),
                         [](const auto& test) { return std::string(kQuitNames[int(test.param)]); });

} // namespace
