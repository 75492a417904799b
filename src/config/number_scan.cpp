#include "number_scan.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t skipDigits(std::string_view text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// The exponent's value, saturated far beyond any double's range.
long exponentValue(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size(); ++i)
        if (value < 1'000'000'000)
            value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

// A rough decimal magnitude of a nonzero mantissa with exponent: enough to tell an overflow
// from an underflow, which lie hundreds of decades apart.
bool tooLarge(std::string_view integer, std::string_view fraction, long exponent)
{
    long magnitude = 0;
    std::size_t k = integer.find_first_not_of('0');
    if (k != std::string_view::npos) {
        magnitude = static_cast<long>(integer.size() - k) - 1;
        if (magnitude > 1'000'000'000)
            magnitude = 1'000'000'000;
    } else {
        k = fraction.find_first_not_of('0');
        magnitude = k == std::string_view::npos ? -1'000'000'000
                                                : -static_cast<long>(std::min<std::size_t>(
                                                      k, 1'000'000'000)) - 1;
    }
    return magnitude + exponent > 0;
}

bool hasNonzeroDigit(std::string_view digits)
{
    return digits.find_first_of("123456789") != std::string_view::npos;
}

}  // namespace

NumberScan ScanNumber(std::string_view text)
{
    NumberScan scan;
    std::size_t i = 0;
    while (i < text.size() && isWhite(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t mantissaStart = i;
    const std::size_t integerEnd = skipDigits(text, i);
    std::size_t fractionStart = integerEnd;
    std::size_t fractionEnd = integerEnd;
    if (integerEnd < text.size() && text[integerEnd] == '.') {
        fractionStart = integerEnd + 1;
        fractionEnd = skipDigits(text, fractionStart);
    }
    if (integerEnd == mantissaStart && fractionEnd == fractionStart)
        return scan;  // no digit: no number
    i = fractionEnd;
    std::size_t exponentStart = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t digitsEnd = skipDigits(text, j);
        if (digitsEnd > j) {
            exponentStart = i + 1;
            i = digitsEnd;
        }
    }

    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + i;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument)
        return scan;

    const std::string_view integer = text.substr(mantissaStart, integerEnd - mantissaStart);
    const std::string_view fraction = text.substr(fractionStart, fractionEnd - fractionStart);
    const bool nonzero = hasNonzeroDigit(integer) || hasNonzeroDigit(fraction);
    scan.found = true;
    scan.end = i;
    if (result.ec == std::errc::result_out_of_range) {
        const long exponent =
            exponentStart < i ? exponentValue(text.substr(exponentStart, i - exponentStart)) : 0;
        const bool overflow = tooLarge(integer, fraction, exponent);
        scan.range = overflow ? NumberRange::Overflow : NumberRange::Underflow;
        value = overflow ? HUGE_VAL : 0.0;
    } else if (nonzero && std::fabs(value) < DBL_MIN) {
        scan.range = NumberRange::Underflow;  // subnormal or flushed to zero, as strtod reports
    }
    scan.value = negative ? -value : value;
    return scan;
}
