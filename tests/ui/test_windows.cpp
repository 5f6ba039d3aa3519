// The secondary windows driven through the real main window: who-plays strip, move log and
// end-of-game dialogs over whole games, the trace window, and what happens to them all at quit.
#include "UiTestSupport.h"

#include "WEgalite.h"
#include "WGagnant.h"
#include "WJournal.h"
#include "WNewVersion.h"
#include "WQuiDoitJouer.h"
#include "WTrace.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTextBlock>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

class Windows : public UiTest {};

QString Log(const WKestrova& w) { return QString::fromStdString(w.PPlateau.PJournal); }

TEST_F(Windows, AWholeDuoGameWithTheStripTheLogAndTheWinnerDialog) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    // Made at opening, in solo: hidden. The computer opened, blue is to play.
    QPointer<WQuiDoitJouer> strip = ExistingWindow<WQuiDoitJouer>();
    ASSERT_TRUE(strip && !strip->isVisible());
    // Duo in the middle of a game shows it at once and moves no token; back to solo with red to
    // play, the computer plays at once.
    Choose(w, w.MnDuo());
    EXPECT_TRUE(strip->isVisible());
    Play(w, {3});
    EXPECT_EQ(strip->ChCouleur->Backdrop(), w.PCoulRouge);
    Choose(w, w.MnSolo());
    EXPECT_EQ(CountTokens(w.PPlateau).red, 2);
    EXPECT_FALSE(strip->isVisible());
    Choose(w, w.MnDuo());
    const PictureRef oldBlue = w.PCoulBleu;
    Choose(w, w.MNPion(2));
    EXPECT_NE(w.PCoulBleu, oldBlue);
    EXPECT_EQ(strip->ChCouleur->Backdrop(), w.PCoulBleu) << "a new theme shows at once";

    Choose(w, w.MNNewPartie()); // red opened the first game, blue opens this one
    ASSERT_EQ(CountTokens(w.PPlateau).Total(), 0);
    Choose(w, w.MnJournal());
    QPointer<WJournal> log = ExistingWindow<WJournal>();
    ASSERT_TRUE(log && log->isVisible());
    EXPECT_EQ(log->ChText->font().family() + QString::number(log->ChText->font().pixelSize()), "Courier10");
    bool blue = true, logKept = true;
    auto move = [&](int column) {
        EXPECT_EQ(strip->ChCouleur->Backdrop(), blue ? w.PCoulBleu : w.PCoulRouge);
        const int before = CountTokens(w.PPlateau).Total();
        Play(w, {column});
        EXPECT_EQ(w.PPlateau.PCaseJouee->PBleu, blue);
        EXPECT_EQ(CountTokens(w.PPlateau).Total(), before + 1) << "no computer move in duo";
        EXPECT_EQ(log ? log->ChText->Text() : QString(), logKept ? Log(w) : QString());
        blue = !blue;
        if (!w.TopFinPartie) {
            EXPECT_EQ(w.TopAJouerBleu, blue);
            EXPECT_EQ(w.TopAJouerRouge, !blue);
        }
    };
    log->ChText->insertPlainText(QStringLiteral("note"));
    move(0); // each move replaces what the user typed
    // Hidden from the menu: kept, and still kept current.
    Choose(w, w.MnJournal());
    ASSERT_TRUE(log && !log->isVisible());
    EXPECT_EQ(Marks(w)[6], QLatin1Char('0'));
    move(1);
    Choose(w, w.MnJournal());
    EXPECT_EQ(ExistingWindow<WJournal>(), log.data());
    EXPECT_TRUE(log->isVisible());
    move(0);
    // Closed by its box: detached and unticked; the board goes on without it.
    CloseBox(*log);
    Flush();
    logKept = false;
    EXPECT_FALSE(log);
    EXPECT_EQ(w.PPlateau.PChJournal, nullptr);
    EXPECT_FALSE(w.PJournal);
    EXPECT_EQ(Marks(w)[6], QLatin1Char('0'));
    move(1);
    move(0);
    EXPECT_EQ(ExistingWindow<WJournal>(), nullptr);
    // A fresh window shows the whole log.
    Choose(w, w.MnJournal());
    log = ExistingWindow<WJournal>();
    ASSERT_TRUE(log);
    logKept = true;
    EXPECT_EQ(log->ChText->Text(), Log(w));
    EXPECT_EQ(Log(w).count(QLatin1Char('\n')), 5);
    EXPECT_EQ(Marks(w)[6], QLatin1Char('1'));
    move(1);
    move(0);

    // Blue has four in column 0: the dialog shows a blue token, the strip goes, nothing blocks.
    ASSERT_TRUE(w.TopFinPartie);
    QPointer<WGagnant> dialog = ExistingWindow<WGagnant>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_EQ(dialog->ChGain->Backdrop(), w.PCoulBleu);
    EXPECT_EQ(dialog->StaticText1->text() + dialog->PushButton1->text(),
              QStringLiteral("Gain :Nouvelle Partie"));
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // Back to solo: the computer's reply on a finished game is refused.
    Choose(w, w.MnSolo());
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), 7);

    // Return presses the dialog's button. Red opens the next game, so the computer plays at once:
    // by then the dialog is hidden.
    std::vector<bool> dialogVisibleAtOpening;
    auto play = w.PPlateau.MCaseAJouer;
    w.PPlateau.MCaseAJouer = [&](UneCase& cell) {
        dialogVisibleAtOpening.push_back(dialog && dialog->isVisible());
        play(cell);
    };
    QTest::keyClick(dialog->PushButton1, Qt::Key_Return);
    w.PPlateau.MCaseAJouer = play;
    EXPECT_EQ(dialogVisibleAtOpening, std::vector<bool>{false});
    EXPECT_FALSE(w.TopFinPartie);
    EXPECT_EQ(CountTokens(w.PPlateau).red, 1);
    EXPECT_EQ(CountTokens(w.PPlateau).blue, 0);
    EXPECT_EQ(ExistingWindow<WGagnant>(), nullptr);
    Flush();
    EXPECT_FALSE(dialog) << "closed, not kept";

    // The user has no way to close the strip; a close from the window manager is refused.
    Choose(w, w.MnDuo());
    EXPECT_FALSE(strip->windowFlags() & Qt::WindowCloseButtonHint);
    QCloseEvent byUser;
    QSpontaneKeyEvent::setSpontaneous(&byUser);
    QCoreApplication::instance()->notify(strip, &byUser); // sendEvent would drop the flag
    EXPECT_FALSE(byUser.isAccepted());
    Flush();
    ASSERT_TRUE(strip);
    EXPECT_TRUE(strip->isVisible());
}

// Every way to paste: with nothing to paste the field is left as it was, with text the text goes
// in, and the field stays the user's to type into.
TEST_F(Windows, PastingIntoTheLogWithOrWithoutAnythingToPaste) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MnJournal());
    QPointer<WJournal> log = ExistingWindow<WJournal>();
    ASSERT_TRUE(log);
    log->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(log));
    ChampTexte* field = log->ChText;
    field->setFocus();
    ASSERT_FALSE(Log(w).isEmpty()); // the computer's opening move
    ASSERT_EQ(field->Text(), Log(w));

    QClipboard* clipboard = QGuiApplication::clipboard();
    // Offscreen there is no selection to paste with the middle button; on X there is.
    const bool selection = clipboard->supportsSelection();
    // Data of the given format, or data that names no format at all (an empty clipboard on X).
    const auto fill = [&](const char* format, const QByteArray& bytes) {
        const auto make = [&] {
            auto* data = new QMimeData;
            if (format) data->setData(QString::fromLatin1(format), bytes);
            return data;
        };
        clipboard->setMimeData(make());
        if (selection) clipboard->setMimeData(make(), QClipboard::Selection);
    };
    const auto pasteEveryWay = [&] {
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
        field->paste(); // what the context menu's paste does
        if (selection) QTest::mouseClick(field->viewport(), Qt::MiddleButton, {}, QPoint(140, 360));
    };

    // No format, bytes of no text, an empty text, then a cleared clipboard.
    const std::pair<const char*, QByteArray> nothing[] = {
        {nullptr, {}}, {"application/octet-stream", QByteArray(3, '\0')}, {"text/plain", ""}, {"", {}}};
    for (const auto& [format, bytes] : nothing) {
        const bool cleared = format && !*format;
        if (cleared) clipboard->clear();
        if (cleared && selection) clipboard->clear(QClipboard::Selection);
        if (!cleared) fill(format, bytes);
        pasteEveryWay();
        EXPECT_EQ(field->Text(), Log(w)) << (format ? format : "no format");
    }
    fill("text/plain", "é");
    pasteEveryWay();
    const QString before = Log(w) + QString(selection ? 4 : 3, QChar(0xE9));
    EXPECT_EQ(field->Text(), before);
    // A megabyte in one line with nowhere to break it goes in whole, as does its redo; once it is
    // undone, words typed wrap as before, never cut at the end of a line.
    const QString line = QString(1 << 20, QLatin1Char('a'));
    clipboard->setText(line);
    const std::pair<QKeySequence::StandardKey, QString> steps[] = {{QKeySequence::Paste, before + line},
                                                                   {QKeySequence::Undo, before},
                                                                   {QKeySequence::Redo, before + line},
                                                                   {QKeySequence::Undo, before}};
    for (const auto& [keys, expected] : steps) {
        QTest::keySequence(field, keys);
        EXPECT_TRUE(field->Text() == expected) << field->Text().size() << " characters";
    }
    QTest::keyClicks(field, QStringLiteral(" le jeton rouge tombe dans la colonne quatre"));
    EXPECT_TRUE(field->Text().endsWith(QStringLiteral("colonne quatre")));
    const QTextBlock typed = field->document()->lastBlock();
    ASSERT_GT(typed.layout()->lineCount(), 1);
    for (int i = 1; i < typed.layout()->lineCount(); ++i)
        EXPECT_EQ(typed.text()[typed.layout()->lineAt(i).textStart() - 1].toLatin1(), ' ')
            << typed.text().toStdString();
    // Qt's own texts in French: the menu the field shows on a right click.
    std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
    QStringList items;
    for (const QAction* item : menu->actions()) items << item->text();
    EXPECT_EQ(items.join('|').toStdString(),
              "&Annuler\tCtrl+Z|&Rétablir\tCtrl+Y||Co&uper\tCtrl+X|Cop&ier\tCtrl+C|"
              "Co&ller\tCtrl+V|Supprimer||Tout sélectionner\tCtrl+A");
    // The next move still puts the whole log back.
    Choose(w, w.MnDuo());
    Play(w, {3});
    EXPECT_EQ(field->Text(), Log(w));
    clipboard->clear();
}

TEST_F(Windows, ADrawDialogClosedByItsBoxStartsNothing) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MnDuo());
    Choose(w, w.MNNewPartie());
    // A fill of the whole board in which no side ever has four.
    Play(w, {6, 4, 6, 2, 3, 0, 0, 2, 1, 6, 6, 2, 4, 6, 4, 5, 3, 6, 1, 5, 1,
             3, 0, 5, 2, 1, 2, 0, 2, 3, 5, 4, 1, 1, 4, 3, 5, 4, 3, 5, 0, 0});
    ASSERT_TRUE(w.TopFinPartie);
    EXPECT_EQ(ExistingWindow<WGagnant>(), nullptr);
    QPointer<WEgalite> dialog = ExistingWindow<WEgalite>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_EQ(dialog->StaticText1->text() + dialog->PushButton1->text(),
              QStringLiteral("Egalité !Nouvelle Partie"));

    CloseBox(*dialog);
    Flush();
    EXPECT_FALSE(dialog);
    EXPECT_TRUE(w.TopFinPartie);
    const QString log = Log(w);
    Play(w, {2});
    EXPECT_EQ(Log(w), log) << "the finished game takes no move";
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), 42);
    Choose(w, w.MNNewPartie());
    EXPECT_FALSE(w.TopFinPartie);
    EXPECT_EQ(CountTokens(w.PPlateau).Total(), 0);
    EXPECT_TRUE(w.Frame().Image() == Scaled(Png(168), QRect(0, 0, 1500, 1300), QSize(672, 590)))
        << "shown empty";
}

TEST_F(Windows, TheTraceWindowFollowsTheComputerAndItsCloseUnticksModeTest) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    auto trace = [&] { return QString::fromStdString(w.PPlateau.TraceText); };
    ASSERT_FALSE(trace().isEmpty()); // the computer's opening move
    w.BtTest->setChecked(true);
    QPointer<WTrace> window = ExistingWindow<WTrace>();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_TRUE(window->ChTrace->isReadOnly());
    EXPECT_EQ(window->ChTrace->Text(), trace());
    Play(w, {0});
    EXPECT_EQ(window->ChTrace->Text(), trace());

    // Unticking the box from the close handler asks the closing window to close again.
    CloseBox(*window);
    EXPECT_FALSE(w.BtTest->isChecked());
    EXPECT_FALSE(w.PWTrace);
    Flush();
    EXPECT_FALSE(window);
    Play(w, {1});
    EXPECT_EQ(ExistingWindow<WTrace>(), nullptr);
}

TEST_F(Windows, AllOpenTheyAreFixedAndNonBlockingAndAtQuitTheirCloseHandlersCreateNothing) {
    LaunchedGame game;
    WKestrova& w = game.Main();
    Choose(w, w.MnJournal());
    w.BtTest->setChecked(true);
    Choose(w, w.MnDuo());
    // Each window's size, then its controls' places, sizes and text sizes.
    const std::tuple<Window*, const char*, bool, const char*> windows[] = {
        {ExistingWindow<WJournal>(), "Journal des Coups", true, "192x407 | 20,14 152x373 10"},
        {ExistingWindow<WTrace>(), "Trace", true, "529x450 | 20,14 489x416 0"},
        {&WindowInstance<WEgalite>(), "Egalité", true, "402x60 | 20,1 198x51 40 #00cc00 | 238,20 144x20 0"},
        {&WindowInstance<WGagnant>(), "Le gagnant est ...", true,
         "330x60 | 166,20 144x20 0 | 20,19 80x20 24 #000000 | 102,11 35x37 0"},
        {ExistingWindow<WQuiDoitJouer>(), "Qui doit jouer", false, "300x35 | 3,0 301x35 0"},
        {&WindowInstance<WNewVersion>(), "Recherche mise à jour", true,
         "412x463 | 20,14 225x20 12 #000000 | 20,38 361x40 30 #000000 | 195,166 196x20 12 | 6,105 397x45 14 "
         "#000000 | 22,166 154x20 12 | 14,202 384x249 12"}};
    for (auto [window, title, closeBox, layout] : windows) {
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(title);
        window->Show();
        EXPECT_EQ(window->Title(), QString::fromUtf8(title));
        EXPECT_EQ(Layout(*window), layout);
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        // What the window manager is told.
        EXPECT_EQ(window->windowHandle()->minimumSize(), window->windowHandle()->maximumSize());
        EXPECT_EQ(window->minimumSize(), window->size());
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(bool(window->windowFlags() & Qt::WindowCloseButtonHint), closeBox);
        EXPECT_FALSE(window->isModal());
        // No background colour of their own: where nothing is drawn, the platform's window colour.
        EXPECT_EQ(window->Content()->grab().toImage().pixelColor(1, 1).name(),
                  window->palette().color(QPalette::Window).name());
    }

    QPointer<WKestrova> main(&w);
    // The real quit, from the program's event loop: it closes the others, after the main window.
    SetDesktop(nullptr);
    QTimer::singleShot(0, [&] { w.Close(); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(ExistingWindow<WKestrova>(), nullptr);
    EXPECT_EQ(WindowSlot<WKestrova>().data(), main.data()) << "no new main window";
    Flush();
    EXPECT_FALSE(main);
    for (QWidget* top : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<Window*>(top), nullptr);
}

} // namespace
