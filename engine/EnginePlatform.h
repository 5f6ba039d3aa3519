#pragma once
// What the engine needs from the desktop: the alert sound, the tick counter, the line end of logs
// and traces, and the fatal message box. The window implements it; tests use a recording fake.
#include <cstdint>
#include <string>

class EnginePlatform {
public:
    virtual ~EnginePlatform() = default;
    virtual void Beep() = 0;
    virtual std::int64_t Ticks() = 0;
    virtual std::string EndOfLine() = 0;
    virtual void MsgBox(const std::string& text) = 0;
    virtual void Quit(int code) = 0;
};
