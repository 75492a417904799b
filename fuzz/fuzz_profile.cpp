// The INI text: any bytes parse; writing sections into any text reads them back exactly, leaves
// a foreign section's entries alone and is stable when repeated.
#include "profile_text.h"

#include <cstdint>
#include <cstdlib>

namespace {

const std::vector<profile::Section> written = {
    {"Error", {"Enabled=1", "Memory=0", "Cycle=15"}},
    {"Calibration", {}},
    {"Threshold 1 Upper", {"Percent=\"12.50\""}},
};
const std::vector<std::string> writtenNames = {"error", "CALIBRATION", "Threshold 1 Upper"};
const std::vector<std::string> foreignNames = {"Window", "Paths", "Threshold 2 Lower", ""};

void checkEntries(const std::vector<std::vector<std::string>>& sections)
{
    for (const auto& entries : sections)
        for (const std::string& entry : entries)
            if (entry.find('=') == std::string::npos
                || entry.find_first_of("\r\n") != std::string::npos || entry.front() == ' '
                || entry.front() == '\t' || entry.back() == ' ' || entry.back() == '\t')
                std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto foreignBefore = profile::ParseSections(content, foreignNames);
    checkEntries(foreignBefore);
    checkEntries(profile::ParseSections(content, writtenNames));

    const std::optional<std::string> result = profile::ReplaceSections(content, written);
    if (!result)
        std::abort();  // the sections are valid: any text takes them
    const auto readBack = profile::ParseSections(*result, writtenNames);
    for (std::size_t i = 0; i < written.size(); ++i)
        if (readBack[i] != written[i].second)
            std::abort();
    if (profile::ParseSections(*result, foreignNames) != foreignBefore)
        std::abort();
    if (profile::ReplaceSections(*result, written) != result)
        std::abort();
    return 0;
}
