#pragma once

#include "message_sink.h"

#include <functional>
#include <string>
#include <vector>

// Records every message the core would show and answers with a preset button.
class RecordingMessages : public MessageSink {
public:
    explicit RecordingMessages(MessageAnswer answer = MessageAnswer::Ok);

    MessageAnswer show(const UserMessage& message) override;

    void setAnswer(MessageAnswer answer);
    // Runs inside show(), while the message would be on the screen.
    void setWhileShown(std::function<void(const UserMessage&)> action);

    int count() const;
    const UserMessage& last() const;  // an empty message when none was shown
    const std::vector<UserMessage>& messages() const;
    std::vector<std::string> titles() const;
    void clear();

private:
    MessageAnswer answer;
    std::function<void(const UserMessage&)> whileShown;
    std::vector<UserMessage> shown;
};
