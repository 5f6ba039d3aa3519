// What a player meets on a desktop that the other window tests do not: keys pressed on the main
// window, and the ticks as the menus draw them in the default style.
#include "UiTestSupport.h"

#include "WJournal.h"
#include "WTrace.h"

#include <QCheckBox>
#include <QMenu>
#include <QStyle>

namespace {

class KeysAndTicks : public UiTest {};

QList<QWidget*> VisibleWindows() {
    QList<QWidget*> shown;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible()) shown << top;
    return shown;
}

// Keys as the window system delivers them: to whichever widget has the focus.
void Press(WKestrova& w, std::initializer_list<Qt::Key> keys) {
    for (Qt::Key key : keys) {
        Front(w);
        QTest::keyClick(w.windowHandle(), key);
    }
}

TEST_F(KeysAndTicks, NoKeyOnTheMainWindowTicksModeTestOpensAWindowOrPlays) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    EXPECT_EQ(Layout(w), "672x590 | 624,-49 89x20 0") << "Mode Test above the content area, out of sight";
    const QList<QWidget*> shown = VisibleWindows();
    const std::string log = w.PPlateau.PJournal;
    auto pressAll = [&](const char* when) {
        SCOPED_TRACE(when);
        Press(w, {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter});
        Press(w, {Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Return});
        Press(w, {Qt::Key_Backtab, Qt::Key_Space});
        Flush();
        EXPECT_FALSE(w.BtTest->isChecked());
        EXPECT_EQ(ExistingWindow<WTrace>(), nullptr);
        EXPECT_EQ(VisibleWindows(), shown);
        EXPECT_EQ(w.PPlateau.PJournal, log) << "no move played";
    };
    pressAll("fresh window");
    // The focus comes back from the trace and log windows, closed by their boxes.
    w.BtTest->setChecked(true);
    CloseBox(*ExistingWindow<WTrace>());
    Choose(w, w.MnJournal());
    CloseBox(*ExistingWindow<WJournal>());
    Flush();
    pressAll("after the trace and log windows");
}

// One item's row as its menu draws it, prepared first as before every display, with the main
// window in front.
QImage Row(WKestrova& w, MenuItem* menu, MenuItem* item) {
    Front(w);
    MenuBar1Instance().PrepareMenus();
    QMenu* shown = menu->AsMenu();
    shown->resize(shown->sizeHint());
    return shown->grab(shown->actionGeometry(item->Action())).toImage();
}

// Pixels that differ, and those that differ by a third of the colour range or more: what a
// player sees change.
struct Changes {
    int any = 0, strong = 0;
};
Changes Compare(const QImage& a, const QImage& b) {
    EXPECT_EQ(a.size(), b.size());
    Changes changes;
    for (int y = 0; y < qMin(a.height(), b.height()); ++y)
        for (int x = 0; x < qMin(a.width(), b.width()); ++x) {
            const int distance = ColourDistance(a.pixel(x, y), b.pixel(x, y));
            changes.any += distance > 0;
            changes.strong += distance >= 255;
        }
    return changes;
}

TEST_F(KeysAndTicks, TickedIconItemsShowATickAndUntickedItemsLookAlikeFromTheFirstDisplay) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    ASSERT_EQ(QApplication::style()->name(), QStringLiteral("fusion")) << "the style the game meets on Linux";
    struct Shown {
        MenuItem *menu, *item;
        QImage first; // at the first display, unticked
    };
    // Unticked at the first display: all but Solo, "Fort", the first theme and background.
    std::vector<Shown> unticked = {{w.FileMenu(), w.MnDuo(), {}},     {w.FileMenu(), w.MnAgrandProp(), {}},
                                   {w.FileMenu(), w.MnJournal(), {}}, {w.MNNiveau(), w.MnMoyen(), {}},
                                   {w.MNPionBase(), w.MNPion(1), {}}, {w.MNFondBase(), w.MNFond(1), {}}};
    for (Shown& s : unticked) s.first = Row(w, s.menu, s.item);
    const QImage theme = Row(w, w.MNPionBase(), w.MNPion(0));
    const QImage background = Row(w, w.MNFondBase(), w.MNFond(0));
    // The check boxes of unticked items alike, in the room left of their texts.
    const QRect box(0, 0, unticked[0].first.height(), unticked[0].first.height());
    EXPECT_EQ(Compare(unticked[0].first.copy(box), unticked[1].first.copy(box)).any, 0);
    EXPECT_EQ(Compare(unticked[0].first.copy(box), unticked[3].first.copy(box)).any, 0);

    // Each ticked once, shown, and unticked again.
    for (MenuItem* item : {w.MnDuo(), w.MnAgrandProp(), w.MnJournal(), w.MnMoyen(), w.MNPion(1), w.MNFond(1)})
        Choose(w, item);
    for (Shown& s : unticked) {
        Row(w, s.menu, s.item);
        EXPECT_TRUE(s.item->Checked()) << s.item->Text().toStdString();
    }
    // The first icon items unticked now: the tick changes a tenth of the icon or more, where a faint
    // frame round the icon would change none of it strongly.
    const int icon = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
    EXPECT_GE(Compare(theme, Row(w, w.MNPionBase(), w.MNPion(0))).strong, icon * icon / 10);
    EXPECT_GE(Compare(background, Row(w, w.MNFondBase(), w.MNFond(0))).strong, icon * icon / 10);

    for (MenuItem* item : {w.MnSolo(), w.MnAgrandProp(), w.MnJournal(), w.MnFort(), w.MNPion(0), w.MNFond(0)})
        Choose(w, item);
    for (const Shown& s : unticked)
        EXPECT_EQ(Compare(Row(w, s.menu, s.item), s.first).any, 0) << s.item->Text().toStdString();
    EXPECT_EQ(Compare(Row(w, w.MNPionBase(), w.MNPion(0)), theme).any, 0);
}

} // namespace
