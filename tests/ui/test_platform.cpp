// The framework where the game's own tests cannot tell a fault apart: masks, drawings, windows and
// static texts, with alphas and pixels worked out by hand.
#include "UiTestSupport.h"

#include "Canvas.h"
#include "ControlFont.h"
#include "PreferencesFolder.h"
#include "StaticText.h"

#include <QTimer>

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
    const int under = canvas.palette().color(QPalette::Window).green() * 128 / 255; // 127/255 of red over it
    EXPECT_LE(ColourDistance(canvas.grab().toImage().pixel(0, 0), qRgb(127 + under, under, under)), 3)
        << "half red over the background, from its corner";
    Picture drawn(Picture(1, 1).Image(), [] { return Picture(1, 1).Image(); }), tall(1, 2);
    Graphics(drawn).FillRect(0, 0, 1, 1); // black
    EXPECT_FALSE(drawn.ReleasePixels()) << "drawn into";
    Graphics(tall).DrawPicture(drawn, 0, 0, 1, 2, 0, 0, 1, 1);
    EXPECT_EQ(tall.Image().pixel(0, 1), qRgb(0, 0, 0)) << "stretched to both rows";
}

// A window of the test's own with a menu bar: its releases counted, and whether it was still found, or
// still in front, while it closed.
struct Probe : Window {
    Probe() { SetMenuBar(bar); }
    MenuBar bar;
    int ups = 0, seen = 0;
    bool Event_MouseDown(int, int) override { return true; }
    void Event_MouseUp(int, int) override { ++ups; }
    void Event_Close() override { seen = ExistingWindow<Probe>() || bar.FrontHandler(); }
};

TEST(Window, TakesOnlyPressedReleasesKeepsItsFrameEndsAModalShowOnHideAndLeavesWhenClosing) {
    QPointer<Probe> w = &WindowInstance<Probe>();
    w->Show();
    Front(*w);
    QTest::mouseRelease(w->Content(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(w->Content(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(w->ups, 1);
    Graphics(*w).FillRect(0, 0, 20, 20);
    w->SetSize(30, 30);
    EXPECT_EQ(w->Frame().Image().pixel(19, 19), qRgb(0, 0, 0)) << "the old frame kept";
    w->Close();
    EXPECT_FALSE(w->seen);
    QPointer<Probe> next = &WindowInstance<Probe>();
    QTimer::singleShot(0, next, [next] { next->Hide(); });
    QTimer::singleShot(5000, next, [next] { next->Close(); }); // ends a wait the hide did not
    next->ShowModal();
    ASSERT_TRUE(next && next != w && !next->IsClosing()) << "a new window, not ended by its close";
    next->Close();
    FlushDeletes();
}

TEST(Framework, StaticTextsTakeTheirFontAndAlignmentAndPreferencesLieInTheConfigurationFolder) {
    QLabel l; // as the layouts place them
    PlaceStaticText(&l, {}, ControlFont(QStringLiteral("Serif"), 13, true), Qt::AlignRight);
    EXPECT_EQ(l.alignment(), Qt::AlignRight);
    EXPECT_TRUE(l.font().bold() && l.font().family() == QStringLiteral("Serif") &&
                l.font().pixelSize() == 13);
    EXPECT_EQ(PreferencesFolder(), QDir::home().filePath(".qttest/config"))
        << "the folder itself, in test mode";
}

} // namespace
