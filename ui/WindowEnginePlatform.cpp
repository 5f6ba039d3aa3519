#include "WindowEnginePlatform.h"

#include "Desktop.h"
#include "EndOfLine.h"
#include "Ticks.h"

void WindowEnginePlatform::Beep() { ::Beep(); }
std::int64_t WindowEnginePlatform::Ticks() { return ::Ticks(); }
std::string WindowEnginePlatform::EndOfLine() { return ::EndOfLine; }
void WindowEnginePlatform::MsgBox(const std::string& text) { ::MsgBox(QString::fromStdString(text)); }
void WindowEnginePlatform::Quit(int code) { ::Quit(code); }
