#include "entry_reader.h"

namespace {

bool isQuote(char c) { return c == '"' || c == '\''; }
bool isSeparator(char c) { return c == '=' || c == ','; }

void endPart(std::string& part, std::vector<std::string>& parts)
{
    if (!part.empty())
        parts.push_back(std::move(part));
    part.clear();
}

}  // namespace

std::vector<std::string> SplitEntry(std::string_view entry)
{
    std::vector<std::string> parts;
    std::string part;
    char quote = 0;  // the quote character of the open stretch, 0 outside
    for (std::size_t i = 0; i < entry.size(); ++i) {
        const char c = entry[i];
        const bool hasNext = i + 1 < entry.size();
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            } else if (c == '\\' && hasNext && (isQuote(entry[i + 1]) || entry[i + 1] == '\\')) {
                part += entry[++i];
            } else {
                part += c;
            }
        } else if (isSeparator(c)) {
            endPart(part, parts);
        } else if (c == '\\' && hasNext && isQuote(entry[i + 1])) {
            part += c;  // an escaped quote outside a stretch opens nothing
            part += entry[++i];
        } else if (isQuote(c)) {
            quote = c;
        } else {
            part += c;
        }
    }
    endPart(part, parts);
    return parts;
}

std::string_view KeyName(std::string_view key)
{
    std::size_t length = key.size();
    while (length > 0 && key[length - 1] >= '0' && key[length - 1] <= '9')
        --length;
    return key.substr(0, length);
}
