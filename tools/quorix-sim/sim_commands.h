#pragma once

#include "sim_device.h"

#include <string>
#include <string_view>

inline constexpr std::string_view simAnswerOk = "OK";
inline constexpr std::string_view simAnswerUnknown = "ERR unknown command";
inline constexpr std::string_view simAnswerBadArgument = "ERR bad argument";

struct SimVerdict {
    bool accepted = false;
    std::string answer;  // without its line end
};

// Judges one command line (without its line end) as the device does and applies an accepted
// one to the state.
SimVerdict judgeCommand(std::string_view line, SimState& state);
