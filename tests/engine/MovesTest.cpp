// Playing moves: the falling token's events, the log, the win and draw tests, new games and
// the calls that must be refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "UnPlateau.h"

namespace {

struct Sink : JournalSink {
    std::vector<std::string> texts;
    void SetText(const std::string& text) override { texts.push_back(text); }
};

class MovesTest : public ::testing::Test {
protected:
    RecordingPlatform platform;
    UnPlateau board{platform};
    std::vector<std::string>& log = platform.calls; // events and platform calls, in order

    void SetUp() override {
        board.MInitPlateau();
        board.MNouvellePartie();
        board.MDessineLaCase = [this](std::int32_t x, std::int32_t y) {
            log.push_back("draw " + std::to_string(x) + " " + std::to_string(y));
        };
        board.MGagnant = [this](bool r, bool b) {
            // The flag is set only once the handler has returned.
            EXPECT_FALSE(board.PTopGagne);
            log.push_back("win " + std::to_string(r) + " " + std::to_string(b));
        };
        board.MEgalite = [this] {
            EXPECT_TRUE(board.PTopEgalite);
            log.push_back("tie");
        };
    }

    void Red(int column) { board.MJoue(column, true, false); }
    void Blue(int column) { board.MJoue(column, false, true); }
    // Plays each column's colours bottom up, column by column.
    void Fill(const std::vector<std::string>& columns) {
        for (std::size_t x = 0; x < columns.size(); ++x)
            for (char c : columns[x])
                board.MJoue(static_cast<std::int32_t>(x), c == 'R', c == 'B');
    }
};

TEST_F(MovesTest, HandlersSeeTheTokenFall) {
    std::vector<std::string> seen; // the drawn cell's colour at each event
    board.MDessineLaCase = [&](std::int32_t x, std::int32_t y) {
        seen.push_back(board.PCase(x, y)->MCouleur());
        EXPECT_EQ(board.PCaseDuHaut[3], board.PCase(3, 1)); // advanced before the first event
    };
    Blue(3);
    EXPECT_EQ(board.PJournal, "-> 4\n");
    EXPECT_EQ(seen,
              (std::vector<std::string>{"Bleu", "Bleu", "", "Bleu", "", "Bleu", "", "Bleu", "", "Bleu", ""}));
    EXPECT_EQ(board.PCaseJouee, board.PCase(3, 0));
    for (int y = 1; y < 6; ++y)
        EXPECT_TRUE(board.PCase(3, y)->MSiVide());
}

TEST_F(MovesTest, EventSequenceFollowsColumnHeight) {
    for (int k = 0; k < 6; ++k) {
        std::vector<std::string> expected{"draw 0 5"};
        for (int r = 4; r >= k; --r) {
            expected.push_back("draw 0 " + std::to_string(r));
            expected.push_back("draw 0 " + std::to_string(r + 1));
        }
        log.clear();
        if (k % 2)
            Red(0);
        else
            Blue(0);
        EXPECT_EQ(log, expected) << k;
        EXPECT_EQ(board.PCaseJouee, board.PCase(0, k));
    }
    EXPECT_EQ(board.PCaseDuHaut[0], board.PCaseALEXTerieur);
    EXPECT_EQ(board.PJournal,
              "-> 1\nRéponse --------> 1\n-> 1\nRéponse --------> 1\n-> 1\nRéponse --------> 1\n");
}

TEST_F(MovesTest, LogUsesThePlatformLineEndAndFeedsTheSink) {
    platform.endOfLine = "\r\n";
    Sink sink;
    board.PChJournal = &sink;
    Red(6);
    Blue(0);
    EXPECT_EQ(board.PJournal, "Réponse --------> 7\r\n-> 1\r\n");
    ASSERT_EQ(sink.texts.size(), 2u);
    EXPECT_EQ(sink.texts[1], board.PJournal);
}

TEST_F(MovesTest, FullColumnOnlyBeeps) {
    Sink sink;
    Fill({"RBRBRB"});
    board.PChJournal = &sink;
    const std::string journal = board.PJournal;
    UneCase* played = board.PCaseJouee;
    log.clear();
    Red(0);
    EXPECT_EQ(log, std::vector<std::string>{"beep"});
    EXPECT_EQ(board.PJournal, journal);
    EXPECT_EQ(board.PCaseJouee, played);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_TRUE(board.PCase(0, 5)->MSiBleu());
}

TEST_F(MovesTest, FourInARowWinsThenEverythingIsIgnored) {
    Red(0);
    Red(1);
    Red(2);
    log.clear();
    Red(3);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "win 1 0");
    EXPECT_EQ(log.back(), "beep");
    EXPECT_TRUE(board.PTopGagne);
    EXPECT_FALSE(board.PTopEgalite);

    const std::string journal = board.PJournal;
    log.clear();
    for (int x = 0; x < 7; ++x)
        Blue(x);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(board.PJournal, journal);
    EXPECT_TRUE(board.PCase(4, 0)->MSiVide());
}

TEST_F(MovesTest, WinsThroughTheCellPlayed) {
    struct Case {
        const char* name;
        std::vector<std::string> setup; // columns bottom up; the last move is below
        int column;
        bool red;
    };
    const std::vector<Case> cases = {
        {"gap filled", {"R", "R", "", "R"}, 2, true},
        {"run of five", {"R", "R", "", "R", "R"}, 2, true},
        {"run of six", {"R", "R", "R", "", "R", "R"}, 3, true},
        {"run of seven", {"B", "B", "B", "", "B", "B", "B"}, 3, false},
        {"vertical", {"", "", "", "BBB"}, 3, false},
        {"rising diagonal", {"R", "BR", "BBR", "BBB"}, 3, true},
        {"falling diagonal", {"BBB", "BBR", "BR", "R"}, 0, true},
    };
    for (const Case& c : cases) {
        board.MNouvellePartie();
        Fill(c.setup);
        ASSERT_FALSE(board.PTopGagne) << c.name;
        log.clear();
        board.MJoue(c.column, c.red, !c.red);
        EXPECT_TRUE(board.PTopGagne) << c.name;
        ASSERT_GE(log.size(), 2u) << c.name;
        EXPECT_EQ(log[log.size() - 2], c.red ? "win 1 0" : "win 0 1") << c.name;
    }
}

TEST_F(MovesTest, NoWinWhenTheRunIsBrokenOrMixed) {
    Fill({"R", "R", "R"});
    Blue(3);                     // blue beside three reds
    Fill({"", "", "", "", "R"}); // red beyond the blue
    EXPECT_FALSE(board.PTopGagne);
    EXPECT_EQ(board.PCaseJouee->CALCCalculAlignMaxMemeCouleur(), 1);
}

TEST_F(MovesTest, FortySecondTokenDrawsOrWins) {
    // Column by column, no four anywhere; the last token is red at (6, 5).
    const std::vector<std::string> draw = {"BRRRBB", "BRBBRB", "RRRBBR", "BBRBRB",
                                           "BRRRBR", "RRBRBB", "BBBRRR"};
    Fill(draw);
    EXPECT_TRUE(board.PTopEgalite);
    EXPECT_FALSE(board.PTopGagne);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "tie");
    EXPECT_EQ(log.back(), "beep");

    board.MNouvellePartie();
    log.clear();
    // The same last cell now completes a vertical four.
    Fill({"BRRBBB", "RBBRRB", "BRRBBR", "RBBRRB", "BRRBRR", "BRBRBB", "BBRRRR"});
    EXPECT_TRUE(board.PTopGagne);
    EXPECT_FALSE(board.PTopEgalite);
    EXPECT_EQ(std::count(log.begin(), log.end(), "tie"), 0);
    EXPECT_EQ(log[log.size() - 2], "win 1 0");
}

TEST_F(MovesTest, NewGameAfterAWin) {
    Sink sink;
    board.PChJournal = &sink;
    board.PNiveau = 1;
    Fill({"R", "R", "R", "R"});
    board.MAutomateSuivant();
    ASSERT_TRUE(board.PTopGagne);
    const std::size_t shown = sink.texts.size();

    board.MNouvellePartie();
    for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(board.PCaseDuHaut[static_cast<std::size_t>(x)], board.PCase(x, 0));
        for (int y = 0; y < 6; ++y)
            EXPECT_TRUE(board.PCase(x, y)->MSiVide());
    }
    EXPECT_EQ(board.PCaseJouee, nullptr);
    EXPECT_FALSE(board.PTopGagne);
    EXPECT_FALSE(board.PTopEgalite);
    EXPECT_EQ(board.PJournal, "");
    EXPECT_EQ(board.TraceText, "");
    EXPECT_EQ(board.PNiveau, 1);
    EXPECT_EQ(board.PChJournal, &sink);
    EXPECT_EQ(sink.texts.size(), shown); // the field keeps the old log until the next move

    Blue(2);
    EXPECT_EQ(sink.texts.back(), "-> 3\n");
}

TEST_F(MovesTest, BadCallsAreRefusedWithoutTrace) {
    Fill({"R", "B"});
    const std::string journal = board.PJournal;
    UneCase* played = board.PCaseJouee;
    log.clear();
    board.MJoue(-1, true, false);
    board.MJoue(7, false, true);
    board.MJoue(1000000, true, false);
    board.MJoue(3, true, true);
    board.MJoue(3, false, false);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(board.PJournal, journal);
    EXPECT_EQ(board.PCaseJouee, played);
    for (int x = 2; x < 7; ++x)
        EXPECT_EQ(board.PCaseDuHaut[static_cast<std::size_t>(x)], board.PCase(x, 0));
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 6; ++y)
            EXPECT_FALSE(board.PCase(x, y)->PRouge && board.PCase(x, y)->PBleu);

    // A full column with a bad colour gets no beep either.
    Fill({"RBRBR"});
    log.clear();
    board.MJoue(0, true, true);
    EXPECT_TRUE(log.empty());
}

TEST_F(MovesTest, AlignmentRunCountsTheCellsOwnColour) {
    auto run = [&](int x, int y) { return board.PCase(x, y)->CALCCalculAlignMaxMemeCouleur(); };
    EXPECT_EQ(run(0, 0), 7); // an empty cell matches empty neighbours
    EXPECT_EQ(board.PCaseALEXTerieur->CALCCalculAlignMaxMemeCouleur(), 0);
    board.PCase(0, 0)->MMettreRouge();
    board.PCase(1, 0)->MMettreRouge();
    board.PCase(3, 0)->MMettreRouge();
    board.PCase(2, 0)->MMettreRouge();
    EXPECT_EQ(run(2, 0), 4);
    board.PCase(4, 0)->MMettreRouge();
    board.PCase(5, 0)->MMettreRouge();
    board.PCase(6, 0)->MMettreRouge();
    EXPECT_EQ(run(3, 0), 7);
    EXPECT_EQ(run(0, 0), 4); // three to the right at most
    board.PCase(3, 0)->MMettreBleu();
    EXPECT_EQ(run(3, 0), 1);
}

} // namespace
