#include "answer_shaper.h"

#include <algorithm>

SimClock::duration wireTimePerByte(int baud)
{
    if (baud <= 0)
        return SimClock::duration::zero();
    return std::chrono::duration_cast<SimClock::duration>(std::chrono::nanoseconds(
        10LL * 1000000000LL / baud));
}

std::string answerBytes(const std::string& text, const SimOptions& options)
{
    std::string body = options.emptyAnswer ? std::string() : text;
    if (options.highBytes)
        body.insert(std::min<std::size_t>(1, body.size()), 1, '\xff');
    return options.noise + body + options.lineEnd;
}

std::vector<TimedWrite> shapeAnswer(const std::string& bytes, SimClock::time_point start,
                                    const SimOptions& options)
{
    const SimClock::duration perByte = wireTimePerByte(options.baud);
    const SimClock::duration gap = std::chrono::milliseconds(std::max(0, options.chunkGapMs));
    const std::size_t chunk = options.chunkSize > 0 ? std::size_t(options.chunkSize)
                                                    : std::max<std::size_t>(1, bytes.size());
    std::vector<TimedWrite> writes;
    SimClock::time_point at = start;
    for (std::size_t offset = 0; offset < bytes.size(); offset += chunk) {
        const std::string piece = bytes.substr(offset, chunk);
        if (offset > 0)
            at += gap;
        if (perByte == SimClock::duration::zero()) {
            writes.push_back({at, piece});
            continue;
        }
        // A byte leaves the device once its last bit is on the wire.
        for (char c : piece) {
            at += perByte;
            writes.push_back({at, std::string(1, c)});
        }
    }
    return writes;
}
