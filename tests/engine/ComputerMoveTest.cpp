// The computer's choice: its trace block, the tick-parity tie rule, full columns and full boards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "UnPlateau.h"

namespace {

class ComputerMoveTest : public ::testing::Test {
protected:
    RecordingPlatform platform;
    UnPlateau board{platform};
    std::vector<std::string>& log = platform.calls;

    void SetUp() override {
        board.MInitPlateau();
        board.MNouvellePartie();
        board.MCaseAJouer = [this](UneCase& c) {
            log.push_back("choose " + std::to_string(c.PX) + " " + std::to_string(c.PY));
        };
        board.MEgalite = [this] { log.push_back("tie"); };
        board.MGagnant = [this](bool, bool) { log.push_back("win"); };
    }
    void Play(const std::string& moves) { // e.g. "0R6R1B": column then colour
        for (std::size_t i = 0; i + 1 < moves.size(); i += 2)
            board.MJoue(moves[i] - '0', moves[i + 1] == 'R', moves[i + 1] == 'B');
    }
    void Fill(const std::vector<std::string>& columns) { // each column bottom up, in turn
        for (std::size_t x = 0; x < columns.size(); ++x)
            for (char c : columns[x])
                board.MJoue(static_cast<std::int32_t>(x), c == 'R', c == 'B');
    }
    static std::string ColumnLine(int k, const std::string& cell,
                                  const std::string& rest = "0/0 ••poss: 0/0•• d2: 0/0•••••fut: 0/0 •• 0/0") {
        return "\n(" + std::to_string(k) + ")--> (" + cell + ")••••max: " + rest;
    }
};

TEST_F(ComputerMoveTest, EmptyBoardBlockAtEveryLevelAndParity) {
    std::string block = "\nNbRouge/NbBleu";
    for (int x = 0; x < 7; ++x)
        block += ColumnLine(x + 1, std::to_string(x) + "-0");
    block += "\n";
    for (int x = 0; x < 7; ++x)
        block += "• score (" + std::to_string(x + 1) + ") • 1\n";
    block += "•••••Choix : 4\n";

    for (std::int32_t level : {0, 1, 2}) {
        for (std::int64_t ticks : {0, 1, -7}) {
            board.MNouvellePartie();
            log.clear();
            board.PNiveau = level;
            platform.ticks = ticks;
            board.MAutomateSuivant();
            EXPECT_EQ(board.TraceText, block) << level << " " << ticks;
            EXPECT_EQ(log, std::vector<std::string>{"choose 3 0"});
            for (int x = 0; x < 7; ++x) {
                EXPECT_EQ(board.PCaseFuture[static_cast<std::size_t>(x)], board.PCase(x, 1));
                EXPECT_TRUE(board.PCase(x, 0)->MSiVide()); // choosing plays nothing
            }
        }
    }
}

TEST_F(ComputerMoveTest, BlocksAccumulateUntilANewGame) {
    platform.endOfLine = "\r\n";
    Play("3B");
    board.MAutomateSuivant();
    const std::string first = board.TraceText;
    board.MAutomateSuivant();
    EXPECT_EQ(board.TraceText, first + first); // same position, same block
    EXPECT_EQ(first.rfind("\r\nNbRouge/NbBleu\r\n(1)--> (0-0)", 0), 0u);
    EXPECT_EQ(first.find('\n'), first.find("\r\n") + 1); // every line end is the platform's

    board.MNouvellePartie();
    board.MAutomateSuivant();
    EXPECT_EQ(board.TraceText.rfind("\r\nNbRouge/NbBleu", 0), 0u);
}

TEST_F(ComputerMoveTest, TickParityDecidesTies) {
    // Columns 2 and 4 tie at 108 above column 3's 1.
    Play("0R6R1B5B2R4R");
    platform.ticks = 10;
    board.MAutomateSuivant();
    EXPECT_EQ(board.PCase(2, 1)->PScore, 108);
    EXPECT_EQ(board.PCase(4, 1)->PScore, 108);
    EXPECT_EQ(board.PCase(3, 0)->PScore, 1);
    EXPECT_EQ(log.back(), "choose 2 1");
    EXPECT_NE(board.TraceText.find("•••••Choix : 3\n"), std::string::npos);
    platform.ticks = 11;
    board.MAutomateSuivant();
    EXPECT_EQ(log.back(), "choose 4 1");

    // Columns 0 and 6 both complete four for red.
    board.MNouvellePartie();
    Play("0R6R6R0R0R6R");
    platform.ticks = 2;
    board.MAutomateSuivant();
    EXPECT_EQ(log.back(), "choose 0 3");
    platform.ticks = 3;
    board.MAutomateSuivant();
    EXPECT_EQ(log.back(), "choose 6 3");
}

TEST_F(ComputerMoveTest, FullColumnIsTracedButNeverScoredOrChosen) {
    Play("3R3B3R3B3R3B0B0B");
    board.MAutomateSuivant();
    const std::string& t = board.TraceText;
    EXPECT_NE(t.find(ColumnLine(4, "-1--1")), std::string::npos);
    EXPECT_EQ(t.find("• score (4)"), std::string::npos);
    EXPECT_NE(log.back(), "choose -1 -1");
    EXPECT_EQ(board.PCaseFuture[3], board.PCaseALEXTerieur);
}

TEST_F(ComputerMoveTest, PlayableCellOnTheTopRowHasNoFuture) {
    Play("0R0B0R0B0R");
    board.MAutomateSuivant();
    const std::string& t = board.TraceText;
    const std::size_t line = t.find("\n(1)--> (0-5)");
    ASSERT_NE(line, std::string::npos);
    const std::size_t fut = t.find("•••••fut: ", line);
    EXPECT_EQ(t.substr(fut, t.find('\n', fut) - fut), "•••••fut: 0/0 •• 0/0");
    EXPECT_EQ(board.PCaseFuture[0], board.PCaseALEXTerieur);
}

TEST_F(ComputerMoveTest, FullBoardAfterADraw) {
    Fill({"BRRRBB", "BRBBRB", "RRRBBR", "BBRBRB", "BRRRBR", "RRBRBB", "BBBRRR"});
    ASSERT_TRUE(board.PTopEgalite);
    ASSERT_FALSE(board.PTopGagne);
    const std::string before = board.TraceText;
    log.clear();
    board.MAutomateSuivant();
    EXPECT_EQ(board.TraceText, before + "\nNbRouge/NbBleu");
    EXPECT_EQ(log, (std::vector<std::string>{"tie", "beep"}));
    EXPECT_TRUE(board.PTopEgalite);
}

TEST_F(ComputerMoveTest, FullBoardAfterAWin) {
    Fill({"BRRBBB", "RBBRRB", "BRRBBR", "RBBRRB", "BRRBRR", "BRBRBB", "BBRRRR"});
    ASSERT_TRUE(board.PTopGagne);
    log.clear();
    board.MAutomateSuivant();
    EXPECT_EQ(board.TraceText, "\nNbRouge/NbBleu");
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(board.PTopEgalite);
}

TEST_F(ComputerMoveTest, WonGameStillChooses) {
    Play("0R1R2R3R");
    ASSERT_TRUE(board.PTopGagne);
    log.clear();
    board.MAutomateSuivant();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("choose", 0), 0u);
}

} // namespace
