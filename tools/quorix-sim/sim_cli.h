#pragma once

#include "sim_device.h"

#include <string>
#include <string_view>
#include <vector>

struct SimCommandLine {
    SimOptions options;
    std::string linkPath;
    bool help = false;
    std::string error;  // set when the arguments could not be read
};

SimCommandLine parseSimCommandLine(const std::vector<std::string>& arguments);
std::string simUsage(std::string_view program);

// Turns \r \n \t \\ and \xHH into bytes (for --noise and --answer).
bool unescapeBytes(std::string_view text, std::string& bytes);
// Shows bytes readably: printable ASCII as is, everything else as \r, \n or \xHH.
std::string escapeBytes(std::string_view bytes);
// One line with every value the device holds.
std::string describeState(const SimState& state);
