// The secondary windows driven through the real main window: end-of-game dialogs, who-plays
// strip, move log, trace, and what happens to them at quit.
#include "Demarrage.h"
#include "Desktop.h"
#include "FichierPreference.h"
#include "Menu.h"
#include "WEgalite.h"
#include "WGagnant.h"
#include "WJournal.h"
#include "WKestrova.h"
#include "WQuiDoitJouer.h"
#include "WTrace.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

class DesktopObserve : public Desktop {
public:
    int beeps = 0;
    std::vector<int> quits;
    void Beep() override { ++beeps; }
    void MsgBox(const QString&) override {}
    void ShowURL(const QString&) override {}
    void Quit(int code) override { quits.push_back(code); }
};

// Lets windows closed during a test really go away.
void Flush() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// The way a window manager closes a window when its close box is clicked.
void CloseBox(Window& window) {
    ASSERT_NE(window.windowHandle(), nullptr);
    window.windowHandle()->close();
}

// A fill of the whole board in which no side ever has four; either side may open it.
const std::vector<int> kDraw = {6, 4, 6, 2, 3, 0, 0, 2, 1, 6, 6, 2, 4, 6, 4, 5, 3, 6, 1, 5, 1,
                                3, 0, 5, 2, 1, 2, 0, 2, 3, 5, 4, 1, 1, 4, 3, 5, 4, 3, 5, 0, 0};

class Fenetres : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dossier.isValid());
        FichierPreference::mPrefChangeDossier(dossier.path());
        SetDesktop(&desktop);
        LanceApplication();
        w = &WindowInstance<WKestrova>();
    }

    void TearDown() override {
        TermineApplication();
        Flush();
        SetDesktop(nullptr);
        FichierPreference::mPrefChangeDossier(QString());
    }

    bool Choose(const char* item, int index = -1) {
        w->RaiseEnableMenuItems();
        return w->HandleMenu(QString::fromLatin1(item), index);
    }

    // A click on the board over the column, as soon as the last one.
    void Click(int column) {
        w->PTicks = std::numeric_limits<std::int32_t>::min();
        const QPoint at(w->PRetraitFondX + w->PLarg * column + w->PLarg / 2, w->Height() / 2);
        QTest::mouseClick(w->Content(), Qt::LeftButton, {}, at);
    }
    void Play(const std::vector<int>& columns) {
        for (int c : columns) Click(c);
    }

    int Tokens(bool red) const {
        int n = 0;
        for (int c = 0; c < UnPlateau::kColonnes; ++c)
            for (int r = 0; r < UnPlateau::kLignes; ++r) {
                const UneCase* cell = w->PPlateau.PCase(c, r);
                n += red ? cell->PRouge : cell->PBleu;
            }
        return n;
    }

    // Duo mode and a fresh game; returns whether red opens it.
    bool NewDuoGame() {
        EXPECT_TRUE(Choose("MnDuo"));
        EXPECT_TRUE(Choose("MNNewPartie"));
        return w->TopAJouerRouge;
    }

    QString Log() const { return QString::fromStdString(w->PPlateau.PJournal); }

    QTemporaryDir dossier;
    DesktopObserve desktop;
    WKestrova* w = nullptr;
};

TEST_F(Fenetres, WinnerDialogShowsTheWinnerAndItsButtonStartsTheNextGameOutOfSight) {
    // The first game opens with red; the duo game after it with blue.
    ASSERT_FALSE(NewDuoGame());
    Play({0, 1, 0, 1, 0, 1, 0});
    ASSERT_TRUE(w->TopFinPartie);
    QPointer<WGagnant> dialog = ExistingWindow<WGagnant>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->ChGain->Backdrop(), w->PCoulBleu);
    EXPECT_EQ(dialog->ChGain->size(), QSize(35, 37)); // one token of the strip
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Back to solo: the computer's reply on a finished game is refused.
    ASSERT_TRUE(Choose("MnSolo"));
    EXPECT_EQ(Tokens(true), 3);
    EXPECT_EQ(Tokens(false), 4);

    // Red opens the next game, so the computer plays at once: by then the dialog is hidden.
    std::vector<bool> dialogVisibleAtOpening;
    auto play = w->PPlateau.MCaseAJouer;
    w->PPlateau.MCaseAJouer = [&](UneCase& cell) {
        dialogVisibleAtOpening.push_back(dialog && dialog->isVisible());
        play(cell);
    };
    QTest::mouseClick(dialog->PushButton1, Qt::LeftButton);
    w->PPlateau.MCaseAJouer = play;
    EXPECT_EQ(dialogVisibleAtOpening, std::vector<bool>{false});
    EXPECT_FALSE(w->TopFinPartie);
    EXPECT_EQ(Tokens(true), 1);
    EXPECT_EQ(Tokens(false), 0);
    EXPECT_EQ(ExistingWindow<WGagnant>(), nullptr);
    Flush();
    EXPECT_FALSE(dialog); // closed, not kept

    // A red win makes a fresh dialog with a red token.
    ASSERT_FALSE(NewDuoGame());
    Play({0, 1, 0, 1, 0, 1, 2, 1});
    dialog = ExistingWindow<WGagnant>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->ChGain->Backdrop(), w->PCoulRouge);

    // A new game from the menu leaves the dialog open; its button later starts another one,
    // and Return presses it.
    ASSERT_TRUE(Choose("MNNewPartie"));
    EXPECT_TRUE(dialog->isVisible());
    const bool redOpened = w->TopAJouerRouge;
    Click(3);
    QTest::keyClick(dialog->PushButton1, Qt::Key_Return);
    EXPECT_EQ(w->TopAJouerRouge, !redOpened);
    EXPECT_EQ(Tokens(true) + Tokens(false), 0);
    EXPECT_EQ(ExistingWindow<WGagnant>(), nullptr);
}

TEST_F(Fenetres, DrawDialogClosedByItsBoxStartsNothing) {
    NewDuoGame();
    Play(kDraw);
    ASSERT_TRUE(w->TopFinPartie);
    EXPECT_EQ(ExistingWindow<WGagnant>(), nullptr);
    QPointer<WEgalite> dialog = ExistingWindow<WEgalite>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->StaticText1->text(), QStringLiteral("Egalité !"));
    EXPECT_EQ(dialog->StaticText1->palette().color(QPalette::WindowText), QColor(0x00, 0xCC, 0x00));
    EXPECT_TRUE(dialog->StaticText1->font().bold());
    EXPECT_TRUE(dialog->StaticText1->font().italic());
    EXPECT_EQ(dialog->PushButton1->text(), QStringLiteral("Nouvelle Partie"));

    CloseBox(*dialog);
    Flush();
    EXPECT_FALSE(dialog);
    EXPECT_TRUE(w->TopFinPartie);
    EXPECT_EQ(Tokens(true) + Tokens(false), 42);
    const QString log = Log();
    Click(2);
    EXPECT_EQ(Log(), log); // the finished game takes no move
    EXPECT_EQ(Tokens(true) + Tokens(false), 42);

    ASSERT_TRUE(Choose("MNNewPartie"));
    EXPECT_FALSE(w->TopFinPartie);
    EXPECT_EQ(Tokens(true) + Tokens(false), 0);
}

TEST_F(Fenetres, StripShowsTheSideToPlayOnlyInDuoWhileAGameRuns) {
    // Made at opening, in solo: hidden. The computer opened, blue is to play.
    QPointer<WQuiDoitJouer> strip = ExistingWindow<WQuiDoitJouer>();
    ASSERT_TRUE(strip);
    EXPECT_FALSE(strip->isVisible());
    ASSERT_TRUE(w->TopAJouerBleu);

    // Duo in the middle of the game shows it at once, and moves no token.
    ASSERT_TRUE(Choose("MnDuo"));
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->ChCouleur->Backdrop(), w->PCoulBleu);
    Click(3);
    EXPECT_EQ(strip->ChCouleur->Backdrop(), w->PCoulRouge);
    EXPECT_EQ(Tokens(true) + Tokens(false), 2);

    // Red is to play: duo again moves nothing, solo makes the computer play at once.
    ASSERT_TRUE(Choose("MnDuo"));
    EXPECT_EQ(Tokens(true) + Tokens(false), 2);
    ASSERT_TRUE(Choose("MnSolo"));
    EXPECT_EQ(Tokens(true), 2);
    EXPECT_TRUE(w->TopAJouerBleu);
    EXPECT_FALSE(strip->isVisible());

    // A new theme shows in the visible strip at once.
    ASSERT_TRUE(Choose("MnDuo"));
    const PictureRef oldBlue = w->PCoulBleu;
    ASSERT_TRUE(Choose("MNPion", 2));
    EXPECT_NE(w->PCoulBleu, oldBlue);
    EXPECT_EQ(strip->ChCouleur->Backdrop(), w->PCoulBleu);

    // Hidden when a game ends, back with the next one.
    const bool redOpens = NewDuoGame();
    EXPECT_EQ(strip->ChCouleur->Backdrop(), redOpens ? w->PCoulRouge : w->PCoulBleu);
    Play({0, 1, 0, 1, 0, 1, 0});
    ASSERT_TRUE(w->TopFinPartie);
    EXPECT_FALSE(strip->isVisible());
    ASSERT_TRUE(Choose("MNNewPartie"));
    EXPECT_TRUE(strip->isVisible());

    // The user has no way to close it; a close from the window manager is refused.
    EXPECT_FALSE(strip->windowFlags() & Qt::WindowCloseButtonHint);
    QCloseEvent byUser;
    QSpontaneKeyEvent::setSpontaneous(&byUser);
    QCoreApplication::instance()->notify(strip, &byUser); // sendEvent would drop the flag
    EXPECT_FALSE(byUser.isAccepted());
    Flush();
    ASSERT_TRUE(strip);
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(ExistingWindow<WQuiDoitJouer>(), strip.data());
}

TEST_F(Fenetres, LogWindowShowsEveryMoveAcrossHideShowAndClose) {
    Click(0);
    Click(6); // with the computer's replies and its opening: five moves
    ASSERT_EQ(Log().count(QLatin1Char('\n')), 5);

    ASSERT_TRUE(Choose("MnJournal"));
    QPointer<WJournal> log = ExistingWindow<WJournal>();
    ASSERT_TRUE(log);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->ChText->Text(), Log());
    w->RaiseEnableMenuItems();
    EXPECT_TRUE(w->MnJournal()->Checked());

    // Each move, the computer's included, replaces what the user typed.
    log->ChText->insertPlainText(QStringLiteral("note"));
    Click(1);
    EXPECT_EQ(log->ChText->Text(), Log());
    EXPECT_EQ(Log().count(QLatin1Char('\n')), 7);

    // Hidden from the menu: kept, and still kept current.
    ASSERT_TRUE(Choose("MnJournal"));
    ASSERT_TRUE(log);
    EXPECT_FALSE(log->isVisible());
    w->RaiseEnableMenuItems();
    EXPECT_FALSE(w->MnJournal()->Checked());
    Click(2);
    EXPECT_EQ(log->ChText->Text(), Log());
    ASSERT_TRUE(Choose("MnJournal"));
    EXPECT_EQ(ExistingWindow<WJournal>(), log.data());
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->ChText->Text(), Log());

    // Closed by its box: detached, unticked; the board goes on without it.
    CloseBox(*log);
    Flush();
    EXPECT_FALSE(log);
    EXPECT_EQ(w->PPlateau.PChJournal, nullptr);
    EXPECT_FALSE(w->PJournal);
    w->RaiseEnableMenuItems();
    EXPECT_FALSE(w->MnJournal()->Checked());
    Click(4);
    EXPECT_EQ(ExistingWindow<WJournal>(), nullptr);

    // A fresh window with the whole log.
    ASSERT_TRUE(Choose("MnJournal"));
    log = ExistingWindow<WJournal>();
    ASSERT_TRUE(log);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->ChText->Text(), Log());
    EXPECT_EQ(Log().count(QLatin1Char('\n')), 11);
    w->RaiseEnableMenuItems();
    EXPECT_TRUE(w->MnJournal()->Checked());
}

TEST_F(Fenetres, TraceWindowFollowsTheComputerAndItsCloseUnticksModeTest) {
    ASSERT_FALSE(w->PPlateau.TraceText.empty()); // the computer's opening move
    w->BtTest->setChecked(true);
    QPointer<WTrace> trace = ExistingWindow<WTrace>();
    ASSERT_TRUE(trace);
    EXPECT_TRUE(trace->isVisible());
    EXPECT_EQ(w->PWTrace, trace);
    EXPECT_TRUE(trace->ChTrace->isReadOnly());
    EXPECT_EQ(trace->ChTrace->Text(), QString::fromStdString(w->PPlateau.TraceText));

    Click(0);
    EXPECT_EQ(trace->ChTrace->Text(), QString::fromStdString(w->PPlateau.TraceText));
    Click(0);
    EXPECT_EQ(trace->ChTrace->Text(), QString::fromStdString(w->PPlateau.TraceText));

    // Unticking the box from the close handler asks the closing window to close again.
    CloseBox(*trace);
    EXPECT_FALSE(w->BtTest->isChecked());
    EXPECT_FALSE(w->PWTrace);
    Flush();
    EXPECT_FALSE(trace);
    Click(1);
    EXPECT_EQ(ExistingWindow<WTrace>(), nullptr);

    // Ticked again: a fresh window with the last trace; unticked: closed.
    w->BtTest->setChecked(true);
    trace = ExistingWindow<WTrace>();
    ASSERT_TRUE(trace);
    EXPECT_EQ(trace->ChTrace->Text(), QString::fromStdString(w->PPlateau.TraceText));
    w->BtTest->setChecked(false);
    EXPECT_EQ(ExistingWindow<WTrace>(), nullptr);
    EXPECT_FALSE(w->PWTrace);
    Flush();
    EXPECT_FALSE(trace);
}

TEST_F(Fenetres, SecondaryWindowsAreFixedNonBlockingWithTheirBoxes) {
    struct Kind {
        Window* window;
        QString title;
        QSize size;
        bool closeBox;
    };
    ASSERT_TRUE(Choose("MnJournal"));
    w->BtTest->setChecked(true);
    const std::vector<Kind> kinds = {
        {ExistingWindow<WJournal>(), QStringLiteral("Journal des Coups"), {192, 407}, true},
        {ExistingWindow<WTrace>(), QStringLiteral("Trace"), {529, 450}, true},
        {&WindowInstance<WEgalite>(), QStringLiteral("Egalité"), {402, 60}, true},
        {&WindowInstance<WGagnant>(), QStringLiteral("Le gagnant est ..."), {330, 60}, true},
        {&WindowInstance<WQuiDoitJouer>(), QStringLiteral("Qui doit jouer"), {300, 35}, false},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.title.toStdString());
        ASSERT_NE(k.window, nullptr);
        k.window->Show();
        EXPECT_EQ(k.window->Title(), k.title);
        EXPECT_EQ(QSize(k.window->Width(), k.window->Height()), k.size);
        EXPECT_EQ(k.window->minimumSize(), k.window->maximumSize());
        const Qt::WindowFlags flags = k.window->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(bool(flags & Qt::WindowCloseButtonHint), k.closeBox);
        EXPECT_FALSE(k.window->isModal());
        // No background colour of their own: where nothing is drawn, the platform's window colour.
        const QImage shown = k.window->Content()->grab().toImage();
        EXPECT_EQ(shown.pixelColor(1, 1).name(), k.window->palette().color(QPalette::Window).name());
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Fenetres, QuitWithEverySecondaryWindowOpenSavesTheSettingsAndExitsCleanly) {
    ASSERT_TRUE(Choose("MNPion", 2));
    ASSERT_TRUE(Choose("MnMoyen"));
    ASSERT_TRUE(Choose("MNFond", 3));
    const bool proportional = !w->PTopRetailProp;
    ASSERT_TRUE(Choose("MnAgrandProp"));
    ASSERT_TRUE(Choose("MnJournal"));
    w->BtTest->setChecked(true);
    NewDuoGame();
    Play({0, 1, 0, 1, 0, 1, 0});
    ASSERT_TRUE(ExistingWindow<WGagnant>());
    WindowInstance<WEgalite>();
    ASSERT_TRUE(Choose("MNNewPartie")); // the strip shows again

    // What the quit item does; the order in which the windows close is Qt's.
    QApplication::closeAllWindows();
    EXPECT_EQ(desktop.quits, std::vector<int>{0});
    EXPECT_EQ(ExistingWindow<WKestrova>(), nullptr);
    Flush();
    for (QWidget* top : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<Window*>(top), nullptr);

    TermineApplication(); // the application object writes the file
    QFile file(dossier.filePath(QStringLiteral("Talvo.Kestrova.Pref")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString saved = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(saved.contains(QStringLiteral("[-NoDePion-] 2")));
    EXPECT_TRUE(saved.contains(QStringLiteral("[-NiveauDeJeu-] 1")));
    EXPECT_TRUE(saved.contains(QStringLiteral("[-NoDeFond-] 3")));
    EXPECT_TRUE(saved.contains(proportional ? QStringLiteral("[-RetailProp-] Oui")
                                            : QStringLiteral("[-RetailProp-] Non")))
        << saved.toStdString();
}

TEST_F(Fenetres, CloseHandlersAfterTheMainWindowIsGoneCreateNothing) {
    ASSERT_TRUE(Choose("MnJournal"));
    w->BtTest->setChecked(true);
    QPointer<WJournal> log = ExistingWindow<WJournal>();
    QPointer<WTrace> trace = ExistingWindow<WTrace>();
    ASSERT_TRUE(log && trace);

    QPointer<WKestrova> main(w);
    w->close();
    EXPECT_EQ(desktop.quits, std::vector<int>{0});
    EXPECT_EQ(ExistingWindow<WKestrova>(), nullptr);
    log->close();
    trace->close();
    EXPECT_EQ(ExistingWindow<WKestrova>(), nullptr);
    EXPECT_EQ(WindowSlot<WKestrova>().data(), main.data()); // no new main window
    Flush();
    EXPECT_FALSE(main);
    EXPECT_FALSE(log);
    EXPECT_FALSE(trace);
    EXPECT_EQ(WindowSlot<WKestrova>().data(), nullptr);
}

} // namespace
