#pragma once

#include <string_view>

// Line-level pieces shared by the INI reader and writer.
namespace profile::lines {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

struct Line {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n", "\r" or empty for a last line without one
};

class LineReader {
public:
    explicit LineReader(std::string_view content) : rest(content) {}

    bool next(Line& line)
    {
        if (rest.empty())
            return false;
        const std::size_t stop = rest.find_first_of("\r\n");
        if (stop == std::string_view::npos) {
            line = {rest, {}};
            rest = {};
            return true;
        }
        const std::size_t endLength = rest[stop] == '\r' && stop + 1 < rest.size()
                                              && rest[stop + 1] == '\n'
                                          ? 2
                                          : 1;
        line = {rest.substr(0, stop), rest.substr(stop, endLength)};
        rest.remove_prefix(stop + endLength);
        return true;
    }

private:
    std::string_view rest;
};

enum class LineKind { Header, Entry, Other };

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

inline std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The kind of a line; for a header its section name, for an entry its trimmed text.
inline LineKind classify(std::string_view text, std::string_view& value)
{
    const std::string_view trimmed = trim(text);
    if (!trimmed.empty() && trimmed.front() == '[') {
        const std::size_t close = trimmed.find(']');
        if (close != std::string_view::npos) {
            value = trim(trimmed.substr(1, close - 1));
            return LineKind::Header;
        }
    }
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.find('=') == std::string_view::npos)
        return LineKind::Other;
    value = trimmed;
    return LineKind::Entry;
}

inline bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

inline std::string_view withoutByteOrderMark(std::string_view content)
{
    if (content.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        content.remove_prefix(ByteOrderMark.size());
    return content;
}

}  // namespace profile::lines
