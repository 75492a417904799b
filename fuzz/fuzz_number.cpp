// Number reading against the C library's strtod in the "C" locale, and the threshold check
// against number reading.
#include "value_text.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// strtod also reads hexadecimal, infinity and not-a-number, which number reading leaves out.
bool strtodReadsMore(const std::string& text)
{
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos)
        return false;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    if (i >= text.size())
        return false;
    const char c = text[i];
    const bool hex = c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X');
    return hex || c == 'i' || c == 'I' || c == 'n' || c == 'N';
}

bool same(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double number = ReadNumber(text);
    const std::int32_t integer = ReadInteger(text);
    if (std::isnan(number))
        std::abort();
    const std::int32_t clamped = number >= 2147483647.0    ? INT32_MAX
                                 : number <= -2147483648.0 ? INT32_MIN
                                                           : static_cast<std::int32_t>(number);
    if (integer != clamped)
        std::abort();
    if (ReadFlag(text) != (integer != 0))
        std::abort();

    const bool hasNul = std::memchr(text.data(), 0, text.size()) != nullptr;
    if (!hasNul && !strtodReadsMore(text)) {
        errno = 0;
        const double reference = std::strtod(text.c_str(), nullptr);
        const bool underflow = reference != 0 && std::fabs(reference) < DBL_MIN;
        if (!underflow && !(errno == ERANGE && reference == 0) && !same(number, reference))
            std::abort();
    }

    if (const std::optional<double> checked = CheckThresholdText(text)) {
        if (*checked != number || *checked < -100.0 || *checked > 100.0 || hasNul)
            std::abort();
        char* end = nullptr;
        errno = 0;
        const double reference = std::strtod(text.c_str(), &end);
        if (end != text.c_str() + text.size() || errno != 0 || reference != *checked)
            std::abort();
    }
    return 0;
}
