#pragma once
// What the board needs of the desktop: beep, ticks, end of line, message box and quit.
#include "EnginePlatform.h"

class WindowEnginePlatform : public EnginePlatform {
public:
    void Beep() override;
    std::int64_t Ticks() override;
    std::string EndOfLine() override;
    void MsgBox(const std::string& text) override;
    void Quit(int code) override;
};
