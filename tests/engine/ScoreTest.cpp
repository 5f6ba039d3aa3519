// The three score levels, fed with evaluation results set by hand.
#include <gtest/gtest.h>

#include "RecordingPlatform.h"
#include "UnPlateau.h"

namespace {

constexpr std::int32_t kFort = 0, kMoyen = 1, kFaible = 2;

class ScoreTest : public ::testing::Test {
protected:
    RecordingPlatform platform;
    UnPlateau board{platform};

    void SetUp() override { board.MInitPlateau(); }
    UneCase& At(int x, int y) { return *board.PCase(x, y); }
    std::int32_t Score(UneCase& c, std::int32_t level) {
        c.MCALCULDuScore(level);
        return c.PScore;
    }
};

TEST_F(ScoreTest, TwoRedWithRoomNearTheCentre) {
    UneCase& c = At(3, 1);
    c.PCalcPossibleRouge = 2;
    EXPECT_EQ(Score(c, kFaible), 3501);
    EXPECT_EQ(Score(c, kMoyen), 3851);
    EXPECT_EQ(Score(c, kFort), 4236);
    UneCase& high = At(3, 3);
    high.PCalcPossibleRouge = 2;
    for (std::int32_t level : {kFort, kMoyen, kFaible})
        EXPECT_EQ(Score(high, level), 3501);
    UneCase& side = At(2, 1);
    side.PCalcPossibleRouge = 2;
    EXPECT_EQ(Score(side, kFort), 3851); // one bonus off the middle column
}

TEST_F(ScoreTest, LevelSelection) {
    UneCase& c = At(3, 1);
    c.PCalcPossibleRouge = 2;
    for (std::int32_t level : {0, 3, 7, -1})
        EXPECT_EQ(Score(c, level), 4236) << level;
    EXPECT_EQ(Score(c, 1), 3851);
    EXPECT_EQ(Score(c, 2), 3501);
}

TEST_F(ScoreTest, OutsideCellScoresZero) {
    UneCase& o = *board.PCaseALEXTerieur;
    o.PCalcMaxRouge = 3;
    o.PScore = 12;
    for (std::int32_t level : {kFort, kMoyen, kFaible})
        EXPECT_EQ(Score(o, level), 0);
}

TEST_F(ScoreTest, WinAndBlockTiers) {
    UneCase& c = At(3, 1);
    c.PCalcMaxRouge = 3;
    c.PCalcMaxBleu = 3;
    c.PCalcMaxBleuMult = true;
    c.PCaseVerPlus->PCalcMaxBleu = 3; // no penalty reaches a tier
    for (std::int32_t level : {kFort, kMoyen, kFaible})
        EXPECT_EQ(Score(c, level), 5000000);
    c.PCalcMaxRougeMult = true;
    EXPECT_EQ(Score(c, kFaible), 9000000);
    c.PCalcMaxRouge = 2;
    EXPECT_EQ(Score(c, kFort), 2990000);
    c.PCalcMaxBleuMult = false;
    c.PCalcMaxBleu = 4;
    EXPECT_EQ(Score(c, kMoyen), 2580000);
}

TEST_F(ScoreTest, PenaltiesFromTheCellAbove) {
    UneCase& c = At(1, 0);
    UneCase& above = *c.PCaseVerPlus;
    above.PCalcMaxBleu = 3;
    EXPECT_EQ(Score(c, kFort), -900000);
    EXPECT_EQ(Score(c, kMoyen), -900000);
    EXPECT_EQ(Score(c, kFaible), 1); // the weak level looks at no other cell

    above.PCalcMaxBleu = 0;
    above.PCalcMaxRouge = 3;
    EXPECT_EQ(Score(c, kFort), 1);
    above.PCalcMaxRouge = 4;
    EXPECT_EQ(Score(c, kFort), -40000);
    above.PCalcPossibleBleu = 2;
    EXPECT_EQ(Score(c, kFort), -41000);
    EXPECT_EQ(Score(c, kMoyen), -41000);

    // A blue threat replaces the -1,000.
    above.PCalcMaxRouge = 0;
    c.PCalcDanger2Bleu = 1;
    EXPECT_EQ(Score(c, kFort), 900000);
    EXPECT_EQ(Score(c, kMoyen), 900000);
    c.PCalcDanger2Bleu = 2;
    EXPECT_EQ(Score(c, kFort), 950000);
}

TEST_F(ScoreTest, NegativeSumGetsTheCentreBonusTowardZero) {
    UneCase& c = At(3, 1);
    c.PCaseVerPlus->PCalcPossibleBleu = 2;
    // -999 x 1.1 = -1098.9, then -1098 x 1.1 = -1207.8: the fraction is dropped.
    EXPECT_EQ(Score(c, kFort), -1207);
    EXPECT_EQ(Score(c, kMoyen), -1098);
}

TEST_F(ScoreTest, DiagonalNeighboursAsStored) {
    UneCase& c = At(3, 1);
    UneCase& right = *c.PCaseMonPlus;
    UneCase& left = *c.PCaseDesPlus;
    right.PCalcMaxRouge = 3;
    EXPECT_EQ(Score(c, kFort), 50001);
    EXPECT_EQ(Score(c, kMoyen), 1); // no diagonal bonus below strong
    left.PCalcMaxRouge = 2;
    EXPECT_EQ(Score(c, kFort), 55001);
    right.PCalcMaxRouge = 0;
    c.PCalcPossibleRouge = 2;
    // 5,000 + 3,501 = 8,501; x 1.1 = 9,351, which is past 9,000: no second bonus.
    EXPECT_EQ(Score(c, kFort), 9351);

    // At the right edge the upper-right neighbour is the outside cell.
    UneCase& edge = At(6, 0);
    EXPECT_EQ(edge.PCaseMonPlus, board.PCaseALEXTerieur);
    EXPECT_EQ(Score(edge, kFort), 1);
}

TEST_F(ScoreTest, ThreatAndThreeBlueTerms) {
    UneCase& c = At(0, 0);
    c.PCalcDanger2Rouge = 10;
    EXPECT_EQ(Score(c, kFort), 11001);
    EXPECT_EQ(Score(c, kMoyen), 1);
    c.PCalcDanger2Rouge = 1;
    EXPECT_EQ(Score(c, kFort), 2001);
    c.PCalcDanger2Rouge = 0;
    c.PCalcPossibleBleu = 3;
    EXPECT_EQ(Score(c, kFort), 9001);
    c.PCalcMaxBleuMult = true;
    EXPECT_EQ(Score(c, kFort), 18501);

    // A centre cell at 9,000 or more keeps its sum.
    UneCase& centre = At(3, 2);
    centre.PCalcPossibleBleu = 3;
    EXPECT_EQ(Score(centre, kFort), 9001);
}

TEST_F(ScoreTest, SumTermsByLevel) {
    UneCase& c = At(0, 0);
    c.PCalcPossibleRouge = 2;
    c.PCalcMaxRougeMult = true;
    for (std::int32_t level : {kFort, kMoyen, kFaible})
        EXPECT_EQ(Score(c, level), 7901);
    c.PCalcPossibleRouge = 0;
    c.PCalcPossibleBleu = 2;
    c.PCalcMaxBleuMult = true;
    EXPECT_EQ(Score(c, kFort), 4501);
    EXPECT_EQ(Score(c, kFaible), 1); // the weak level ignores two blue
    c.PCalcPossibleBleu = 1;
    EXPECT_EQ(Score(c, kFaible), 186);
    c.PCalcMaxBleuMult = false;
    EXPECT_EQ(Score(c, kFaible), 96);
    c.PCalcPossibleBleu = 0;
    c.PCalcPossibleRouge = 1;
    c.PCalcMaxRougeMult = false;
    EXPECT_EQ(Score(c, kMoyen), 4);
    c.PCalcMaxRougeMult = true;
    EXPECT_EQ(Score(c, kMoyen), 8);
}

} // namespace
