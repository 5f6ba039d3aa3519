#pragma once
// An engine platform that records what the engine asks of the desktop, in order.
#include <string>
#include <vector>

#include "EnginePlatform.h"

class RecordingPlatform : public EnginePlatform {
public:
    std::vector<std::string> calls; // "beep", "msgbox TEXT", "quit CODE"
    std::int64_t ticks = 0;
    std::string endOfLine = "\n";

    void Beep() override { calls.push_back("beep"); }
    std::int64_t Ticks() override { return ticks; }
    std::string EndOfLine() override { return endOfLine; }
    void MsgBox(const std::string& text) override { calls.push_back("msgbox " + text); }
    void Quit(int code) override { calls.push_back("quit " + std::to_string(code)); }
};
