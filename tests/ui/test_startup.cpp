// Start-up and shut-down of the game: the picture items, the menu tree, the theme icons, the
// launch and quit order with the preferences file, and the single-instance window accessors.
#include "UiTestSupport.h"

#include "App.h"
#include "MenuBar1.h"
#include "PictureItems.h"
#include "WEgalite.h"
#include "WJournal.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <cmath>

namespace {

struct PictureItem {
    int id;
    PictureRef (*accessor)();
    const char* name;
};

const PictureItem kPictureItems[] = {
    {168, FondQuatre4b, "FondQuatre4b"},   {169, PokerRougeFond, "PokerRougeFond"},
    {170, PokerBleu, "PokerBleu"},         {171, PokerBleuFond, "PokerBleuFond"},
    {172, FondCinq, "FondCinq"},           {173, PokerRouge, "PokerRouge"},
    {174, VlekRougeFond, "VlekRougeFond"}, {175, VlekRouge, "VlekRouge"},
    {176, VlekBleuFond, "VlekBleuFond"},   {177, VlekBleu, "VlekBleu"},
    {178, Hamster, "Hamster"},             {179, FondSix, "FondSix"},
    {180, FondSept, "FondSept"},           {181, Poker2RougeFond, "Poker2RougeFond"},
    {182, Poker2Bleu, "Poker2Bleu"},       {183, Poker2Rouge, "Poker2Rouge"},
    {184, Poker2BleuFond, "Poker2BleuFond"},
};

TEST(PictureItems, EveryIdLoadsOnceAtTheSizeTheDrawingNeeds) {
    for (const PictureItem& item : kPictureItems) {
        const PictureRef first = item.accessor();
        ASSERT_TRUE(first) << item.name;
        EXPECT_EQ(first, item.accessor()) << item.name << ": one shared picture";
        EXPECT_NE(GetPictureResource(item.id), nullptr) << item.name;
    }
    // The board scales the area (0, 0, 1500, 1300) of a background, the menu its top-left 350 × 350.
    for (auto background : {FondQuatre4b, FondCinq, FondSix, FondSept}) {
        EXPECT_GE(background()->Width(), 1500);
        EXPECT_GE(background()->Height(), 1300);
    }
    // Each token and its mask are scaled together, so they must cover the same area.
    const std::pair<PictureRef (*)(), PictureRef (*)()> tokens[] = {
        {VlekBleu, VlekBleuFond},   {VlekRouge, VlekRougeFond},   {PokerBleu, PokerBleuFond},
        {PokerRouge, PokerRougeFond}, {Poker2Bleu, Poker2BleuFond}, {Poker2Rouge, Poker2RougeFond}};
    for (auto [token, mask] : tokens) {
        EXPECT_EQ(token()->Width(), mask()->Width());
        EXPECT_EQ(token()->Height(), mask()->Height());
    }
    EXPECT_GE(Hamster()->Width(), 27);
    EXPECT_GE(Hamster()->Height(), 38);

    for (int missing : {0, 167, 185, -1}) EXPECT_EQ(GetPictureResource(missing), nullptr) << missing;
}

TEST(PictureItems, ATokenDrawnThroughItsMaskLeavesTheCornersTransparent) {
    // A mask picture drawn into a token's mask is what the board does with every theme.
    for (auto [token, mask] : {std::pair{&VlekBleu, &VlekBleuFond}, std::pair{&PokerRouge, &PokerRougeFond},
                               std::pair{&Poker2Bleu, &Poker2BleuFond}}) {
        const PictureRef source = token();
        ASSERT_TRUE(source && mask());
        Picture masked(source->Width(), source->Height());
        Graphics(masked).DrawPicture(*source, 0, 0);
        Graphics(masked.Mask()).DrawPicture(*mask(), 0, 0);
        const QImage& shown = masked.Composed();
        const int last = shown.width() - 1;
        for (QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            EXPECT_EQ(qAlpha(shown.pixel(corner)), 0);
        EXPECT_EQ(qAlpha(shown.pixel(last / 2, last / 2)), 255);
    }
}

TEST(PictureItems, ReleasingThemLoadsThemAgainNextTime) {
    const PictureRef before = VlekRouge();
    ASSERT_TRUE(before);
    ReleasePictureItems();
    ReleasePictureItems(); // releasing what is not loaded does nothing
    const PictureRef after = VlekRouge();
    ASSERT_TRUE(after);
    EXPECT_NE(before, after);
}

// ---- Menu tree ----

struct MenuRow {
    const char* menu;
    const char* name;
    MenuItem::Kind kind;
    const char* text;
    const char* shortcut; // nullptr: separator, no shortcut at all
    int index;
    bool autoEnable;
    QKeySequence keys;
};

constexpr auto Plain = MenuItem::Kind::Plain;
constexpr auto Apple = MenuItem::Kind::AppleMenuItem;
constexpr auto QuitKind = MenuItem::Kind::QuitMenuItem;

const std::vector<MenuRow>& MenuTable() {
    static const std::vector<MenuRow> rows = {
        {"FileMenu", "MNNewPartie", Plain, "Nouvelle Partie", "Cmd+n", -1, true, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"FileMenu", "MnAPropos", Apple, "A propos de Kestrova...", "", -1, true, {}},
        {"FileMenu", "MnVersion", Apple, "Recherche mise à jour...", "", -1, true, {}},
        {"FileMenu", "UntitledSeparator0", Plain, "-", nullptr, -1, true, {}},
        {"FileMenu", "MnSolo", Plain, "Mode Solo", "Cmd+1", -1, true, QKeySequence(Qt::CTRL | Qt::Key_1)},
        {"FileMenu", "MnDuo", Plain, "Mode Duo", "Cmd+2", -1, true, QKeySequence(Qt::CTRL | Qt::Key_2)},
        {"FileMenu", "UntitledSeparator1", Plain, "-", nullptr, -1, true, {}},
        {"FileMenu", "MnAgrandProp", Plain, "Agrandissement proportionnel", "", -1, true, {}},
        {"FileMenu", "UntitledSeparator2", Plain, "-", nullptr, -1, true, {}},
        {"FileMenu", "MnJournal", Plain, "Journal", "Cmd+j", -1, false, QKeySequence(Qt::CTRL | Qt::Key_J)},
        {"FileMenu", "UntitledSeparator", Plain, "-", nullptr, -1, true, {}},
        {"FileMenu", "FileQuit", QuitKind, "Quitter", "Cmd+Q", -1, true, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"MNNiveau", "MnFaible", Plain, "Faible", "", -1, true, {}},
        {"MNNiveau", "MnMoyen", Plain, "Moyen", "", -1, true, {}},
        {"MNNiveau", "MnFort", Plain, "Fort", "", -1, true, {}},
        {"MNPionBase", "MNPion", Plain, "", "", 0, true, {}},
        {"MNPionBase", "MNPion", Plain, "", "", 1, true, {}},
        {"MNPionBase", "MNPion", Plain, "", "", 2, true, {}},
        {"MNFondBase", "MNFond", Plain, "", "", 0, true, {}},
        {"MNFondBase", "MNFond", Plain, "", "", 1, true, {}},
        {"MNFondBase", "MNFond", Plain, "", "", 2, true, {}},
        {"MNFondBase", "MNFond", Plain, "", "", 3, true, {}},
    };
    return rows;
}

class Startup : public ::testing::Test {
protected:
    TestPreferences prefs;
};

TEST_F(Startup, TheMenuTreeMatchesTheTableItemByItem) {
    LaunchedGame game;
    MenuBar& bar = MenuBar1Instance();
    EXPECT_EQ(&bar, &MenuBar1Instance());
    // One bar for the application and the main window.
    EXPECT_EQ(AppInstance().GetMenuBar(), &bar);
    EXPECT_EQ(game.Main().GetMenuBar(), &bar);

    const std::pair<const char*, const char*> menus[] = {
        {"FileMenu", "Fichier"}, {"MNNiveau", "Niveaux"}, {"MNPionBase", "Pions"}, {"MNFondBase", "Fonds"}};
    ASSERT_EQ(bar.Children().size(), std::size(menus));
    QList<QAction*> shownMenus = game.Main().menuBar()->actions();
    ASSERT_EQ(shownMenus.size(), qsizetype(std::size(menus)));

    std::size_t row = 0;
    for (std::size_t m = 0; m < std::size(menus); ++m) {
        const MenuItem& menu = *bar.Children()[m];
        SCOPED_TRACE(menus[m].first);
        EXPECT_EQ(menu.Name, QString::fromUtf8(menus[m].first));
        EXPECT_EQ(menu.Text(), QString::fromUtf8(menus[m].second));
        EXPECT_TRUE(menu.AutoEnable);
        EXPECT_EQ(menu.Shortcut(), QString());
        EXPECT_EQ(shownMenus[qsizetype(m)]->text(), QString::fromUtf8(menus[m].second));

        const QList<QAction*> shownItems = shownMenus[qsizetype(m)]->menu()->actions();
        ASSERT_EQ(shownItems.size(), qsizetype(menu.Children().size()));
        for (std::size_t i = 0; i < menu.Children().size(); ++i, ++row) {
            ASSERT_LT(row, MenuTable().size());
            const MenuRow& want = MenuTable()[row];
            const MenuItem& item = *menu.Children()[i];
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(QString::fromUtf8(want.name)).arg(want.index).toStdString());
            EXPECT_STREQ(want.menu, menus[m].first);
            EXPECT_EQ(item.Name, QString::fromUtf8(want.name));
            EXPECT_EQ(item.ItemKind(), want.kind);
            EXPECT_EQ(item.Text(), QString::fromUtf8(want.text));
            EXPECT_EQ(item.Index, want.index);
            EXPECT_EQ(item.AutoEnable, want.autoEnable);
            EXPECT_EQ(item.Shortcut(), QString::fromUtf8(want.shortcut ? want.shortcut : ""));
            EXPECT_EQ(item.Action()->shortcut(), want.keys);
            EXPECT_EQ(item.Action()->isSeparator(), QString::fromUtf8(want.text) == QStringLiteral("-"));
            EXPECT_EQ(item.Action(), shownItems[qsizetype(i)]) << "shown in the order built";
            // Nothing filled the theme and background items yet.
            if (want.index >= 0) {
                EXPECT_FALSE(item.Icon());
            }
            // Found by name (and index) wherever it stands.
            EXPECT_EQ(bar.Find(item.Name, item.Index), &item);
        }
    }
    EXPECT_EQ(row, MenuTable().size());

    // The platform roles; on Linux the items stay in "Fichier" where they are built.
    EXPECT_EQ(bar.Find(QStringLiteral("FileQuit"))->Action()->menuRole(), QAction::QuitRole);
    EXPECT_EQ(bar.Find(QStringLiteral("MnAPropos"))->Action()->menuRole(), QAction::ApplicationSpecificRole);
    EXPECT_EQ(bar.Find(QStringLiteral("MnVersion"))->Action()->menuRole(), QAction::ApplicationSpecificRole);

    // The window's accessors return the same items, each as its kind.
    WKestrova& w = game.Main();
    EXPECT_EQ(w.MNNewPartie(), bar.Find(QStringLiteral("MNNewPartie")));
    EXPECT_EQ(w.FileQuit()->ItemKind(), QuitKind);
    EXPECT_EQ(w.MnAPropos()->ItemKind(), Apple);
    EXPECT_EQ(w.MnVersion()->ItemKind(), Apple);
    EXPECT_EQ(w.UntitledSeparator()->Text(), QStringLiteral("-"));
    EXPECT_EQ(w.MNNiveau()->Text(), QStringLiteral("Niveaux"));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(w.MNPion(i)->Index, i);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(w.MNFond(i)->Index, i);
    EXPECT_EQ(w.MNPion(3), nullptr);
    EXPECT_EQ(w.MNFond(4), nullptr);
}

TEST_F(Startup, PreparingTheMenusFillsThemAndEnablesTheLog) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    MenuBar1Instance().PrepareMenus();
    const char* themes[] = {"Brassenay 4", "Poker 1", "Poker 2"};
    const PictureRef icons[] = {AppInstance().MenuVlek, AppInstance().MenuPoker, AppInstance().MenuPoker2};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(w.MNPion(k)->Text(), QString::fromUtf8(themes[k]));
        EXPECT_EQ(w.MNPion(k)->Icon(), icons[k]);
        EXPECT_FALSE(w.MNPion(k)->Action()->icon().isNull());
    }
    const char* backgrounds[] = {"Bois 1", "Bois 2", "Métal", "Fusion"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(w.MNFond(i)->Text(), QString::fromUtf8(backgrounds[i]));
        EXPECT_EQ(w.MNFond(i)->Icon(), w.PFondDemo[std::size_t(i)]);
    }
    // Built without auto-enable: enabled only by the window's preparation.
    EXPECT_TRUE(w.MnJournal()->Enabled());
    EXPECT_TRUE(w.MNNewPartie()->Enabled());
}

// ---- Theme icons ----

double MeanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    if (x.size() != y.size()) return 1e9;
    double sum = 0;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

// A new picture is white: what a transparent source leaves shows white.
QImage OverWhite(const QImage& image) {
    QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::white);
    QPainter(&out).drawImage(0, 0, image);
    return out;
}

TEST_F(Startup, TheThemeIconsAreTheWholeTokenPicturesAt100) {
    LaunchedGame game;
    const App& app = AppInstance();
    const std::pair<PictureRef, PictureRef> icons[] = {
        {app.MenuVlek, VlekRouge()}, {app.MenuPoker, PokerRouge()}, {app.MenuPoker2, Poker2Rouge()}};
    for (const auto& [icon, source] : icons) {
        ASSERT_TRUE(icon && source);
        EXPECT_EQ(icon->Width(), 100);
        EXPECT_EQ(icon->Height(), 100);
        // The whole source stretched, not its top-left 100 × 100.
        const QImage whole = OverWhite(source->Image().scaled(100, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        const QImage cropped = OverWhite(source->Image().copy(0, 0, 100, 100));
        EXPECT_LT(MeanDifference(icon->Image(), whole), 6.0);
        EXPECT_GT(MeanDifference(icon->Image(), cropped), 20.0);
    }
}

TEST(ThemeIcon, ANonSquareSourceIsStretchedNotCropped) {
    // Left half red, right half blue, 300 × 60: the icon's drawing call takes the whole source.
    Picture source(300, 60);
    {
        Graphics g(source);
        g.ForeColor = Qt::red;
        g.FillRect(0, 0, 150, 60);
        g.ForeColor = Qt::blue;
        g.FillRect(150, 0, 150, 60);
    }
    const PictureRef icon = NewPicture(100, 100, 32);
    icon->GetGraphics().DrawPicture(source, 0, 0, 100, 100, 0, 0, source.Width(), source.Height());
    const QImage& shown = icon->Image();
    for (int y : {2, 50, 97}) {
        EXPECT_EQ(QColor(shown.pixel(20, y)), QColor(Qt::red)) << y;
        EXPECT_EQ(QColor(shown.pixel(80, y)), QColor(Qt::blue)) << y;
    }
}

TEST_F(Startup, IconsAreMadeEvenWhenThePreferencesCannotBeRead) {
    // A folder where the file should be: nothing can be read, the icons come anyway.
    ASSERT_TRUE(QDir().mkpath(prefs.Path()));
    LaunchedGame game;
    EXPECT_TRUE(AppInstance().MenuVlek);
    EXPECT_TRUE(AppInstance().MenuPoker);
    EXPECT_TRUE(AppInstance().MenuPoker2);
    EXPECT_EQ(game.Main().PTopChoixPion, 0);
}

// ---- Launch and quit order ----

TEST_F(Startup, LaunchOpensTheApplicationBeforeTheWindowAndOpensOneWindow) {
    prefs.Write({{"NoDePion", "1"}, {"NiveauDeJeu", "2"}, {"NoDeFond", "3"}, {"RetailProp", "Oui"}});
    LaunchedGame game;
    WKestrova& w = game.Main();
    // The window read what the application's Open had loaded.
    EXPECT_EQ(w.PTopChoixPion, 1);
    EXPECT_EQ(w.PPlateau.PNiveau, 2);
    EXPECT_EQ(w.PNoDeFond, 3);
    EXPECT_TRUE(w.PTopRetailProp);
    EXPECT_TRUE(w.PSolo);
    EXPECT_EQ(w.Title(), AppInstance().LongVersion());
    EXPECT_EQ(AppInstance().LongVersion(), QStringLiteral("Kestrova ") + AppInstance().ShortVersion());
    EXPECT_TRUE(w.isVisible());
    // Open does not touch the size, even with proportional resizing on.
    EXPECT_EQ(w.Width(), 672);
    EXPECT_EQ(w.Height(), 590);
    // The only window of the game that shows at launch (the who-plays strip is hidden in solo).
    int shown = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<Window*>(top) && top->isVisible()) ++shown;
    EXPECT_EQ(shown, 1);
}

enum class QuitBy { CloseBox, QuitItem, QuitShortcut };

class QuitOrder : public Startup, public ::testing::WithParamInterface<QuitBy> {};

TEST_P(QuitOrder, TheWindowSavesItsSettingsThenTheApplicationWritesTheFile) {
    prefs.Write({{"NoDePion", "1"}, {"NiveauDeJeu", "2"}, {"NoDeFond", "3"}, {"RetailProp", "Non"},
                 {"Autre", "garde"}});
    LaunchedGame game;
    WKestrova& w = game.Main();
    w._MNPion_Action(2);
    w._MnMoyen_Action();
    w._MNFond_Action(0);
    w._MnAgrandProp_Action();
    w._MnDuo_Action();

    QPointer<WKestrova> main(&w);
    switch (GetParam()) {
    case QuitBy::CloseBox: w.Close(); break;
    case QuitBy::QuitItem: w.FileQuit()->Action()->trigger(); break;
    case QuitBy::QuitShortcut:
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        break;
    }
    // The window closed and asked to quit; the file is written only by the application's Close.
    ASSERT_FALSE(game.desktop.quits.empty());
    EXPECT_EQ(game.desktop.quits.front(), 0);
    EXPECT_TRUE(!main || main->IsClosing());
    EXPECT_EQ(prefs.Read().value(QStringLiteral("NoDePion")), QStringLiteral("1"));

    game.Terminate();
    const QMap<QString, QString> saved = prefs.Read();
    EXPECT_EQ(saved.value(QStringLiteral("NoDePion")), QStringLiteral("2"));
    EXPECT_EQ(saved.value(QStringLiteral("NiveauDeJeu")), QStringLiteral("1"));
    EXPECT_EQ(saved.value(QStringLiteral("NoDeFond")), QStringLiteral("0"));
    EXPECT_EQ(saved.value(QStringLiteral("RetailProp")), QStringLiteral("Oui"));
    EXPECT_EQ(saved.value(QStringLiteral("Autre")), QStringLiteral("garde"));
    EXPECT_FALSE(saved.contains(QStringLiteral("PSolo"))) << "the mode is never saved";
    EXPECT_TRUE(main.isNull());
}

INSTANTIATE_TEST_SUITE_P(Startup, QuitOrder, ::testing::Values(QuitBy::CloseBox, QuitBy::QuitItem, QuitBy::QuitShortcut),
                         [](const auto& info) {
                             switch (info.param) {
                             case QuitBy::CloseBox: return "CloseBox";
                             case QuitBy::QuitItem: return "QuitItem";
                             default: return "QuitShortcut";
                             }
                         });

TEST_F(Startup, AFirstLaunchWritesTheFourSettingsWithTheirDefaults) {
    ASSERT_FALSE(prefs.Exists());
    {
        LaunchedGame game;
        game.Main().Close();
    }
    const QMap<QString, QString> saved = prefs.Read();
    EXPECT_EQ(saved.value(QStringLiteral("NoDePion")), QStringLiteral("0"));
    EXPECT_EQ(saved.value(QStringLiteral("NiveauDeJeu")), QStringLiteral("0"));
    EXPECT_EQ(saved.value(QStringLiteral("NoDeFond")), QStringLiteral("0"));
    EXPECT_EQ(saved.value(QStringLiteral("RetailProp")), QStringLiteral("Non"));
}

TEST_F(Startup, TearDownLeavesNothingBehindAndALaunchCanFollow) {
    {
        LaunchedGame game;
        game.Main()._MNPion_Action(1);
        game.Main().Close();
    }
    EXPECT_EQ(Application::Current(), nullptr);
    EXPECT_EQ(ExistingWindow<WKestrova>(), nullptr);
    for (QWidget* top : QApplication::topLevelWidgets()) EXPECT_FALSE(qobject_cast<Window*>(top)) << top->objectName().toStdString();

    LaunchedGame again;
    EXPECT_EQ(again.Main().PTopChoixPion, 1);
    EXPECT_EQ(again.Main().GetMenuBar(), &MenuBar1Instance());
}

// ---- Window accessors ----

TEST_F(Startup, AClosedWindowsAccessorGivesANewWindow) {
    LaunchedGame game;
    WEgalite& first = WindowInstance<WEgalite>();
    EXPECT_EQ(&first, &WindowInstance<WEgalite>());
    QPointer<WEgalite> old(&first);
    first.Close();
    EXPECT_EQ(ExistingWindow<WEgalite>(), nullptr) << "a closing window is no longer the current one";
    WEgalite& second = WindowInstance<WEgalite>();
    EXPECT_NE(&second, old.data());
    FlushDeletes();
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(&second, &WindowInstance<WEgalite>());

    // Hiding keeps the window.
    WJournal& log = WindowInstance<WJournal>();
    log.Hide();
    EXPECT_EQ(&log, &WindowInstance<WJournal>());
    second.Close();
}

TEST_F(Startup, TheAboutItemIsTheApplicationsAndCountsAsHandled) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    // No window binds it: the main window leaves it to the application.
    EXPECT_FALSE(w.HandleMenu(QStringLiteral("MnAPropos"), -1));
    // The about window is modal: close it from inside its own loop.
    QTimer::singleShot(0, [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* win = qobject_cast<Window*>(top); win && win != ExistingWindow<WKestrova>() && win->isModal())
                win->Close();
    });
    EXPECT_TRUE(AppInstance().HandleMenu(QStringLiteral("MnAPropos"), -1));
}

} // namespace
