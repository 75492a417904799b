#include "load_save_print.h"

#include "entry_reader.h"
#include "profile_file.h"
#include "value_text.h"

#include <array>
#include <string_view>

namespace {

struct FileKey {
    std::string_view name;
    std::string (*write)(const ConfigRecord&);
    void (*read)(ConfigRecord&, std::string_view);
};

struct FileSection {
    std::string_view name;
    std::vector<FileKey> keys;
};

template <int Index>
FileSection thresholdSection(std::string_view name)
{
    return {name,
            {{"Percent", [](const ConfigRecord& r) { return FormatThreshold(r.threshold[Index]); },
              [](ConfigRecord& r, std::string_view v) { r.threshold[Index] = ReadNumber(v); }}}};
}

// The six sections and nine keys, in the order they are written.
const std::array<FileSection, 6>& fileSections()
{
    static const std::array<FileSection, 6> sections = {
        thresholdSection<Comparator1Upper>("Threshold 1 Upper"),
        thresholdSection<Comparator1Lower>("Threshold 1 Lower"),
        thresholdSection<Comparator2Upper>("Threshold 2 Upper"),
        thresholdSection<Comparator2Lower>("Threshold 2 Lower"),
        FileSection{"Error",
                    {{"Enabled", [](const ConfigRecord& r) { return FormatFlag(r.errorEnabled); },
                      [](ConfigRecord& r, std::string_view v) { r.errorEnabled = ReadFlag(v); }},
                     {"Memory", [](const ConfigRecord& r) { return FormatFlag(r.errorMemory); },
                      [](ConfigRecord& r, std::string_view v) { r.errorMemory = ReadFlag(v); }},
                     {"Cycle", [](const ConfigRecord& r) { return FormatInteger(r.cycle); },
                      [](ConfigRecord& r, std::string_view v) { r.cycle = ReadInteger(v); }}}},
        FileSection{"Calibration",
                    {{"Receiver",
                      [](const ConfigRecord& r) { return FormatInteger(r.receiverOffset); },
                      [](ConfigRecord& r, std::string_view v) {
                          r.receiverOffset = ReadInteger(v);
                      }},
                     {"Transmitter",
                      [](const ConfigRecord& r) { return FormatInteger(r.transmitterOffset); },
                      [](ConfigRecord& r, std::string_view v) {
                          r.transmitterOffset = ReadInteger(v);
                      }}}},
    };
    return sections;
}

void readEntry(const FileSection& section, const std::string& entry, ConfigRecord& record)
{
    const std::vector<std::string> parts = SplitEntry(entry);
    if (parts.size() < 2)
        return;
    const std::string_view name = KeyName(parts[0]);
    for (const FileKey& key : section.keys)
        if (key.name == name)
            key.read(record, parts[1]);
}

}  // namespace

bool LoadSavePrint::Save(const std::string& fileName, const ConfigRecord& record)
{
    if (fileName.empty())
        return true;  // nothing asked, nothing failed
    std::vector<profile::Section> sections;
    for (const FileSection& section : fileSections()) {
        std::vector<std::string> entries;
        for (const FileKey& key : section.keys)
            entries.push_back(std::string(key.name) + '=' + key.write(record));
        sections.emplace_back(std::string(section.name), std::move(entries));
    }
    return profile::WriteSections(fileName, sections);
}

void LoadSavePrint::Load(const std::string& fileName, ConfigRecord& record)
{
    if (fileName.empty())
        return;
    std::vector<std::string> names;
    for (const FileSection& section : fileSections())
        names.emplace_back(section.name);
    const auto entries = profile::ReadSections(fileName, names);
    for (std::size_t i = 0; i < fileSections().size(); ++i)
        for (const std::string& entry : entries[i])
            readEntry(fileSections()[i], entry, record);
}
