#include "recording_messages.h"

RecordingMessages::RecordingMessages(MessageAnswer answerToGive) : answer(answerToGive) {}

MessageAnswer RecordingMessages::show(const UserMessage& message)
{
    shown.push_back(message);
    if (whileShown)
        whileShown(message);
    return answer;
}

void RecordingMessages::setAnswer(MessageAnswer answerToGive)
{
    answer = answerToGive;
}

void RecordingMessages::setWhileShown(std::function<void(const UserMessage&)> action)
{
    whileShown = std::move(action);
}

int RecordingMessages::count() const
{
    return int(shown.size());
}

const UserMessage& RecordingMessages::last() const
{
    static const UserMessage none;
    return shown.empty() ? none : shown.back();
}

const std::vector<UserMessage>& RecordingMessages::messages() const
{
    return shown;
}

std::vector<std::string> RecordingMessages::titles() const
{
    std::vector<std::string> result;
    for (const UserMessage& message : shown)
        result.push_back(message.title);
    return result;
}

void RecordingMessages::clear()
{
    shown.clear();
}
