#include "sim_commands.h"

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number: optional sign, digits with an optional point, an optional exponent.
std::optional<double> parseDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) { ++i; ++digits; }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == start)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    std::string_view body = text;
    if (body.front() == '+')
        body.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A whole number as "%d" writes it: optional minus, no leading zeros, within int.
std::optional<int> parseInteger(std::string_view text)
{
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    if (digits.empty() || (digits.size() > 1 && digits.front() == '0'))
        return std::nullopt;
    for (char c : digits)
        if (!isDigit(c))
            return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int> parseFlag(std::string_view text)
{
    if (text == "0" || text == "1")
        return text[0] - '0';
    return std::nullopt;
}

std::optional<int> parseCycle(std::string_view text)
{
    static constexpr std::array<int, 14> cycles{0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55,
                                                60, 90};
    const std::optional<int> value = parseInteger(text);
    for (int cycle : cycles)
        if (value == cycle)
            return value;
    return std::nullopt;
}

bool applyThreshold(std::string_view args, SimState& state)
{
    if (args.size() < 3 || args[0] < '1' || args[0] > '4' || args[1] != ' ')
        return false;
    std::string_view number = args.substr(2);
    // The tool sends the typed text unchanged, extra leading blanks included.
    while (!number.empty() && number.front() == ' ')
        number.remove_prefix(1);
    const std::optional<double> value = parseDecimal(number);
    if (!value || *value < -100.0 || *value > 100.0)
        return false;
    state.threshold[args[0] - '0'] = *value;
    return true;
}

bool applyOffset(std::string_view args, SimState& state)
{
    if (args.size() < 3 || (args[0] != '1' && args[0] != '2') || args[1] != ' ')
        return false;
    const std::optional<int> value = parseInteger(args.substr(2));
    if (!value)
        return false;
    (args[0] == '1' ? state.receiverOffset : state.transmitterOffset) = *value;
    return true;
}

bool applyValue(std::optional<int> value, int& target)
{
    if (value)
        target = *value;
    return value.has_value();
}

SimVerdict verdict(bool accepted)
{
    return {accepted, std::string(accepted ? simAnswerOk : simAnswerBadArgument)};
}

}  // namespace

SimVerdict judgeCommand(std::string_view line, SimState& state)
{
    const std::string_view word = line.substr(0, line.find(' '));
    if (word != "st" && word != "sc" && word != "ee" && word != "em" && word != "cf"
        && word != "rf")
        return {false, std::string(simAnswerUnknown)};
    SimState next = state;
    bool accepted = false;
    if (word == "rf") {
        accepted = line.size() == word.size();
        ++next.removeCount;
    } else if (line.size() > 3) {
        const std::string_view args = line.substr(3);
        if (word == "st")
            accepted = applyThreshold(args, next);
        else if (word == "sc")
            accepted = applyOffset(args, next);
        else if (word == "ee")
            accepted = applyValue(parseFlag(args), next.errorEnabled);
        else if (word == "em")
            accepted = applyValue(parseFlag(args), next.errorMemory);
        else
            accepted = applyValue(parseCycle(args), next.cycle);
    }
    if (accepted)
        state = next;
    return verdict(accepted);
}
