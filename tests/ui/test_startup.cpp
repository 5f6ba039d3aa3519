// Start-up and shut-down of the game: the picture items, the menu tree and its icons, the launch
// and quit order with the preferences file, and the single-instance window accessors.
#include "UiTestSupport.h"

#include "App.h"
#include "PictureItems.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

class Startup : public UiTest {};

// The pixels of each id through its accessor are the picture tests' part: here, the ids outside the
// range and the release at tear-down.
TEST(PictureItems, NoPictureOutsideTheIdsAndANewOneAfterARelease) {
    for (int missing : {167, 185, -1}) EXPECT_EQ(GetPictureResource(missing), nullptr) << missing;
    const PictureRef before = VlekRouge();
    ReleasePictureItems();
    ReleasePictureItems(); // releasing what is not loaded does nothing
    EXPECT_TRUE(VlekRouge() && VlekRouge() != before);
}

TEST_F(Startup, TheMenusReadAsAPlayerSeesThemAndGetTheirIcons) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    EXPECT_EQ(AppInstance().GetMenuBar(), &MenuBar1Instance());
    EXPECT_EQ(w.GetMenuBar(), &MenuBar1Instance());

    // The menus as a player opens them: each title, then its items as shown, text, a tab and the
    // keys; "---" a separator line. Preparing them also gives the themes and backgrounds their icons.
    MenuBar1Instance().PrepareMenus();
    QStringList want = {
        "Fichier: Nouvelle Partie\tCtrl+N | A propos de Kestrova... | Recherche mise à jour... | --- | "
        "Mode Solo\tCtrl+1 | Mode Duo\tCtrl+2 | --- | Agrandissement proportionnel | --- | Journal\tCtrl+J | "
        "--- | "
        "Quitter\tCtrl+Q",
        "Niveaux: Faible | Moyen | Fort", "Pions: Brassenay 4 | Poker 1 | Poker 2",
        "Fonds: Bois 1 | Bois 2 | Métal | Fusion"};
    const auto shown = [&] { // a disabled item in brackets
        QStringList menus;
        for (const QAction* title : w.menuBar()->actions()) {
            QStringList items;
            for (const QAction* item : title->menu()->actions()) {
                const QString keys = item->shortcut().toString(QKeySequence::PortableText);
                items << (item->isSeparator() ? QStringLiteral("---")
                          : keys.isEmpty()    ? item->text()
                                              : item->text() + '\t' + keys);
                if (!item->isEnabled()) items.last() = '(' + items.last() + ')';
            }
            menus << title->text() + QStringLiteral(": ") + items.join(QStringLiteral(" | "));
        }
        return menus;
    };
    EXPECT_EQ(shown(), want);
    const PictureRef icons[] = {AppInstance().MenuVlek, AppInstance().MenuPoker, AppInstance().MenuPoker2};
    for (int k = 0; k < 3; ++k) EXPECT_EQ(w.MNPion(k)->Icon(), icons[k]);
    // With no window in front to prepare them, the log item, built without auto-enable, is off.
    MenuBar1Instance().FrontHandler = nullptr;
    MenuBar1Instance().PrepareMenus();
    want[0].replace("Journal\tCtrl+J", "(Journal\tCtrl+J)");
    EXPECT_EQ(shown(), want);
}

TEST_F(Startup, TheThemeIconsAreTheWholeTokenPicturesAt100EvenWhenThePreferencesCannotBeRead) {
    // A folder where the file should be: nothing can be read, the icons come anyway.
    ASSERT_TRUE(QDir().mkpath(prefs.Path()));
    LaunchedGame game;
    EXPECT_EQ(game.Main().PTopChoixPion, 0);
    const App& app = AppInstance();
    // The whole token picture of the blue side stretched, not its top-left 100 × 100.
    for (const auto& [icon, id] :
         {std::pair{app.MenuVlek, 175}, {app.MenuPoker, 173}, {app.MenuPoker2, 183}}) {
        ASSERT_TRUE(icon);
        EXPECT_TRUE(icon->Image() == Scaled(Png(id), QRect(QPoint(), Png(id).size()), QSize(100, 100))) << id;
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
    if (GetParam() == QuitBy::CloseBox) w.Close();
    if (GetParam() == QuitBy::QuitItem) w.FileQuit()->Action()->trigger();
    if (GetParam() == QuitBy::QuitShortcut) {
        Front(w);
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
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
