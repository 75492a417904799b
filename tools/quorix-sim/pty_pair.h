#pragma once

#include "unique_fd.h"

#include <optional>
#include <string>

// Both ends of a pseudo-terminal. The simulator keeps its own slave descriptor open so the
// master never sees a hang-up while the tool closes its side between exchanges.
struct PtyPair {
    UniqueFd master;  // non-blocking
    UniqueFd slave;   // opened without becoming a controlling terminal
    std::string slavePath;
};

// A new pair with both sides in raw mode at 19200 baud; nothing when the system has no pty.
std::optional<PtyPair> openRawPty();
