#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Text <-> value conversions of the configuration, independent of the process locale.

// Leading blanks, then the longest decimal number; 0.0 when there is none. Never fails.
double ReadNumber(std::string_view text);
// ReadNumber rounded toward zero, clamped to the 32-bit range.
std::int32_t ReadInteger(std::string_view text);
// ReadInteger != 0.
bool ReadFlag(std::string_view text);

std::string FormatThreshold(double value);  // "%.2lf": 100.00, -12.50
std::string FormatInteger(std::int32_t value);  // "%d"
std::string FormatFlag(bool value);  // "1" / "0"

// The value when the whole text (after leading blanks) is one decimal number without overflow
// or underflow and lies within -100.0..100.0; nothing otherwise.
std::optional<double> CheckThresholdText(std::string_view text);
