#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The INI text itself, apart from any file. Lines end with CR LF, LF or a lone CR; a UTF-8 byte
// order mark at the start is skipped. A line whose first non-blank character is "[" and which
// holds a "]" opens the section named by the text in between, blanks and tabs around it removed
// ("[ Error ]" is "Error"). Names match without regard to ASCII letter case. The entries of a
// section are its lines that hold "=", trimmed of blanks and tabs at both ends; comment lines
// (first non-blank ";"), blank lines and lines without "=" are no entries. A section that appears
// more than once is read as one, its entries in file order. Every other byte (NUL included) is
// an ordinary character.
namespace profile {

using Section = std::pair<std::string, std::vector<std::string>>;

// The entries of each named section, in the order of names.
std::vector<std::vector<std::string>> ParseSections(std::string_view content,
                                                    const std::vector<std::string>& names);

// The content with the named sections' entries replaced. The new entries take the place of the
// section's first entry line (right after its header when it had none); its comments and other
// lines stay; a repetition of the section further on is removed whole. Missing sections are
// appended in the given order. Everything else stays byte for byte; new lines take the line end
// of the content's first line if that is LF, else CR LF. Nothing when a name or entry would not
// read back as itself (empty or blank-edged name, "]" or a line break in a name, an entry with
// a line break, without "=", blank-edged, or looking like a header or comment).
std::optional<std::string> ReplaceSections(std::string_view content,
                                           const std::vector<Section>& sections);

}  // namespace profile
