#include "profile_lines.h"
#include "profile_text.h"

namespace profile {
namespace {

using namespace lines;

constexpr std::size_t NoSection = static_cast<std::size_t>(-1);

bool validName(std::string_view name)
{
    return !name.empty() && trim(name) == name
           && name.find_first_of("]\r\n") == std::string_view::npos;
}

bool validEntry(std::string_view entry)
{
    std::string_view value;
    return entry.find_first_of("\r\n") == std::string_view::npos
           && classify(entry, value) == LineKind::Entry && value == entry;
}

bool validSections(const std::vector<Section>& sections)
{
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (!validName(sections[i].first))
            return false;
        for (std::size_t j = 0; j < i; ++j)
            if (sameName(sections[i].first, sections[j].first))
                return false;
        for (const std::string& entry : sections[i].second)
            if (!validEntry(entry))
                return false;
    }
    return true;
}

// The content's first line end. A lone CR is not taken: a new line ended by it would merge with
// a following blank line's LF into one CR LF and so remove that line.
std::string_view newLineEnd(std::string_view content)
{
    LineReader reader(content);
    Line line;
    while (reader.next(line))
        if (!line.end.empty())
            return line.end == "\n" ? "\n" : "\r\n";
    return "\r\n";
}

// Copies the content line by line into out, replacing the target sections on the way.
class Rewriter {
public:
    Rewriter(const std::vector<Section>& targets, std::string_view lineEnd)
        : sections(targets), eol(lineEnd), written(targets.size(), false)
    {
    }

    void take(const Line& line)
    {
        std::string_view value;
        const LineKind kind = classify(line.text, value);
        if (kind == LineKind::Header) {
            finishSection();
            enterSection(value, line);
        } else if (dropping) {
            return;
        } else if (kind == LineKind::Entry && current != NoSection) {
            if (!entriesDone)
                out += entriesText(current);
            entriesDone = true;
        } else {
            emit(line);
        }
    }

    std::string finish()
    {
        finishSection();
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (written[i])
                continue;
            closeOpenLine();
            out.append("[").append(sections[i].first).append("]").append(eol);
            out += entriesText(i);
        }
        return std::move(out);
    }

    std::string out;

private:
    std::size_t find(std::string_view name) const
    {
        for (std::size_t i = 0; i < sections.size(); ++i)
            if (sameName(name, sections[i].first))
                return i;
        return NoSection;
    }

    void enterSection(std::string_view name, const Line& header)
    {
        const std::size_t index = find(name);
        dropping = index != NoSection && written[index];
        if (dropping)
            return;  // a repetition of a section already written
        emit(header);
        current = index;
        if (current == NoSection)
            return;
        written[current] = true;
        entriesDone = false;
        closeOpenLine();
        insertAt = out.size();
    }

    void finishSection()
    {
        if (current != NoSection && !entriesDone)
            out.insert(insertAt, entriesText(current));
        current = NoSection;
    }

    void emit(const Line& line)
    {
        out.append(line.text).append(line.end);
        openLine = line.end.empty();
    }

    void closeOpenLine()
    {
        if (openLine)
            out.append(eol);
        openLine = false;
    }

    std::string entriesText(std::size_t index) const
    {
        std::string text;
        for (const std::string& entry : sections[index].second)
            text.append(entry).append(eol);
        return text;
    }

    const std::vector<Section>& sections;
    std::string_view eol;
    std::vector<bool> written;
    std::size_t current = NoSection;
    std::size_t insertAt = 0;
    bool entriesDone = false;
    bool dropping = false;
    bool openLine = false;
};

}  // namespace

std::optional<std::string> ReplaceSections(std::string_view content,
                                           const std::vector<Section>& sections)
{
    if (!validSections(sections))
        return std::nullopt;
    const std::string_view body = withoutByteOrderMark(content);
    Rewriter rewriter(sections, newLineEnd(body));
    rewriter.out.reserve(content.size() + 256);
    rewriter.out.append(content.substr(0, content.size() - body.size()));
    LineReader reader(body);
    Line line;
    while (reader.next(line))
        rewriter.take(line);
    return rewriter.finish();
}

}  // namespace profile
