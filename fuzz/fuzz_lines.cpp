// Line assembly: a completed line holds at most 255 characters, no line end and no byte of 128
// or above, whatever bytes arrive and however they are cut into chunks.
#include "line_assembler.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    LineAssembler assembler;
    std::size_t i = 0;
    while (i < size) {
        // The first byte of each round says how many of the following bytes form the chunk.
        const std::size_t chunk = std::min<std::size_t>(data[i] % 81, size - i - 1);
        const char* bytes = reinterpret_cast<const char*>(data + i + 1);
        const int ended = assembler.feed(bytes, static_cast<int>(chunk));
        if (ended < 0 || static_cast<std::size_t>(ended) > chunk)
            std::abort();
        const std::string& line = assembler.completedLine();
        if (line.size() > LineAssembler::MaxLineLength)
            std::abort();
        for (char c : line)
            if (c == '\r' || c == '\n' || static_cast<unsigned char>(c) >= 128)
                std::abort();
        i += chunk + 1;
    }
    return 0;
}
