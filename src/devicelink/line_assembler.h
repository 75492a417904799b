#pragma once

#include <string>

// Turns received bytes into answer lines: CR or LF ends a line, the second character of a
// CR LF / LF CR pair is swallowed, bytes >= 128 are dropped, lines are cut at 255 characters.
// An unfinished line is kept and continued by the next bytes.
class LineAssembler {
public:
    static constexpr int MaxLineLength = 255;

    // Feeds bytes; returns how many lines ended among them.
    int feed(const char* data, int count);
    // The line ended last, up to a NUL byte inside it.
    const std::string& completedLine() const { return completed; }

private:
    char buffer[MaxLineLength + 1] = {};
    int length = 0;
    bool skipMark = false;
    std::string completed;
};
