#include "transfer.h"

#include "command_set.h"
#include "config_record.h"
#include "message_sink.h"
#include "value_text.h"

#include <optional>
#include <vector>

namespace {

const char* const ErrorTitle = "Quorix Error";

void showError(MessageSink& messages, const std::string& text)
{
    messages.show({MessageIcon::Error, MessageButtons::Ok, ErrorTitle, text});
}

std::string rangeMessage(int index)
{
    const bool upper = index == Comparator1Upper || index == Comparator2Upper;
    const int comparator = index < Comparator2Upper ? 1 : 2;
    return std::string("The ") + (upper ? "upper" : "lower") + " threshold of comparator "
           + FormatInteger(comparator) + ". has to be between -100.0 and 100.0.\r\n\r\n";
}

std::string orderMessage(int comparator)
{
    return "The upper threshold must be greater than the lower threshold (Comparator "
           + FormatInteger(comparator) + ").\r\n\r\n";
}

// The "st" number of each threshold index: lower before upper, comparator 1 first.
int commandNumber(int index)
{
    constexpr int numbers[4] = {2, 1, 4, 3};
    return numbers[index];
}

// The threshold values when all four pass the check (one message at most), else nothing.
std::optional<std::array<double, 4>> checkThresholds(const TransferValues& values,
                                                     MessageSink& messages)
{
    std::array<double, 4> threshold{};
    for (int i = 0; i < 4; ++i) {
        const std::string& text = values.thresholdText[i];
        const std::optional<double> value = CheckThresholdText(text);
        if (!value || ThresholdCommand(commandNumber(i), text).size() > MaxTransferLineLength) {
            showError(messages, rangeMessage(i));
            return std::nullopt;
        }
        threshold[i] = *value;
    }
    for (int comparator = 1; comparator <= 2; ++comparator) {
        const int upper = comparator == 1 ? Comparator1Upper : Comparator2Upper;
        if (threshold[upper] < threshold[upper + 1]) {
            showError(messages, orderMessage(comparator));
            return std::nullopt;
        }
    }
    return threshold;
}

struct Step {
    std::string line;
    std::string progress;
};

std::vector<Step> transferSteps(const TransferValues& values)
{
    std::vector<Step> steps;
    const int order[4] = {Comparator1Lower, Comparator1Upper, Comparator2Lower, Comparator2Upper};
    for (int index : order) {
        const int number = commandNumber(index);
        steps.push_back({ThresholdCommand(number, values.thresholdText[index]),
                         "Send threshold " + FormatInteger(number)});
    }
    steps.push_back({ErrorEnableCommand(values.errorEnabled), "Send error handling 1"});
    steps.push_back({ErrorMemoryCommand(values.errorMemory), "Send error handling 2"});
    steps.push_back({CycleCommand(values.cycleText), "Send error handling 3"});
    return steps;
}

}  // namespace

TransferOutcome SendConfiguration(const TransferValues& values, const SendLine& send,
                                  MessageSink& messages, const ShowStatus& status)
{
    const std::vector<Step> steps = transferSteps(values);
    // The cycle comes from a fixed list; a text too long for one line is never sent cut.
    if (!checkThresholds(values, messages) || steps.back().line.size() > MaxTransferLineLength) {
        status("");
        return TransferOutcome::Refused;
    }
    for (const Step& step : steps) {
        if (send(step.line).empty()) {
            status("");
            return TransferOutcome::Stopped;
        }
        status(step.progress);
    }
    status("");
    return TransferOutcome::Completed;
}
