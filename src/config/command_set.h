#pragma once

#include <string>
#include <string_view>

// Every command line the tool sends, each ended by "\r\n".
std::string ThresholdCommand(int number, std::string_view text);  // "st %d %s"
std::string ErrorEnableCommand(bool enabled);                      // "ee %d"
std::string ErrorMemoryCommand(bool active);                       // "em %d"
std::string CycleCommand(std::string_view cycleText);              // "cf 0" for "-", else "cf %s"
std::string ReceiverOffsetCommand(int offset);                     // "sc 1 %d"
std::string TransmitterOffsetCommand(int offset);                  // "sc 2 %d"
std::string RemoveErrorsCommand();                                 // "rf"

// The longest line the transfer builds, "\r\n" included.
constexpr std::size_t MaxTransferLineLength = 255;
