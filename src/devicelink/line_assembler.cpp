#include "line_assembler.h"

#include <cstring>

int LineAssembler::feed(const char* data, int count)
{
    int ended = 0;
    for (int i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte >= 128)
            continue;
        const bool lineEnd = byte == '\r' || byte == '\n';
        if (lineEnd && !skipMark) {
            buffer[length] = '\0';
            completed.assign(buffer, std::strlen(buffer));  // a NUL inside ends the text
            length = 0;
            skipMark = true;
            ++ended;
            continue;
        }
        if (!lineEnd && length < MaxLineLength)
            buffer[length++] = static_cast<char>(byte);
        skipMark = false;
    }
    return ended;
}
