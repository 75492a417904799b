#pragma once

#include "profile_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// INI files a section at a time. Section names match without regard to case; every other
// section and line of the file is kept; new files get CR LF line ends; each write replaces the
// file atomically, so a failed write leaves the old file whole. The text rules are those of
// profile_text.h. Only regular files of at most MaxFileSize bytes are read or rewritten: a larger
// file reads as empty and is not overwritten, so memory stays bounded.
namespace profile {

constexpr std::int64_t MaxFileSize = 64 * 1024 * 1024;

// The section's entries as "key=value" texts, in file order; empty when the file or section is
// missing or unreadable.
std::vector<std::string> ReadSection(const std::string& path, std::string_view section);

// The entries of several sections, reading the file once; by the order of names.
std::vector<std::vector<std::string>> ReadSections(const std::string& path,
                                                   const std::vector<std::string>& names);

// Replaces the listed sections' entries (creating sections and the file as needed) in one
// atomic write. False when the file could not be written (no regular file, read-only, too
// large, folder not writable, invalid name or entry); the old file is then unchanged.
bool WriteSections(const std::string& path, const std::vector<Section>& sections);

}  // namespace profile
