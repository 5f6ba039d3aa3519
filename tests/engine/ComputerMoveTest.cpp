// The computer's choice: its trace block, the tick-parity tie rule, full columns and full boards.
#include "EngineTest.h"

namespace {

using ComputerMoveTest = EngineTest;

std::string ColumnLine(int k, const std::string& cell,
                       const std::string& rest = "0/0 ••poss: 0/0•• d2: 0/0•••••fut: 0/0 •• 0/0") {
    return "\n(" + std::to_string(k) + ")--> (" + cell + ")••••max: " + rest;
}

TEST_F(ComputerMoveTest, EmptyBoardBlockAtEveryLevelAndParityAndBlocksAccumulate) {
    std::string block = "\nNbRouge/NbBleu";
    for (int x = 0; x < 7; ++x) block += ColumnLine(x + 1, std::to_string(x) + "-0");
    block += "\n";
    for (int x = 0; x < 7; ++x) block += "• score (" + std::to_string(x + 1) + ") • 1\n";
    block += "•••••Choix : 4\n";
    for (std::int32_t level : {0, 1, 2}) {
        for (std::int64_t ticks : {0, 1, -7}) {
            board.MNouvellePartie();
            log.clear();
            board.PNiveau = level;
            platform.ticks = ticks;
            board.MAutomateSuivant();
            EXPECT_EQ(board.TraceText, block) << level << " " << ticks;
            EXPECT_EQ(log, std::vector<std::string>{"choose 3 0"}); // choosing plays nothing
            EXPECT_EQ(board.PCaseFuture[6], &At(6, 1));
        }
    }
    board.MAutomateSuivant(); // blocks pile up until a new game
    EXPECT_EQ(board.TraceText, block + block);

    // Every line end is the platform's.
    platform.endOfLine = "\r\n";
    board.MNouvellePartie();
    board.MAutomateSuivant();
    EXPECT_EQ(board.TraceText.rfind("\r\nNbRouge/NbBleu\r\n(1)--> (0-0)", 0), 0u);
    EXPECT_EQ(board.TraceText.find('\n'), board.TraceText.find("\r\n") + 1);
}

TEST_F(ComputerMoveTest, TickParityDecidesTies) {
    // The moves, an even tick count, and the choices at it and at the next, odd one.
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"0R6R6R0R0R6R", 2, "choose 0 3", "choose 6 3"},  // columns 0 and 6 both complete four for red
        {"0R6R1B5B2R4R", 10, "choose 2 1", "choose 4 1"}, // columns 2 and 4 tie at 108, above column 3's 1
    };
    for (const auto& [moves, ticks, even, odd] : cases) {
        board.MNouvellePartie();
        Play(moves);
        for (const int t : {ticks, ticks + 1}) {
            platform.ticks = t;
            board.MAutomateSuivant();
            EXPECT_EQ(log.back(), t == ticks ? even : odd) << moves;
        }
    }
    EXPECT_EQ((std::vector<int>{At(2, 1).PScore, At(4, 1).PScore, At(3, 0).PScore}),
              (std::vector<int>{108, 108, 1}));
    EXPECT_NE(board.TraceText.find("•••••Choix : 3\n"), std::string::npos);
}

TEST_F(ComputerMoveTest, FullColumnAndTopRowHaveNoFuture) {
    Play("3R3B3R3B3R3B0B0B0R0B0R1R2R"); // only (4,0) completes red's four
    board.MAutomateSuivant();
    const std::string& t = board.TraceText;
    EXPECT_NE(t.find(ColumnLine(4, "-1--1")), std::string::npos); // traced, never scored or chosen
    EXPECT_EQ(t.find("• score (4)"), std::string::npos);
    EXPECT_EQ(log.back(), "choose 4 0");
    EXPECT_EQ(board.PCaseFuture[3], board.PCaseALEXTerieur);

    // (0,5): one red below it, room for red on the falling diagonal and for blue along row 5.
    EXPECT_NE(t.find(ColumnLine(1, "0-5", "1/0 ••poss: 1/1•• d2: 0/0•••••fut: 0/0 •• 0/0\n")),
              std::string::npos);
    EXPECT_EQ(board.PCaseFuture[0], board.PCaseALEXTerieur);

    // The cell above a playable cell leaves its column out: (0,3) over two reds counts none.
    board.MNouvellePartie();
    Play("0R0R");
    board.MAutomateSuivant();
    EXPECT_NE(t.find(ColumnLine(1, "0-2", "2/0 ••poss: 2/0•• d2: 0/0•••••fut: 0/0 •• 0/0\n")),
              std::string::npos);
}

TEST_F(ComputerMoveTest, WonGameStillChoosesUntilTheBoardIsFull) {
    Play("0R1R2R3R");
    log.clear();
    board.MAutomateSuivant();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("choose", 0), 0u);

    // A full board after a win: a header-only block and nothing else.
    board.MNouvellePartie();
    Fill("BRRBBB RBBRRB BRRBBR RBBRRB BRRBRR BRBRBB BBRRRR");
    ASSERT_TRUE(board.PTopGagne);
    log.clear();
    board.MAutomateSuivant();
    EXPECT_EQ(board.TraceText, "\nNbRouge/NbBleu");
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(board.PTopEgalite);
}

} // namespace
