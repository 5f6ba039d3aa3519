// The cell measures: widths, runs, tokens with room, three-token threats and framed runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "UnPlateau.h"

namespace {

class MeasuresTest : public ::testing::Test {
protected:
    RecordingPlatform platform;
    UnPlateau board{platform};

    void SetUp() override { board.MInitPlateau(); }
    UneCase& At(int x, int y) { return *board.PCase(x, y); }
    void Red(std::vector<std::pair<int, int>> cells) {
        for (auto [x, y] : cells)
            At(x, y).MMettreRouge();
    }
    void Blue(std::vector<std::pair<int, int>> cells) {
        for (auto [x, y] : cells)
            At(x, y).MMettreBleu();
    }
    UneCase& Evaluated(int x, int y, bool future = false) {
        UneCase& c = At(x, y);
        c.MCalculPosition(future);
        return c;
    }
};

TEST_F(MeasuresTest, WidthsOnAnEmptyBoard) {
    struct W {
        int x, y;
        const char* dir;
        int width;
    };
    for (W w : {W{3, 0, "H", 7}, W{0, 0, "H", 4}, W{0, 0, "V", 4}, W{0, 0, "M", 4}, W{0, 0, "D", 1},
                W{3, 2, "H", 7}, W{3, 2, "V", 6}, W{3, 2, "D", 6}, W{3, 2, "M", 6}}) {
        EXPECT_EQ(At(w.x, w.y).mLargeurRouge(w.dir), w.width) << w.x << "," << w.y << " " << w.dir;
        EXPECT_EQ(At(w.x, w.y).mLargeurBleu(w.dir), w.width) << w.x << "," << w.y << " " << w.dir;
    }
    for (const char* d : {"H", "V", "D", "M"}) {
        EXPECT_EQ(board.PCaseALEXTerieur->mLargeurRouge(d), 1);
        EXPECT_EQ(board.PCaseALEXTerieur->mLargeurBleu(d), 1);
    }
}

TEST_F(MeasuresTest, WidthsStopAtTheOpponentButNotAtTheCellItself) {
    Blue({{1, 0}});
    EXPECT_EQ(At(3, 0).mLargeurRouge("H"), 5);
    EXPECT_EQ(At(3, 0).mLargeurBleu("H"), 7);
    Red({{3, 0}});
    EXPECT_EQ(At(3, 0).mLargeurBleu("H"), 7);
}

TEST_F(MeasuresTest, WrongDirectionLetterAsksToQuit) {
    EXPECT_EQ(At(3, 0).mLargeurRouge("X"), 0);
    EXPECT_EQ(At(3, 0).mLargeurBleu(""), 0);
    EXPECT_EQ(At(3, 0).mLargeurRouge("HV"), 0);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"msgbox Mauvais Paramètre : H,V,D,M !", "quit 0",
                                                        "msgbox Mauvais Paramètre : H,V,D,M !", "quit 0",
                                                        "msgbox Mauvais Paramètre : H,V,D,M !", "quit 0"}));
}

TEST_F(MeasuresTest, RunsAdjoiningTheCell) {
    Red({{1, 0}, {2, 0}, {4, 0}});
    UneCase& c = Evaluated(3, 0);
    EXPECT_EQ(c.PCalcMaxRouge, 3);
    EXPECT_FALSE(c.PCalcMaxRougeMult);
    EXPECT_EQ(c.PCalcMaxBleu, 0);
    EXPECT_TRUE(c.PCalcMaxBleuMult); // every line counts 0: a tie at 0
}

TEST_F(MeasuresTest, RunTieFlagNeedsTwoLinesAtTheBest) {
    Red({{1, 0}, {2, 0}, {4, 1}, {5, 2}});
    Blue({{4, 0}, {5, 0}, {5, 1}});
    UneCase& c = Evaluated(3, 0);
    EXPECT_EQ(c.PCalcMaxRouge, 2);
    EXPECT_TRUE(c.PCalcMaxRougeMult);
    EXPECT_EQ(c.PCalcMaxBleu, 2);
    EXPECT_FALSE(c.PCalcMaxBleuMult);
}

TEST_F(MeasuresTest, OutsideCellIsZeroedEmptyLinesTie) {
    UneCase& o = *board.PCaseALEXTerieur;
    o.PCalcMaxRouge = o.PCalcMaxBleu = o.PCalcPossibleRouge = o.PCalcPossibleBleu = 5;
    o.PCalcMaxRougeMult = o.PCalcMaxBleuMult = o.PCalcPossibleRougeMult = o.PCalcPossibleBleuMult = true;
    o.PCalcDanger2Rouge = o.PCalcDanger2Bleu = 3;
    o.MCalculPosition(true);
    EXPECT_TRUE(o.PTopCaseFuture);
    for (std::int32_t v : {o.PCalcMaxRouge, o.PCalcMaxBleu, o.PCalcPossibleRouge, o.PCalcPossibleBleu,
                           o.PCalcDanger2Rouge, o.PCalcDanger2Bleu})
        EXPECT_EQ(v, 0);
    for (bool f :
         {o.PCalcMaxRougeMult, o.PCalcMaxBleuMult, o.PCalcPossibleRougeMult, o.PCalcPossibleBleuMult})
        EXPECT_FALSE(f);

    UneCase& c = Evaluated(3, 3);
    EXPECT_EQ(c.PCalcMaxRouge, 0);
    EXPECT_TRUE(c.PCalcMaxRougeMult);
    EXPECT_TRUE(c.PCalcMaxBleuMult);
}

TEST_F(MeasuresTest, TokensWithRoom) {
    Red({{1, 0}});
    Blue({{5, 0}});
    UneCase& c = Evaluated(3, 0);
    EXPECT_EQ(c.PCalcPossibleRouge, 1);
    EXPECT_FALSE(c.PCalcPossibleRougeMult);
    EXPECT_EQ(c.PCalcPossibleBleu, 1);
    EXPECT_FALSE(c.PCalcPossibleBleuMult);
    EXPECT_EQ(c.PCalcMaxRouge, 0);
    EXPECT_TRUE(c.PCalcMaxRougeMult);
    EXPECT_TRUE(c.PCalcMaxBleuMult);
}

TEST_F(MeasuresTest, LinesWithoutRoomDoNotTakePart) {
    Blue({{2, 0}});
    UneCase& corner = Evaluated(0, 0);
    EXPECT_EQ(corner.PCalcPossibleRouge, 0);
    EXPECT_TRUE(corner.PCalcPossibleRougeMult);
    EXPECT_EQ(corner.PCalcPossibleBleu, 1);
    EXPECT_FALSE(corner.PCalcPossibleBleuMult);

    Red({{0, 4}, {1, 4}});
    UneCase& top = Evaluated(0, 5);
    EXPECT_EQ(top.PCalcPossibleBleu, 0);
    EXPECT_TRUE(top.PCalcPossibleBleuMult); // one line took part, with 0

    // Walled in on every line: no line takes part for red.
    board.MInitPlateau();
    Blue({{1, 0}, {0, 1}, {1, 1}});
    UneCase& walled = Evaluated(0, 0);
    EXPECT_EQ(walled.PCalcPossibleRouge, 0);
    EXPECT_FALSE(walled.PCalcPossibleRougeMult);
}

TEST_F(MeasuresTest, FutureCellLeavesTheVerticalLineOut) {
    Red({{0, 0}, {0, 1}});
    UneCase& playable = Evaluated(0, 2);
    EXPECT_EQ(playable.PCalcMaxRouge, 2);
    EXPECT_EQ(playable.PCalcPossibleRouge, 2);
    UneCase& above = Evaluated(0, 3, true);
    EXPECT_TRUE(above.PTopCaseFuture);
    EXPECT_EQ(above.PCalcPossibleRouge, 0);
    EXPECT_TRUE(above.PCalcPossibleRougeMult);
    Evaluated(0, 3, false);
    EXPECT_EQ(above.PCalcPossibleRouge, 2);
}

TEST_F(MeasuresTest, RedThreats) {
    Red({{1, 0}, {2, 0}});
    EXPECT_EQ(Evaluated(3, 0).PCalcDanger2Rouge, 10);
    EXPECT_EQ(At(3, 0).PCalcDanger2Bleu, 0);
    EXPECT_EQ(Evaluated(0, 0).PCalcDanger2Rouge, 0); // position -1 is off the board
    Blue({{4, 0}});
    EXPECT_EQ(Evaluated(3, 0).PCalcDanger2Rouge, 0); // both ends must be empty

    // Split patterns on two lines still give 10.
    board.MInitPlateau();
    Red({{2, 2}, {4, 2}, {2, 1}, {4, 3}});
    EXPECT_EQ(Evaluated(3, 2).PCalcDanger2Rouge, 10);
}

TEST_F(MeasuresTest, BlueThreatsCountLines) {
    Blue({{1, 0}, {2, 0}});
    Red({{4, 0}});
    EXPECT_EQ(Evaluated(3, 0).PCalcDanger2Bleu, 1); // the near end is not examined
    board.MInitPlateau();
    Blue({{1, 0}, {2, 0}});
    EXPECT_EQ(Evaluated(0, 0).PCalcDanger2Bleu, 1);

    board.MInitPlateau();
    Blue({{3, 0}, {3, 1}, {3, 2}});
    EXPECT_EQ(Evaluated(3, 3).PCalcDanger2Bleu, 0); // no vertical line

    board.MInitPlateau();
    Blue({{1, 2}, {2, 2}, {4, 3}, {5, 4}, {2, 3}, {1, 4}});
    EXPECT_EQ(Evaluated(3, 2).PCalcDanger2Bleu, 3);

    board.MInitPlateau();
    Blue({{1, 0}, {2, 0}, {4, 0}, {5, 0}});
    EXPECT_EQ(Evaluated(3, 0).PCalcDanger2Bleu, 1); // both pairs on one line count once
}

TEST_F(MeasuresTest, FramedRuns) {
    Red({{2, 0}, {4, 0}, {5, 0}});
    Blue({{3, 1}});
    UneCase& c = At(3, 0);
    c.CALCMaxEncadrBlanc();
    EXPECT_EQ(c.PCalcMaxEncadrRouge, 3);
    EXPECT_EQ(c.PCalcMaxEncadrBLRouge, 5);
    EXPECT_EQ(c.PCalcMaxEncadrBleu, 1);
    EXPECT_EQ(c.PCalcMaxEncadrBLBleu, 2);
    // Not part of the evaluation.
    At(2, 2).MCalculPosition(false);
    EXPECT_EQ(At(2, 2).PCalcMaxEncadrBLRouge, 0);
}

} // namespace
