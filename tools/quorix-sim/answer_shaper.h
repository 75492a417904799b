#pragma once

#include "sim_device.h"

#include <chrono>
#include <string>
#include <vector>

using SimClock = std::chrono::steady_clock;

struct TimedWrite {
    SimClock::time_point due;
    std::string bytes;
};

// Time one byte takes on the wire at this rate (start bit, 8 data bits, stop bit); zero when
// unpaced.
SimClock::duration wireTimePerByte(int baud);

// The bytes of one answer (noise, text with an optional high byte, line end).
std::string answerBytes(const std::string& text, const SimOptions& options);

// Splits an answer into the writes the device makes, starting at start: paced byte by byte at
// the baud rate, in chunks with gaps between them, or all at once.
std::vector<TimedWrite> shapeAnswer(const std::string& bytes, SimClock::time_point start,
                                    const SimOptions& options);
