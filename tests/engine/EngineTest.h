#pragma once
// What the engine tests share: a platform that records what the engine asks of the desktop, and a
// fresh board whose events land in the same record, in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UnPlateau.h"

class RecordingPlatform : public EnginePlatform {
public:
    std::vector<std::string> calls; // "beep", "msgbox TEXT", "quit CODE" and the board's events
    std::int64_t ticks = 0;
    std::string endOfLine = "\n";

    void Beep() override { calls.push_back("beep"); }
    std::int64_t Ticks() override { return ticks; }
    std::string EndOfLine() override { return endOfLine; }
    void MsgBox(const std::string& text) override { calls.push_back("msgbox " + text); }
    void Quit(int code) override { calls.push_back("quit " + std::to_string(code)); }
};

class EngineTest : public ::testing::Test {
protected:
    RecordingPlatform platform;
    UnPlateau board{platform};
    std::vector<std::string>& log = platform.calls;

    static std::string Event(const char* name, int a, int b) {
        return name + (" " + std::to_string(a)) + " " + std::to_string(b);
    }
    void SetUp() override {
        board.MInitPlateau();
        board.MNouvellePartie();
        board.MDessineLaCase = [this](std::int32_t x, std::int32_t y) { log.push_back(Event("draw", x, y)); };
        board.MGagnant = [this](bool r, bool b) {
            EXPECT_FALSE(board.PTopGagne); // set only once the handler has returned
            log.push_back(Event("win", r, b));
        };
        board.MEgalite = [this] {
            EXPECT_TRUE(board.PTopEgalite);
            log.push_back("tie");
        };
        board.MCaseAJouer = [this](UneCase& c) { log.push_back(Event("choose", c.PX, c.PY)); };
    }
    UneCase& At(int x, int y) { return *board.PCase(x, y); }
    // Plays each column's colours bottom up, column by column: "RB . BBR" ("." for an empty column).
    void Fill(const std::string& columns) {
        std::int32_t x = 0;
        for (char c : columns) {
            if (c == ' ') ++x;
            if (c == 'R' || c == 'B') board.MJoue(x, c == 'R', c == 'B');
        }
    }
    // Plays moves written column then colour: "0R6R1B".
    void Play(const std::string& moves) {
        for (std::size_t i = 0; i + 1 < moves.size(); i += 2)
            board.MJoue(moves[i] - '0', moves[i + 1] == 'R', moves[i + 1] == 'B');
    }
    // Sets tokens without playing, colour then column then row: "R10 B41".
    void Put(const std::string& tokens) {
        for (std::size_t i = 0; i + 3 <= tokens.size(); i += 4) {
            UneCase& c = At(tokens[i + 1] - '0', tokens[i + 2] - '0');
            tokens[i] == 'R' ? c.MMettreRouge() : c.MMettreBleu();
        }
    }
};
