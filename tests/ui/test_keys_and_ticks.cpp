// What a player meets on a desktop that the other window tests do not: keys pressed on the main
// window, and the ticks as the menus draw them in the default style.
#include "UiTestSupport.h"

#include "WJournal.h"
#include "WTrace.h"

#include <QCheckBox>

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

} // namespace
