#include "command_set.h"

#include "value_text.h"

namespace {

const char* const LineEnd = "\r\n";

}  // namespace

std::string ThresholdCommand(int number, std::string_view text)
{
    std::string line = "st " + FormatInteger(number) + ' ';
    line.append(text);
    return line + LineEnd;
}

std::string ErrorEnableCommand(bool enabled)
{
    return "ee " + FormatFlag(enabled) + LineEnd;
}

std::string ErrorMemoryCommand(bool active)
{
    return "em " + FormatFlag(active) + LineEnd;
}

std::string CycleCommand(std::string_view cycleText)
{
    if (cycleText == "-")
        return std::string("cf 0") + LineEnd;
    std::string line = "cf ";
    line.append(cycleText);
    return line + LineEnd;
}

std::string ReceiverOffsetCommand(int offset)
{
    return "sc 1 " + FormatInteger(offset) + LineEnd;
}

std::string TransmitterOffsetCommand(int offset)
{
    return "sc 2 " + FormatInteger(offset) + LineEnd;
}

std::string RemoveErrorsCommand()
{
    return std::string("rf") + LineEnd;
}
