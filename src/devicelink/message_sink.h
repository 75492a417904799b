#pragma once

#include <string>

// How the core asks the user something: the GUI shows a QMessageBox, tests record it.
enum class MessageIcon { Error, Warning, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct UserMessage {
    MessageIcon icon = MessageIcon::Error;
    MessageButtons buttons = MessageButtons::Ok;
    std::string title;
    std::string text;  // exactly as the device link words it, "\r\n" line breaks included
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the message application-modal and returns when the user has closed it.
    virtual MessageAnswer show(const UserMessage& message) = 0;
};
