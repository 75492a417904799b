#pragma once

#include <cstddef>
#include <string_view>

enum class NumberRange { InRange, Overflow, Underflow };

struct NumberScan {
    bool found = false;    // a number begins at the start of the text
    std::size_t end = 0;   // just past the number
    double value = 0.0;    // +-HUGE_VAL on overflow; the nearest value (maybe +-0) on underflow
    NumberRange range = NumberRange::InRange;
};

// The longest beginning of text that is a decimal number: white space, an optional sign, digits
// with an optional point (one digit at least), an optional exponent (taken only with a digit).
// No hexadecimal, infinity or not-a-number forms. Independent of the process locale.
NumberScan ScanNumber(std::string_view text);
