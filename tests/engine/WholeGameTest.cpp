// Whole games without a window, the computer (red) against a seeded random blue player, with the
// board's invariants checked after every move.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "UnPlateau.h"

namespace {

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

class WholeGameTest : public ::testing::TestWithParam<std::int32_t> {
protected:
    RecordingPlatform platform;
    UnPlateau board{platform};

    char Token(int x, int y) const {
        if (x < 0 || x > 6 || y < 0 || y > 5) return '.';
        const UneCase& c = *board.PCase(x, y);
        return c.PRouge ? 'R' : c.PBleu ? 'B' : '.';
    }
    bool FourAnywhere() const {
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 6; ++y)
                if (FourFrom(x, y)) return true;
        return false;
    }
    bool FourFrom(int x, int y) const {
        const char t = Token(x, y);
        if (t == '.') return false;
        for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}, {1, -1}}) {
            int n = 1;
            while (n < 4 && Token(x + n * dx, y + n * dy) == t)
                ++n;
            if (n == 4) return true;
        }
        return false;
    }
    // Whether `colour` playing in column x would make four, without touching the board's state.
    bool Wins(int x, bool red) {
        UneCase* h = board.PCaseDuHaut[static_cast<std::size_t>(x)];
        if (!h->MSiDedans()) return false;
        h->MMettreCouleur(red, !red);
        const bool win = h->CALCCalculAlignMaxMemeCouleur() >= 4;
        h->MInit();
        return win;
    }

    void CheckInvariants() {
        const UneCase& out = *board.PCaseALEXTerieur;
        ASSERT_TRUE(out.MSiVide());
        ASSERT_EQ(out.PCaseHorPlus, &out);
        int red = 0, blue = 0;
        for (int x = 0; x < 7; ++x) {
            int height = 0;
            while (height < 6 && board.PCase(x, height)->MSiOccup())
                ++height;
            for (int y = 0; y < 6; ++y) {
                const UneCase& c = *board.PCase(x, y);
                ASSERT_FALSE(c.PRouge && c.PBleu);
                ASSERT_EQ(c.MSiOccup(), y < height) << "gap in column " << x;
                red += c.PRouge;
                blue += c.PBleu;
            }
            ASSERT_EQ(board.PCaseDuHaut[static_cast<std::size_t>(x)],
                      height < 6 ? board.PCase(x, height) : &out);
        }
        EXPECT_EQ(Count(board.PJournal, "Réponse --------> "), red);
        EXPECT_EQ(Count(board.PJournal, "\n"), red + blue);
        if (board.PTopGagne) {
            ASSERT_NE(board.PCaseJouee, nullptr);
            EXPECT_GE(board.PCaseJouee->CALCCalculAlignMaxMemeCouleur(), 4);
        } else {
            EXPECT_FALSE(FourAnywhere());
        }
        EXPECT_EQ(board.PTopEgalite, !board.PTopGagne && red + blue == 42);
    }
};

TEST_P(WholeGameTest, InvariantsHoldAndTheComputerTakesWinsAndBlocks) {
    board.MInitPlateau();
    board.PNiveau = GetParam();
    int chosen = -1;
    board.MCaseAJouer = [&](UneCase& c) {
        EXPECT_EQ(&c, board.PCaseDuHaut[static_cast<std::size_t>(c.PX)]);
        EXPECT_TRUE(c.MSiDedans());
        chosen = c.PX;
        board.MJoue(c.PX, true, false);
    };
    std::uint32_t seed = 12345u + static_cast<std::uint32_t>(GetParam());
    int games = 0, redWins = 0;
    for (; games < 40; ++games) {
        board.MNouvellePartie();
        bool redToPlay = games % 2 == 0;
        int autos = 0;
        while (!board.PTopGagne && !board.PTopEgalite) {
            if (redToPlay) {
                bool canWin = false, mustBlock = false;
                std::vector<bool> winning(7), blocking(7);
                for (int x = 0; x < 7; ++x) {
                    winning[static_cast<std::size_t>(x)] = Wins(x, true);
                    blocking[static_cast<std::size_t>(x)] = Wins(x, false);
                    canWin = canWin || winning[static_cast<std::size_t>(x)];
                    mustBlock = mustBlock || blocking[static_cast<std::size_t>(x)];
                }
                platform.ticks = seed >> 7;
                board.MAutomateSuivant();
                ++autos;
                ASSERT_GE(chosen, 0);
                if (canWin) {
                    EXPECT_TRUE(winning[static_cast<std::size_t>(chosen)]);
                } else if (mustBlock) {
                    EXPECT_TRUE(blocking[static_cast<std::size_t>(chosen)]);
                }
                for (int x = 0; x < 7; ++x) {
                    const UneCase& h = *board.PCaseFuture[static_cast<std::size_t>(x)]->PCaseVerMoins;
                    EXPECT_TRUE(h.PCalcDanger2Rouge == 0 || h.PCalcDanger2Rouge == 10);
                    EXPECT_LE(h.PCalcDanger2Bleu, 3);
                }
            } else {
                seed = seed * 1103515245u + 12345u;
                int x = static_cast<int>((seed >> 16) % 7);
                while (board.PCase(x, 5)->MSiOccup())
                    x = (x + 1) % 7;
                board.MJoue(x, false, true);
            }
            ASSERT_NO_FATAL_FAILURE(CheckInvariants());
            redToPlay = board.PCaseJouee->MSiBleu();
        }
        redWins += board.PTopGagne && board.PCaseJouee->PRouge;
        EXPECT_EQ(Count(board.TraceText, "NbRouge/NbBleu"), autos);
    }
    EXPECT_GT(redWins, games / 2); // the computer beats a random player
}

INSTANTIATE_TEST_SUITE_P(Levels, WholeGameTest, ::testing::Values(0, 1, 2, 9));

} // namespace
