// The cell measures: runs, tokens with room, three-token threats, line widths and framed runs.
#include <tuple>

#include "EngineTest.h"

namespace {

using MeasuresTest = EngineTest;

// A cell's evaluation, red/blue, "+" when several lines share the best.
std::string Measures(const UneCase& c) {
    auto pair = [](std::int32_t r, bool rm, std::int32_t b, bool bm) {
        return std::to_string(r) + (rm ? "+" : "") + "/" + std::to_string(b) + (bm ? "+" : "");
    };
    return "max " + pair(c.PCalcMaxRouge, c.PCalcMaxRougeMult, c.PCalcMaxBleu, c.PCalcMaxBleuMult) +
           " poss " +
           pair(c.PCalcPossibleRouge, c.PCalcPossibleRougeMult, c.PCalcPossibleBleu,
                c.PCalcPossibleBleuMult) +
           " d2 " + pair(c.PCalcDanger2Rouge, false, c.PCalcDanger2Bleu, false);
}

TEST_F(MeasuresTest, WorkedPositions) {
    struct Case {
        const char* tokens;
        int x, y;
        bool future;
        const char* measures;
    };
    const std::vector<Case> cases = {
        // Runs adjoining the cell; a tie needs two lines at the best, all-zero lines tie.
        {"R10 R20 R40", 3, 0, false, "max 3/0+ poss 3/0+ d2 0/0"},
        {"R10 R20 R41 R52 B40 B50 B51", 3, 0, false, "max 2+/2 poss 2+/2 d2 0/1"},
        {"", 3, 3, false, "max 0+/0+ poss 0+/0+ d2 0/0"},
        // Tokens with room; a line without room takes no part.
        {"R10 B50", 3, 0, false, "max 0+/0+ poss 1/1 d2 0/0"},
        {"B20", 0, 0, false, "max 0+/0+ poss 0+/1 d2 0/0"},
        {"R04 R14", 0, 5, false, "max 1+/0+ poss 1+/0+ d2 0/0"},
        {"B10 B01 B11", 0, 0, false, "max 0+/1+ poss 0/1+ d2 0/0"},
        // A future cell leaves its vertical line out.
        {"R00 R01", 0, 2, false, "max 2/0+ poss 2/0+ d2 0/0"},
        {"R00 R01", 0, 3, true, "max 0+/0+ poss 0+/0+ d2 0/0"},
        {"R00 R01", 0, 3, false, "max 0+/0+ poss 2/0+ d2 0/0"},
        // Red threats: both ends empty and on the board; split patterns count.
        {"R10 R20", 3, 0, false, "max 2/0+ poss 2/0+ d2 10/0"},
        {"R10 R20", 0, 0, false, "max 2/0+ poss 2/0+ d2 0/0"},
        {"R10 R20 B40", 3, 0, false, "max 2/1 poss 2/1 d2 0/0"},
        {"B00 R10 R20", 3, 0, false, "max 2/0+ poss 2/0+ d2 0/0"},
        {"R20 R40 B50", 3, 0, false, "max 2/0+ poss 2/0+ d2 0/0"},
        {"R22 R42 R21 R43", 3, 2, false, "max 2+/0+ poss 2+/0+ d2 10/0"},
        // Blue threats count lines; the near end is not examined, the vertical line is not one.
        {"B10 B20 R40", 3, 0, false, "max 1/2 poss 1/2 d2 0/1"},
        {"B20 B40 R50", 3, 0, false, "max 0+/2 poss 0+/2 d2 0/0"},
        {"B10", 3, 0, false, "max 0+/0+ poss 0+/1 d2 0/0"},
        {"B10 B20", 0, 0, false, "max 0+/2 poss 0+/2 d2 0/1"},
        {"B10 B20 R30", 0, 0, false, "max 0+/2 poss 0+/0+ d2 0/0"}, // the far end must be blank
        {"B30 B31 B32", 3, 3, false, "max 0+/3 poss 0+/3 d2 0/0"},
        {"B12 B22 B43 B54 B23 B14", 3, 2, false, "max 0+/2+ poss 0+/2+ d2 0/3"},
        {"B10 B20 B40 B50", 3, 0, false, "max 0+/4 poss 0+/4 d2 0/1"},
    };
    for (const Case& c : cases) {
        board.MInitPlateau();
        Put(c.tokens);
        At(c.x, c.y).MCalculPosition(c.future);
        EXPECT_EQ(At(c.x, c.y).PTopCaseFuture, c.future);
        EXPECT_EQ(Measures(At(c.x, c.y)), c.measures) << c.tokens << " at " << c.x << "," << c.y;
    }
}

// Widths of one line, named by its letter, for red and for blue; a wrong letter stops the game.
TEST_F(MeasuresTest, LineWidths) {
    // Tokens, the cell, the letters, and the widths for red / for blue in the letters' order.
    const std::vector<std::tuple<const char*, int, int, const char*, const char*>> cases = {
        {"", 0, 0, "HVMD", "4441/4441"}, {"", 3, 2, "HVDM", "7666/7666"},
        {"B10", 3, 0, "H", "5/7"}, // the other colour ends a side, one's own colour is room
        {"R30", 3, 0, "H", "7/7"}, // the cell's own token is not looked at
        {"B43", 3, 2, "MD", "36/66"},
    };
    for (auto [tokens, x, y, letters, widths] : cases) {
        board.MInitPlateau();
        Put(tokens);
        std::string red, blue;
        for (const char letter : std::string(letters)) {
            red += std::to_string(At(x, y).mLargeurRouge(std::string(1, letter)));
            blue += std::to_string(At(x, y).mLargeurBleu(std::string(1, letter)));
        }
        EXPECT_EQ(red + "/" + blue, widths) << tokens << " at " << x << "," << y;
    }
    log.clear();
    EXPECT_EQ(At(3, 0).mLargeurRouge("X") + At(3, 0).mLargeurBleu(""), 0);
    const std::string stop = "msgbox Mauvais Paramètre : H,V,D,M !";
    EXPECT_EQ(log, (std::vector<std::string>{stop, "quit 0", stop, "quit 0"}));
}

// The framed run: the longest run of a colour beside the cell, and the same run with the blank
// that ends each side, red then blue.
TEST_F(MeasuresTest, FramedRuns) {
    Put("R20 R40 R50 B31");
    UneCase& c = At(3, 0);
    c.CALCMaxEncadrBlanc();
    EXPECT_EQ((std::vector<int>{c.PCalcMaxEncadrRouge, c.PCalcMaxEncadrBLRouge, c.PCalcMaxEncadrBleu,
                                c.PCalcMaxEncadrBLBleu}),
              (std::vector<int>{3, 5, 1, 2}));
}

// The outside cell measures nothing.
TEST_F(MeasuresTest, OutsideCell) {
    UneCase& o = *board.PCaseALEXTerieur;
    o.PCalcMaxRouge = o.PCalcMaxBleu = o.PCalcPossibleRouge = o.PCalcPossibleBleu = 5;
    o.PCalcMaxRougeMult = o.PCalcMaxBleuMult = o.PCalcPossibleRougeMult = o.PCalcPossibleBleuMult = true;
    o.PCalcDanger2Rouge = o.PCalcDanger2Bleu = o.PCalcMaxEncadrRouge = o.PCalcMaxEncadrBLBleu = 3;
    o.MCalculPosition(true);
    o.CALCMaxEncadrBlanc();
    EXPECT_TRUE(o.PTopCaseFuture);
    EXPECT_EQ(Measures(o), "max 0/0 poss 0/0 d2 0/0");
    EXPECT_EQ(o.PCalcMaxEncadrRouge + o.PCalcMaxEncadrBLBleu, 0);
}

} // namespace
