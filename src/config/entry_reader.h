#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a configuration file entry at "=" and "," into its non-empty parts, honouring quoted
// stretches.
std::vector<std::string> SplitEntry(std::string_view entry);

// A key's name: the key without its trailing decimal digits ("Percent1" -> "Percent").
std::string_view KeyName(std::string_view key);
