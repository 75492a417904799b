// Entry reading: parts are never empty and a key's name is the key without trailing digits.
#include "entry_reader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view entry(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const std::string& part : SplitEntry(entry)) {
        if (part.empty())
            std::abort();
        total += part.size();
        const std::string_view name = KeyName(part);
        if (part.substr(0, name.size()) != name)
            std::abort();
        if (!name.empty() && name.back() >= '0' && name.back() <= '9')
            std::abort();
        if (part.find_first_not_of("0123456789", name.size()) != std::string::npos)
            std::abort();
    }
    if (total > entry.size())  // quotes and escapes only ever take characters away
        std::abort();
    return 0;
}
