#include "profile_text.h"

#include "profile_lines.h"

namespace profile {

using namespace lines;

std::vector<std::vector<std::string>> ParseSections(std::string_view content,
                                                    const std::vector<std::string>& names)
{
    std::vector<std::vector<std::string>> entries(names.size());
    std::vector<std::size_t> current;  // indexes of the names the current section matches
    LineReader reader(withoutByteOrderMark(content));
    Line line;
    while (reader.next(line)) {
        std::string_view value;
        const LineKind kind = classify(line.text, value);
        if (kind == LineKind::Header) {
            current.clear();
            for (std::size_t i = 0; i < names.size(); ++i)
                if (sameName(value, names[i]))
                    current.push_back(i);
        } else if (kind == LineKind::Entry) {
            for (std::size_t i : current)
                entries[i].emplace_back(value);
        }
    }
    return entries;
}

}  // namespace profile
