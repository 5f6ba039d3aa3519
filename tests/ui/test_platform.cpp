// The framework's pictures, canvas and windows where the game's own tests cannot tell a fault
// apart: alphas, pixels and events worked out by hand.
#include "UiTestSupport.h"

#include "Canvas.h"

#include <QTimer>

namespace {

TEST(Picture, TheMaskKeepsBlackRemovesWhiteLetsGreyHalfThroughAndADrawingIsKept) {
    Picture red(1, 1);
    red.MutableImage().fill(Qt::red);
    const auto alpha = [&] { return qAlpha(red.Composed().pixel(0, 0)); };
    EXPECT_EQ(alpha(), 255);
    red.Mask();
    EXPECT_EQ(alpha(), 255) << "a new mask is all black";
    for (auto [mask, want] : {std::pair{QColor(Qt::white), 0}, {QColor(128, 128, 128), 127}, {QColor(Qt::black), 255}}) {
        red.Mask().MutableImage().fill(mask);
        EXPECT_EQ(alpha(), want) << mask.name().toStdString();
    }
    // Red over blue stretched from two rows to four: the lowest row blue.
    Picture rows(1, 2), tall(1, 4);
    rows.MutableImage().setPixel(0, 1, qRgb(0, 0, 255));
    Graphics(tall).DrawPicture(rows, 0, 0, 1, 4, 0, 0, 1, 2);
    EXPECT_LT(ColourDistance(tall.Image().pixel(0, 3), qRgb(0, 0, 255)), 60);
    // A picture read from its source lets its pixels go only while nothing was drawn into it.
    Picture sourced(rows.Image(), [&] { return rows.Image(); });
    EXPECT_TRUE(sourced.ReleasePixels());
    Graphics(sourced).FillRect(0, 0, 1, 1);
    EXPECT_FALSE(sourced.ReleasePixels());
    EXPECT_EQ(sourced.Image().pixel(0, 0), qRgb(0, 0, 0));
}

TEST(Canvas, AClickCountsOnlyWhenReleasedOverIt) {
    Canvas canvas;
    canvas.resize(10, 10);
    int clicks = 0;
    QObject::connect(&canvas, &Canvas::clicked, [&] { ++clicks; });
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, QPoint(9, 9));
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(clicks, 1);
}

class Probe : public Window {
public:
    QStringList events;

protected:
    bool Event_MouseDown(int x, int y) override {
        events << QStringLiteral("down %1,%2").arg(x).arg(y);
        return x < 50;
    }
    void Event_MouseUp(int x, int y) override { events << QStringLiteral("up %1,%2").arg(x).arg(y); }
    void Event_Resized() override { events << QStringLiteral("resized %1x%2").arg(Width()).arg(Height()); }
};

TEST(Window, UpFollowsATakenDownResizedAChangeTheFrameKeepsItsPixelsAndHidingEndsAModalDisplay) {
    QPointer<Probe> w = new Probe;
    w->SetSize(100, 80);
    w->Show();
    QTest::mouseClick(w->Content(), Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseClick(w->Content(), Qt::LeftButton, {}, QPoint(60, 20));
    QTest::mouseRelease(w->Content(), Qt::LeftButton, {}, QPoint(10, 20));
    Graphics g = w->GetGraphics();
    g.ForeColor = Qt::red;
    g.FillRect(0, 0, 100, 80);
    w->SetSize(120, 80);
    EXPECT_EQ(w->events.join(" | "), "down 10,20 | up 10,20 | down 60,20 | resized 120x80");
    EXPECT_EQ(w->Frame().Image().pixelColor(99, 79), QColor(Qt::red));
    EXPECT_EQ(w->Frame().Image().pixelColor(100, 79), w->palette().color(QPalette::Window));

    QTimer::singleShot(0, [w] { w->Hide(); });
    QTimer::singleShot(5000, [w] { if (w) w->Close(); }); // else the test would hang
    w->ShowModal();
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->IsClosing() || w->Visible());
    delete w;
}

} // namespace
