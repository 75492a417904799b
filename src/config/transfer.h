#pragma once

#include <array>
#include <functional>
#include <string>

class MessageSink;

// The page values the transfer sends, taken once at the click.
struct TransferValues {
    std::array<std::string, 4> thresholdText;  // by ThresholdIndex, as typed
    bool errorEnabled = true;
    bool errorMemory = true;
    std::string cycleText = "-";
};

enum class TransferOutcome { Refused, Stopped, Completed };

using SendLine = std::function<std::string(const std::string& line)>;  // send-and-wait
using ShowStatus = std::function<void(const std::string& text)>;

// Checks the thresholds (one message at most), then sends the seven lines, stopping at the first
// empty answer; reports progress through status and ends with an empty status.
TransferOutcome SendConfiguration(const TransferValues& values, const SendLine& send,
                                  MessageSink& messages, const ShowStatus& status);
