#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Cuts received bytes into lines. A line ends at CR LF, or at a lone LF or CR; each line keeps
// its exact bytes. A CR that is the last byte received so far waits for the next bytes (or
// takeHeldLine()) to tell whether an LF belongs to it.
class LineFramer {
public:
    struct Line {
        std::string bytes;
        std::size_t end = 0;  // offset in the fed bytes just past the line's last byte
    };

    std::vector<Line> feed(std::string_view bytes);
    bool holdsCr() const { return crHeld; }
    std::string takeHeldLine();  // the line ended by a held CR; empty when none is held

private:
    std::string partial;
    bool crHeld = false;
};
