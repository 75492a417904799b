#include "value_text.h"

#include "number_scan.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double LowestThreshold = -100.0;
constexpr double HighestThreshold = 100.0;

std::size_t skipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return i;
}

}  // namespace

double ReadNumber(std::string_view text)
{
    const NumberScan scan = ScanNumber(text.substr(skipBlanks(text)));
    return scan.found ? scan.value : 0.0;
}

std::int32_t ReadInteger(std::string_view text)
{
    using Limits = std::numeric_limits<std::int32_t>;
    const double value = ReadNumber(text);
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(Limits::max()))
        return Limits::max();
    if (value <= static_cast<double>(Limits::min()))
        return Limits::min();
    return static_cast<std::int32_t>(value);  // toward zero
}

bool ReadFlag(std::string_view text)
{
    return ReadInteger(text) != 0;
}

std::string FormatThreshold(double value)
{
    // Room for the widest double in fixed notation: 309 digits, sign, point and two decimals.
    char buffer[330];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

std::string FormatInteger(std::int32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatFlag(bool value)
{
    return value ? "1" : "0";
}

std::optional<double> CheckThresholdText(std::string_view text)
{
    const std::size_t start = skipBlanks(text);
    const NumberScan scan = ScanNumber(text.substr(start));
    if (!scan.found || start + scan.end != text.size() || scan.range != NumberRange::InRange)
        return std::nullopt;
    if (scan.value < LowestThreshold || scan.value > HighestThreshold)
        return std::nullopt;
    return scan.value;
}
