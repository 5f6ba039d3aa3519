// The board and its moves: links, the falling token's events, the log, wins and draws, new games
// and the calls that must be refused.
#include <array>
#include <tuple>

#include "EngineTest.h"

namespace {

struct Sink : JournalSink {
    std::vector<std::string> texts;
    void SetText(const std::string& text) override { texts.push_back(text); }
};

using BoardTest = EngineTest;

// Calls before the init would read an empty grid: they do nothing and raise nothing.
TEST(BoardBeforeInit, HasNoCellsAndIgnoresOperations) {
    RecordingPlatform platform;
    UnPlateau board(platform);
    EXPECT_EQ(board.PCase(0, 0), nullptr);
    EXPECT_EQ(board.PCaseALEXTerieur, nullptr);
    bool raised = false;
    board.MDessineLaCase = [&](std::int32_t, std::int32_t) { raised = true; };
    board.MCaseAJouer = [&](UneCase&) { raised = true; };
    board.MJoue(3, true, false);
    board.MAutomateSuivant();
    board.MNouvellePartie();
    EXPECT_FALSE(raised);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(board.PJournal.empty() && board.TraceText.empty());
    // The init alone readies the playable cells, before any new game.
    board.MInitPlateau();
    for (std::size_t x = 0; x < 7; ++x) EXPECT_EQ(board.PCaseDuHaut[x], board.PCase(int(x), 0));
}

TEST_F(BoardTest, LinksLeadToTheNeighbourOrTheOutsideCell) {
    UneCase* out = board.PCaseALEXTerieur;
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->PTopALExterieur && out->PX == -1 && out->PY == -1);
    using Link = std::tuple<UneCase * UneCase::*, int, int>;
    const Link links[] = {{&UneCase::PCaseHorMoins, -1, 0},  {&UneCase::PCaseHorPlus, 1, 0},
                          {&UneCase::PCaseVerMoins, 0, -1},  {&UneCase::PCaseVerPlus, 0, 1},
                          {&UneCase::PCaseMonMoins, -1, -1}, {&UneCase::PCaseMonPlus, 1, 1},
                          {&UneCase::PCaseDesPlus, -1, 1},   {&UneCase::PCaseDesMoins, 1, -1}};
    for (auto [link, dx, dy] : links) EXPECT_EQ(out->*link, out);
    for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(board.PCaseDuHaut[static_cast<std::size_t>(x)], &At(x, 0));
        for (int y = 0; y < 6; ++y) {
            UneCase& c = At(x, y);
            EXPECT_TRUE(c.PX == x && c.PY == y && !c.PTopALExterieur);
            for (auto [link, dx, dy] : links) {
                UneCase* target = board.PCase(x + dx, y + dy);
                EXPECT_EQ(c.*link, target ? target : out) << x << "," << y << " d" << dx << "," << dy;
            }
        }
    }
    EXPECT_EQ(board.PTabInd, (std::array<std::int32_t, 7>{3, 2, 4, 1, 5, 0, 6}));

    // The outside cell never takes a token and matches nothing.
    out->MMettreRouge();
    out->MMettreBleu();
    out->MMettreCouleur(true, false);
    EXPECT_TRUE(out->MSiVide());
    EXPECT_FALSE(out->PRouge || out->PBleu || out->MSiOccup() || out->MSiPasRouge() || out->MSiPasBleu() ||
                 out->mSiPurBlanc());
    EXPECT_EQ(out->MCouleur(), "");
    EXPECT_EQ(out->CALCCalculAlignMaxMemeCouleur(), 0);
    EXPECT_EQ(At(0, 0).CALCCalculAlignMaxMemeCouleur(), 7); // an empty cell matches empty neighbours
}

TEST_F(BoardTest, TokenFallsCellByCellAndTheLogFollows) {
    platform.endOfLine = "\r\n";
    Sink sink;
    board.PChJournal = &sink;
    int height = 0;
    board.MDessineLaCase = [&](std::int32_t x, std::int32_t y) {
        log.push_back(Event("draw", x, y) + " " + At(x, y).MCouleur());
        // The column's top advances before the first event.
        EXPECT_EQ(board.PCaseDuHaut[0], height < 5 ? &At(0, height + 1) : board.PCaseALEXTerieur);
    };
    for (; height < 6; ++height) {
        const std::string colour = height % 2 ? "Rouge" : "Bleu";
        std::vector<std::string> expected{"draw 0 5 " + colour};
        for (int r = 4; r >= height; --r) {
            expected.push_back("draw 0 " + std::to_string(r) + " " + colour);
            expected.push_back("draw 0 " + std::to_string(r + 1) + " ");
        }
        log.clear();
        board.MJoue(0, height % 2, !(height % 2));
        EXPECT_EQ(log, expected) << height;
        EXPECT_EQ(board.PCaseJouee, &At(0, height));
    }
    const std::string journal = "-> 1\r\nRéponse --------> 1\r\n-> 1\r\nRéponse --------> 1\r\n-> 1\r\n"
                                "Réponse --------> 1\r\n";
    EXPECT_EQ(board.PJournal, journal);
    EXPECT_EQ(sink.texts.size(), 6u);
    EXPECT_EQ(sink.texts.back(), journal);

    // A full column only beeps.
    log.clear();
    board.MJoue(0, true, false);
    EXPECT_EQ(log, std::vector<std::string>{"beep"});
    EXPECT_EQ(board.PJournal, journal);
    EXPECT_EQ(board.PCaseJouee, &At(0, 5));
    EXPECT_EQ(sink.texts.size(), 6u);
}

TEST_F(BoardTest, WinsAndDrawsThroughTheCellPlayed) {
    struct Case {
        const char* name;
        const char* setup;   // columns bottom up
        std::string last;    // the move that ends the case
        const char* outcome; // the event before the beep, or "" for none
        int run;             // the run through the cell played
    };
    const std::vector<Case> cases = {
        {"bottom row", "R R R", "3R", "win 1 0", 4},
        {"gap filled", "R R . R", "2R", "win 1 0", 4},
        {"run of five", "R R . R R", "2R", "win 1 0", 5},
        {"run of six", "R R R . R R", "3R", "win 1 0", 6},
        {"run of seven", "B B B . B B B", "3B", "win 0 1", 7},
        {"vertical", ". . . BBB", "3B", "win 0 1", 4},
        {"rising diagonal", "R BR BBR BBB", "3R", "win 1 0", 4},
        {"falling diagonal", "BBB BBR BR R", "0R", "win 1 0", 4},
        {"broken by the other colour", "R R R B", "4R", "", 1},
        {"42nd token, no four", "BRRRBB BRBBRB RRRBBR BBRBRB BRRRBR RRBRBB BBBRR", "6R", "tie", 3},
        {"42nd token makes four", "BRRBBB RBBRRB BRRBBR RBBRRB BRRBRR BRBRBB BBRRR", "6R", "win 1 0", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board.MNouvellePartie();
        Fill(c.setup);
        ASSERT_FALSE(board.PTopGagne);
        log.clear();
        Play(c.last);
        EXPECT_EQ(board.PTopGagne, std::string(c.outcome).rfind("win", 0) == 0);
        EXPECT_EQ(board.PTopEgalite, c.outcome == std::string("tie"));
        ASSERT_GE(log.size(), 2u);
        // A win or a draw ends the log with its event and a beep; a game that goes on, with a drawing.
        EXPECT_EQ(*c.outcome ? log[log.size() - 2] + " " + log.back() : log.back().substr(0, 4),
                  *c.outcome ? std::string(c.outcome) + " beep" : "draw");
        EXPECT_EQ(board.PCaseJouee->CALCCalculAlignMaxMemeCouleur(), c.run);
        if (!*c.outcome) continue;
        // After a win or a draw every move is ignored, without a beep even for a full column.
        const std::string journal = board.PJournal;
        log.clear();
        Play("0B1B2B3B4B5B6B");
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(board.PJournal, journal);
    }
}

TEST_F(BoardTest, NewGameAfterAWin) {
    Sink sink;
    board.PChJournal = &sink;
    board.PNiveau = 1;
    Play("0R1R2R3R");
    board.MAutomateSuivant();
    const std::size_t shown = sink.texts.size();

    board.MNouvellePartie();
    for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(board.PCaseDuHaut[static_cast<std::size_t>(x)], &At(x, 0));
        for (int y = 0; y < 6; ++y) EXPECT_TRUE(At(x, y).MSiVide());
    }
    EXPECT_EQ(board.PCaseJouee, nullptr);
    EXPECT_FALSE(board.PTopGagne || board.PTopEgalite);
    EXPECT_EQ(board.PJournal + board.TraceText, "");
    EXPECT_EQ(board.PNiveau, 1);
    EXPECT_EQ(sink.texts.size(), shown); // the field keeps the old log until the next move
    Play("2B");
    EXPECT_EQ(sink.texts.back(), "-> 3\n");
}

TEST_F(BoardTest, BadCallsAreRefusedWithoutTrace) {
    Play("0R1B0R0B0R0B");
    const std::string journal = board.PJournal;
    UneCase* played = board.PCaseJouee;
    log.clear();
    // Columns off the board, two colours or none; a full column with a bad colour gets no beep either.
    const std::tuple<int, bool, bool> calls[] = {{-1, true, false}, {7, false, true},  {1000000, true, false},
                                                 {3, true, true},   {3, false, false}, {0, true, true}};
    for (const auto& [x, red, blue] : calls) board.MJoue(x, red, blue);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(board.PJournal, journal);
    EXPECT_EQ(board.PCaseJouee, played);
    for (int x = 2; x < 7; ++x) EXPECT_EQ(board.PCaseDuHaut[static_cast<std::size_t>(x)], &At(x, 0));
}

} // namespace
