// Building the board: cells, the outside cell, links, playable cells and the column order.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "RecordingPlatform.h"
#include "UnPlateau.h"

namespace {

class BoardTest : public ::testing::Test {
protected:
    RecordingPlatform platform;
    UnPlateau board{platform};

    void SetUp() override { board.MInitPlateau(); }
    UneCase* Out() const { return board.PCaseALEXTerieur; }
    UneCase* At(int x, int y) const { return board.PCase(x, y); }

    static std::array<UneCase*, 8> Links(const UneCase& c) {
        return {c.PCaseHorMoins, c.PCaseHorPlus,  c.PCaseVerMoins, c.PCaseVerPlus,
                c.PCaseMonPlus,  c.PCaseMonMoins, c.PCaseDesPlus,  c.PCaseDesMoins};
    }
};

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
    EXPECT_TRUE(board.PJournal.empty());
    EXPECT_TRUE(board.TraceText.empty());
}

TEST_F(BoardTest, OutsideCellLoopsOnItself) {
    ASSERT_NE(Out(), nullptr);
    EXPECT_EQ(Out()->PX, -1);
    EXPECT_EQ(Out()->PY, -1);
    EXPECT_TRUE(Out()->PTopALExterieur);
    for (UneCase* l : Links(*Out()))
        EXPECT_EQ(l, Out());
}

TEST_F(BoardTest, EveryLinkLeadsToTheRightCellOrOutside) {
    for (int x = 0; x < 7; ++x) {
        for (int y = 0; y < 6; ++y) {
            const UneCase& c = *At(x, y);
            EXPECT_EQ(c.PX, x);
            EXPECT_EQ(c.PY, y);
            EXPECT_FALSE(c.PTopALExterieur);
            auto expect = [&](UneCase* link, int dx, int dy) {
                UneCase* target = board.PCase(x + dx, y + dy);
                EXPECT_EQ(link, target ? target : Out()) << x << "," << y << " d" << dx << "," << dy;
            };
            expect(c.PCaseHorMoins, -1, 0);
            expect(c.PCaseHorPlus, 1, 0);
            expect(c.PCaseVerMoins, 0, -1);
            expect(c.PCaseVerPlus, 0, 1);
            expect(c.PCaseMonMoins, -1, -1);
            expect(c.PCaseMonPlus, 1, 1);
            expect(c.PCaseDesPlus, -1, 1);
            expect(c.PCaseDesMoins, 1, -1);
        }
    }
}

TEST_F(BoardTest, WalkingOffTheBoardStaysOutside) {
    const UneCase* c = At(1, 4)->PCaseHorMoins;
    EXPECT_EQ(c, At(0, 4));
    c = c->PCaseHorMoins;
    EXPECT_EQ(c, Out());
    EXPECT_EQ(c->PCaseHorMoins, Out());
}

TEST_F(BoardTest, PlayableCellsAndColumnOrder) {
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(board.PCaseDuHaut[static_cast<std::size_t>(x)], At(x, 0));
    EXPECT_EQ(board.PTabInd, (std::array<std::int32_t, 7>{3, 2, 4, 1, 5, 0, 6}));
}

TEST_F(BoardTest, SecondInitKeepsCellsEmptiesTokensButNotFlagsLogOrTrace) {
    std::set<const UneCase*> before{Out()};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 6; ++y)
            before.insert(At(x, y));
    ASSERT_EQ(before.size(), 43u);

    for (int i = 0; i < 4; ++i)
        board.MJoue(i, true, false); // red wins on the bottom row
    board.MAutomateSuivant();
    At(5, 0)->PCalcMaxRouge = 42; // evaluation results survive
    board.PNiveau = 2;
    const std::string journal = board.PJournal;
    const std::string trace = board.TraceText;
    UneCase* played = board.PCaseJouee;
    ASSERT_TRUE(board.PTopGagne);

    board.MInitPlateau();

    std::set<const UneCase*> after{Out()};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 6; ++y) {
            after.insert(At(x, y));
            EXPECT_TRUE(At(x, y)->MSiVide());
        }
    EXPECT_EQ(before, after);
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(board.PCaseDuHaut[static_cast<std::size_t>(x)], At(x, 0));
    EXPECT_EQ(At(0, 0)->PCaseHorPlus, At(1, 0));
    EXPECT_EQ(board.PTabInd, (std::array<std::int32_t, 7>{3, 2, 4, 1, 5, 0, 6}));
    EXPECT_TRUE(board.PTopGagne);
    EXPECT_EQ(board.PJournal, journal);
    EXPECT_EQ(board.TraceText, trace);
    EXPECT_EQ(board.PCaseJouee, played);
    EXPECT_EQ(board.PNiveau, 2);
    EXPECT_EQ(At(5, 0)->PCalcMaxRouge, 42);
}

TEST_F(BoardTest, OutsideCellNeverTakesAToken) {
    UneCase& o = *Out();
    o.MMettreRouge();
    o.MMettreBleu();
    o.MMettreCouleur(true, false);
    EXPECT_FALSE(o.PRouge);
    EXPECT_FALSE(o.PBleu);
    EXPECT_TRUE(o.MSiVide());
    EXPECT_FALSE(o.MSiOccup());
    EXPECT_FALSE(o.MSiPasRouge());
    EXPECT_FALSE(o.MSiPasBleu());
    EXPECT_FALSE(o.mSiPurBlanc());
    EXPECT_EQ(o.MCouleur(), "");
}

} // namespace
