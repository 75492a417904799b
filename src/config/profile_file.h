#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// INI files a section at a time. Section names match without regard to case; every other
// section and line of the file is kept; new files get CR LF line ends; each write replaces the
// file atomically, so a failed write leaves the old file whole.
namespace profile {

// The section's entries as "key=value" texts, in file order; empty when the file or section is
// missing or unreadable.
std::vector<std::string> ReadSection(const std::string& path, std::string_view section);

using Section = std::pair<std::string, std::vector<std::string>>;

// Replaces the listed sections' entries (creating sections and the file as needed) in one
// atomic write. False when the file could not be written; the old file is then unchanged.
bool WriteSections(const std::string& path, const std::vector<Section>& sections);

}  // namespace profile
