#pragma once
// The platform's end-of-line string, written into logs, traces and the preferences file.
inline constexpr const char* EndOfLine = "\n";
