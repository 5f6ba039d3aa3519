// The about window: its versions, its links, and how its modal display ends.
#include "UiTestSupport.h"

#include "App.h"
#include "AuthorSite.h"
#include "WHelp.h"

#include <QLabel>
#include <QTimer>

#include <functional>

namespace {

class AboutWindow : public UiTest {};

void Click(QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }

TEST_F(AboutWindow, LinksOpenAnyNumberOfTimesAndTheBackgroundOrTheCloseBoxEndsTheModalDisplay) {
    LaunchedGame game;
    const RecordingDesktop& desktop = game.desktop;
    WHelp& w = WindowInstance<WHelp>();
    w.Show();
    EXPECT_EQ(w.TApplic->text(), QStringLiteral(KESTROVA_TEST_LONG_VERSION));
    EXPECT_EQ(w.TVersion->text(), QStringLiteral(KESTROVA_TEST_SHORT_VERSION));
    EXPECT_EQ(Layout(w),
              "294x345 | 13,14 27x38 0 | 253,14 27x38 0 | 52,15 189x33 20 #000000 | 13,78 267x218 12 "
              "#000000 | 96,299 100x20 12 #0200d5 | 140,48 100x20 10 #000000");
    EXPECT_EQ(w.StaticText2->text(),
              QStringLiteral(
                  "Jeux de type Brassenay Quatre. Le moteur ne marche que sur analyse de position courante "
                  "sans chercher dans le futur. Ce qui ne le rend pas invincible. Mais il n'est pas facile "
                  "pour autant.\n\nCette petite application a été écrite sur un Macintosh avec le langage "
                  "ZENTRAFOR.\n\nGratuite, fonctionne sur Mac.\n\nVous pouvez aussi rechercher un jeu "
                  "concurrent : Dornwig, dont le moteur est très différent."));
    EXPECT_TRUE(w.Ham1->Backdrop()->Image() == Png(178));
    EXPECT_EQ(w.Ham2->Backdrop(), w.Ham1->Backdrop());
    QPointer<WHelp> window(&w);
    Click(w.Ham1, QPoint(w.Ham1->width(), 5)); // let go past its edge: no link
    for (int round = 0; round < 2; ++round)
        for (QWidget* link : std::initializer_list<QWidget*>{w.Ham1, w.Ham2, w.StaticText3})
            Click(link, link->rect().center());
    FlushDeletes();
    ASSERT_FALSE(window.isNull());
    EXPECT_FALSE(w.IsClosing());
    w.Close();
    FlushDeletes();
    const QString home = AuthorHomePage(), mail = QStringLiteral("mailto:") + AuthorMailAddress();
    EXPECT_EQ(desktop.urls, (QStringList{home, home, mail, home, home, mail}));

    // The about item is the application's, and modal; the background or the close box ends it,
    // and neither opens a link.
    EXPECT_FALSE(game.Main().HandleMenu(QStringLiteral("MnAPropos"), -1) ||
                 AppInstance().HandleMenu(QStringLiteral("MnSolo"), -1)); // each leaves the other's item
    const std::function<void(WHelp&)> ways[] = {
        [](WHelp& help) { Click(help.Content(), QPoint(150, 335)); }, // below the address
        [](WHelp& help) { CloseBox(help); },
    };
    for (const auto& closeIt : ways) {
        QPointer<WHelp> shown;
        bool stillOpen = false;
        QTimer::singleShot(0, [&] {
            shown = ExistingWindow<WHelp>();
            ASSERT_NE(shown, nullptr);
            closeIt(*shown);
        });
        // Should the gesture not close it, end the modal display here rather than hang.
        QObject guard; // the wait ends with this pass
        QTimer::singleShot(3000, &guard, [&] {
            if (WHelp* open = ExistingWindow<WHelp>()) {
                stillOpen = true;
                open->Close();
            }
        });
        EXPECT_TRUE(AppInstance().HandleMenu(QStringLiteral("MnAPropos"), -1));
        EXPECT_FALSE(stillOpen) << "the gesture did not close the about window";
        FlushDeletes();
        EXPECT_TRUE(shown.isNull());
        EXPECT_EQ(ExistingWindow<WHelp>(), nullptr);
    }
    EXPECT_EQ(desktop.urls.size(), 6);
}

} // namespace
