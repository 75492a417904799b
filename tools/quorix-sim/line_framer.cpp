#include "line_framer.h"

#include <utility>

std::vector<LineFramer::Line> LineFramer::feed(std::string_view bytes)
{
    std::vector<Line> lines;
    std::size_t i = 0;
    if (crHeld && !bytes.empty()) {
        crHeld = false;
        if (bytes.front() == '\n') {
            partial += '\n';
            i = 1;
        }
        lines.push_back({std::exchange(partial, {}), i});
    }
    for (; i < bytes.size(); ++i) {
        const char c = bytes[i];
        partial += c;
        if (c == '\n' || (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] != '\n')) {
            lines.push_back({std::exchange(partial, {}), i + 1});
        } else if (c == '\r' && i + 1 == bytes.size()) {
            crHeld = true;
        }
    }
    return lines;
}

std::string LineFramer::takeHeldLine()
{
    if (!crHeld)
        return {};
    crHeld = false;
    return std::exchange(partial, {});
}
