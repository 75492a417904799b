#pragma once

#include "message_sink.h"

// The core's messages as message boxes: no owner, modal for the whole application.
class GuiMessages : public MessageSink {
public:
    MessageAnswer show(const UserMessage& message) override;
};
