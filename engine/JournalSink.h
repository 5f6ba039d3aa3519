#pragma once
// The move-log field, seen from the engine: it only ever receives the whole log text.
#include <string>

class JournalSink {
public:
    virtual ~JournalSink() = default;
    virtual void SetText(const std::string& text) = 0;
};
