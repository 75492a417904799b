#include "sim_cli.h"

#include <charconv>
#include <cstdio>

namespace {

bool readCount(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [last, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && last == end && value >= 0;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool takeOption(SimCommandLine& line, const std::string& name, const std::string& value)
{
    SimOptions& o = line.options;
    if (name == "--link") {
        line.linkPath = value;
        return !value.empty();
    }
    if (name == "--noise")
        return unescapeBytes(value, o.noise);
    if (name == "--answer")
        return unescapeBytes(value, o.fixedAnswer);
    int* target = name == "--baud"            ? &o.baud
                  : name == "--delay"         ? &o.answerDelayMs
                  : name == "--silent-from"   ? &o.silentFromLine
                  : name == "--chunk"         ? &o.chunkSize
                  : name == "--chunk-gap"     ? &o.chunkGapMs
                  : name == "--hang-up-after" ? &o.hangUpAfterLines
                                              : nullptr;
    return target && readCount(value, *target);
}

}  // namespace

SimCommandLine parseSimCommandLine(const std::vector<std::string>& arguments)
{
    SimCommandLine line;
    for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            line.help = true;
        } else if (name == "--silent") {
            line.options.silent = true;
        } else if (name == "--high-bytes") {
            line.options.highBytes = true;
        } else if (name == "--empty-answer") {
            line.options.emptyAnswer = true;
        } else if (i + 1 == arguments.size() || name.rfind("--", 0) != 0) {
            line.error = "unknown option or missing value: " + name;
        } else if (!takeOption(line, name, arguments[i + 1])) {
            line.error = "bad value for " + name + ": " + arguments[i + 1];
        } else {
            ++i;
        }
    }
    return line;
}

bool unescapeBytes(std::string_view text, std::string& bytes)
{
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case 'r': bytes += '\r'; break;
        case 'n': bytes += '\n'; break;
        case 't': bytes += '\t'; break;
        case '\\': bytes += '\\'; break;
        case 'x': {
            const int high = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0)
                return false;
            bytes += char(high * 16 + low);
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

std::string escapeBytes(std::string_view bytes)
{
    std::string shown;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\\') {
            shown += "\\\\";
        } else if (byte >= 32 && byte < 127) {
            shown += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", unsigned(byte));
            shown += hex;
        }
    }
    return shown;
}

std::string describeState(const SimState& s)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "st1=%g st2=%g st3=%g st4=%g ee=%d em=%d cf=%d sc1=%d sc2=%d rf=%d",
                  s.threshold[1], s.threshold[2], s.threshold[3], s.threshold[4],
                  s.errorEnabled, s.errorMemory, s.cycle, s.receiverOffset,
                  s.transmitterOffset, s.removeCount);
    return text;
}

std::string simUsage(std::string_view program)
{
    std::string usage = "Usage: " + std::string(program) + " [options]\n";
    usage += R"(
A simulated Quorix on a pseudo-terminal. Prints the device path (e.g. /dev/pts/7) as its first
line on stdout; the configuration tool opens that path (or the --link) as its serial port, e.g.
  QUORIX_COM2=/dev/pts/7 build/bin/quorix
Every line received is logged on stderr ("<- st 1 0.0") with the answer ("-> OK") and, after an
accepted line, the values the device now holds. Ends on Ctrl+C, SIGTERM or SIGHUP.

The device answers "OK" to a well-formed line of its command set
  st N X   (N 1..4, X -100..100)    ee 0|1    em 0|1    cf 0|5|10|...|60|90
  sc 1 N / sc 2 N (whole number)    rf
and "ERR unknown command" or "ERR bad argument" to anything else.

Options:
  --link PATH          also make PATH a symbolic link to the device (removed at the end)
  --baud N             pace the line at N baud (10 bit times per byte, both directions)
  --delay MS           wait MS milliseconds before each answer
  --silent             never answer
  --silent-from N      answer nothing from the N-th received line on
  --chunk N            write answers in pieces of N bytes (1 = byte by byte)
  --chunk-gap MS       pause MS milliseconds between pieces
  --noise TEXT         send TEXT before each answer
  --high-bytes         put a byte 0xff inside each answer ("O\xffK")
  --hang-up-after N    close the device on receiving the N-th line (like an unplugged adapter)
  --answer TEXT        answer every line with TEXT instead of judging it
  --empty-answer       answer every line with a bare line end
  --help               show this text
TEXT may hold \r, \n, \t, \\ and \xHH.

Talking to it by hand (the device is in raw mode, so no echo and no line editing):
  printf 'ee 1\r\n' > /dev/pts/7; timeout 1 cat /dev/pts/7
prints "OK". Answers wait on the device until something reads them (the tool clears
them when it opens the port).
)";
    return usage;
}
