#include "AppVersion.h"
#include "AuthorSite.h"
#include "PictureItems.h"
#include "UiTestSupport.h"
#include "WHelp.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace {
class AboutWindow : public ::testing::Test {
protected:
    RecordingDesktop desktop;
    void SetUp() override { SetDesktop(&desktop); }
    void TearDown() override {
        if (WHelp* w = ExistingWindow<WHelp>()) w->Close();
        FlushDeletes();
        SetDesktop(nullptr);
    }

    static WHelp& Shown() {
        WHelp& w = WindowInstance<WHelp>();
        w.Show();
        return w;
    }
    static void Click(QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }
    static void Click(QWidget* widget) { Click(widget, widget->rect().center()); }
};

TEST_F(AboutWindow, ShowsTheVersionsAndTheText) {
    WHelp& w = Shown();
    EXPECT_EQ(w.Title(), QStringLiteral("Sur mac ?"));
    EXPECT_EQ(w.TApplic->text(), LongVersion());
    EXPECT_EQ(w.TVersion->text(), ShortVersion());
    const QString text = w.StaticText2->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Jeux de type Brassenay Quatre. ")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("dont le moteur est très différent.")));
    EXPECT_EQ(text.count(QStringLiteral("\n\n")), 3); // four paragraphs
    EXPECT_EQ(w.StaticText3->text(), AuthorMailAddress());
    const PictureRef hamster = Hamster();
    ASSERT_NE(hamster, nullptr);
    EXPECT_EQ(w.Ham1->Backdrop(), hamster);
    EXPECT_EQ(w.Ham2->Backdrop(), hamster);
}

TEST_F(AboutWindow, PicturesAndAddressOpenTheirLinksAnyNumberOfTimes) {
    WHelp& w = Shown();
    QPointer<WHelp> window(&w);
    for (int round = 0; round < 2; ++round) {
        Click(w.Ham1);
        Click(w.Ham2);
        Click(w.StaticText3);
    }
    FlushDeletes();
    ASSERT_FALSE(window.isNull());
    EXPECT_FALSE(w.IsClosing());
    const QString home = AuthorHomePage();
    const QString mail = QStringLiteral("mailto:") + AuthorMailAddress();
    EXPECT_EQ(desktop.urls, (QStringList{home, home, mail, home, home, mail}));
    // Nobody real is addressed.
    EXPECT_TRUE(AuthorSiteHost().endsWith(QStringLiteral(".example")));
    EXPECT_TRUE(AuthorMailAddress().endsWith(QStringLiteral(".example")));
}

TEST_F(AboutWindow, TheBackgroundOrTheCloseBoxEndsTheModalDisplay) {
    const std::function<void(WHelp&)> ways[] = {
        [](WHelp& w) { Click(w.Content(), QPoint(150, 335)); }, // below the address
        [](WHelp& w) { w.windowHandle()->close(); },            // as the window manager does
    };
    for (const auto& closeIt : ways) {
        QPointer<WHelp> shown;
        QTimer::singleShot(0, [&] {
            shown = ExistingWindow<WHelp>();
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->TApplic->text(), LongVersion()); // read again by every new window
            closeIt(*shown);
        });
        WindowInstance<WHelp>().ShowModal();
        FlushDeletes();
        EXPECT_TRUE(shown.isNull());
        EXPECT_EQ(ExistingWindow<WHelp>(), nullptr);
    }
    EXPECT_TRUE(desktop.urls.isEmpty());
}

} // namespace
