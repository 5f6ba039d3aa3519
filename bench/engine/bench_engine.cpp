// The computer's move over mid-game positions, and whole engine-against-engine games.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "UnPlateau.h"

namespace {

class QuietPlatform : public EnginePlatform {
public:
    std::int64_t ticks = 0;
    void Beep() override {}
    std::int64_t Ticks() override { return ticks++; }
    std::string EndOfLine() override { return "\n"; }
    void MsgBox(const std::string&) override {}
    void Quit(int) override {}
};

// Positions reached by the computer (red) against a seeded random blue, after 8 to 20 tokens.
// Kept out of line so that a profile separates the set-up from the timed calls.
[[gnu::noinline]] std::vector<std::unique_ptr<UnPlateau>> MidGames(QuietPlatform& platform,
                                                                   std::int32_t level) {
    std::vector<std::unique_ptr<UnPlateau>> boards;
    std::uint32_t seed = 2024;
    while (boards.size() < 32) {
        auto board = std::make_unique<UnPlateau>(platform);
        board->MInitPlateau();
        board->MNouvellePartie();
        board->PNiveau = level;
        UnPlateau& b = *board;
        b.MCaseAJouer = [&b](UneCase& c) { b.MJoue(c.PX, true, false); };
        seed = seed * 1103515245u + 12345u;
        const int tokens = 8 + static_cast<int>((seed >> 16) % 13);
        for (int n = 0; n < tokens && !b.PTopGagne && !b.PTopEgalite; ++n) {
            if (n % 2 == 0) {
                b.MAutomateSuivant();
            } else {
                seed = seed * 1103515245u + 12345u;
                int x = static_cast<int>((seed >> 16) % 7);
                while (b.PCase(x, 5)->MSiOccup()) x = (x + 1) % 7;
                b.MJoue(x, false, true);
            }
        }
        if (b.PTopGagne || b.PTopEgalite) continue;
        b.MCaseAJouer = nullptr; // choose only: the position stays as it is
        b.TraceText.reserve(1 << 16);
        boards.push_back(std::move(board));
    }
    return boards;
}

void BM_MAutomateSuivant(benchmark::State& state) {
    QuietPlatform platform;
    auto boards = MidGames(platform, static_cast<std::int32_t>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        UnPlateau& b = *boards[i];
        if (b.TraceText.size() > 60000) b.TraceText.clear(); // keeps its capacity
        b.MAutomateSuivant();
        benchmark::DoNotOptimize(b.TraceText.data());
        i = (i + 1) % boards.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MAutomateSuivant)->Arg(0)->Arg(1)->Arg(2);

void BM_WholeGame(benchmark::State& state) {
    QuietPlatform platform;
    UnPlateau b(platform);
    b.MInitPlateau();
    b.PNiveau = static_cast<std::int32_t>(state.range(0));
    bool redToPlay = true;
    // Both sides take the engine's choice, each in its own colour.
    b.MCaseAJouer = [&](UneCase& c) { b.MJoue(c.PX, redToPlay, !redToPlay); };
    std::int64_t moves = 0;
    for (auto _ : state) {
        b.MNouvellePartie();
        redToPlay = true;
        while (!b.PTopGagne && !b.PTopEgalite) {
            b.MAutomateSuivant();
            redToPlay = !b.PCaseJouee->MSiRouge();
            ++moves;
        }
        benchmark::DoNotOptimize(b.PJournal.data());
    }
    state.counters["moves/game"] =
        benchmark::Counter(static_cast<double>(moves) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_WholeGame)->Arg(0)->Arg(1)->Arg(2);

} // namespace

BENCHMARK_MAIN();
