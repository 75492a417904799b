#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// How the simulated device behaves. Line numbers count the lines recorded since start() or
// the last clearReceived().
struct SimOptions {
    bool silent = false;          // never answer
    int silentFromLine = 0;       // 1-based: answer nothing from this line on (0 = never)
    int answerDelayMs = 0;        // processing delay before each answer
    int chunkSize = 0;            // 0 = whole answer in one write; n = pieces of n (1 = bytes)
    int chunkGapMs = 0;           // pause between chunks
    std::string noise;            // raw bytes sent before each answer (e.g. "xx" or "\x80\xff")
    bool highBytes = false;       // put a byte >= 128 inside each answer ("O\xffK")
    int hangUpAfterLines = 0;     // close the master on receiving line N, unanswered (0 = never)
    int baud = 0;                 // 0 = unpaced; else 10 bit times per byte in both directions
    std::string fixedAnswer;      // answer every line with this text instead of judging it ("ERR")
    bool emptyAnswer = false;     // answer every line with the line end alone
    std::string lineEnd = "\r\n"; // what ends each answer
};

// What the device holds after the lines it accepted. threshold[] is indexed by the "st" number.
struct SimState {
    double threshold[5] = {0, 0, 0, 0, 0};
    int errorEnabled = 0;
    int errorMemory = 0;
    int cycle = 0;
    int receiverOffset = 0;
    int transmitterOffset = 0;
    int removeCount = 0;
};

// One received line and what became of it, for a log.
struct SimExchange {
    std::string line;      // exact bytes, line end included
    std::string answer;    // bytes queued as the answer (noise and line end included)
    bool answered = false;
    bool accepted = false; // a well-formed command that changed the state
    bool hungUp = false;   // this line made the device hang up
    SimState state;
};

// A Quorix on a pseudo-terminal: the tool opens devicePath() (or a link to it) as its port.
class SimDevice {
public:
    explicit SimDevice(SimOptions options = {});
    ~SimDevice();  // stops the thread, closes both ends, removes a link still pointing here
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    bool start();                          // false when no pseudo-terminal could be made
    std::string devicePath() const;        // the slave path, e.g. /dev/pts/7
    bool linkTo(const std::string& path);  // false when path is taken by something not a link
    std::vector<std::string> receivedLines() const;  // exact bytes of each line, line end included
    std::string receivedBytes() const;     // everything received since start/clearReceived
    bool waitForLines(std::size_t count, int timeoutMs) const;  // false on time-out
    void send(const std::string& bytes);   // writes now, unpaced; returns once written (bounded)
    void hangUp();                         // closes the master now; returns once closed (bounded)
    bool isHungUp() const;
    void setOptions(const SimOptions& options);  // applies to lines received from now on
    SimOptions options() const;
    SimState state() const;
    void clearReceived();
    // Called on the device thread, outside its lock, for every received line. Set before start().
    void setObserver(std::function<void(const SimExchange&)> observer);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
