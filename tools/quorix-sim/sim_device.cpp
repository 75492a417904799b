#include "sim_device.h"

#include "answer_shaper.h"
#include "line_framer.h"
#include "pty_pair.h"
#include "sim_commands.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace {

// How long a CR that ended the bytes received so far waits for an LF of its own.
constexpr auto heldCrGrace = std::chrono::milliseconds(20);
// Bound on send() and hangUp(): the device thread only ever blocks in ppoll.
constexpr auto callBound = std::chrono::seconds(2);

struct Pending {
    SimClock::time_point due;
    std::string bytes;
    bool hangUp = false;
    std::uint64_t ticket = 0;
};

std::string withoutLineEnd(std::string line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

std::optional<std::string> readLink(const std::string& path)
{
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || std::size_t(n) >= target.size())
        return std::nullopt;
    target.resize(std::size_t(n));
    return target;
}

}  // namespace

struct SimDevice::Impl {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    SimOptions options;
    SimState state;
    std::vector<std::string> lines;
    std::string received;
    LineFramer framer;
    SimClock::time_point heldCrDeadline;
    SimClock::time_point heldCrWireEnd;
    SimClock::time_point rxWireFree;
    SimClock::time_point txFree;
    std::deque<Pending> queue;
    bool writeBlocked = false;
    bool masterReadable = true;
    std::uint64_t lastTicket = 0;
    std::uint64_t doneTicket = 0;
    bool hungUp = false;
    bool stopping = false;
    std::function<void(const SimExchange&)> observer;
    std::vector<SimExchange> reports;
    PtyPair pty;
    UniqueFd wake;
    std::vector<std::string> links;
    std::thread thread;

    void run();
    void serviceMaster(short revents, SimClock::time_point now);
    void onBytes(std::string_view bytes, SimClock::time_point now);
    void lineDone(std::string line, SimClock::time_point wireEnd);
    void answer(const std::string& line, SimClock::time_point wireEnd, SimExchange& exchange);
    void schedule(Pending item);
    void flushDue(SimClock::time_point now);
    void closeMaster();
    std::uint64_t enqueueNow(std::string bytes, bool hangUp);
    void wakeThread() const;
};

void SimDevice::Impl::wakeThread() const
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake.get(), &one, sizeof one);
}

void SimDevice::Impl::run()
{
    std::vector<SimExchange> toReport;
    std::function<void(const SimExchange&)> report;
    for (;;) {
        pollfd fds[2]{};
        nfds_t count = 1;
        timespec timeout{};
        timespec* timeoutPtr = nullptr;
        {
            std::lock_guard lock(mutex);
            if (stopping)
                return;
            fds[0] = {wake.get(), POLLIN, 0};
            if (pty.master.valid() && (masterReadable || writeBlocked)) {
                const short in = masterReadable ? POLLIN : 0;
                fds[1] = {pty.master.get(), short(in | (writeBlocked ? POLLOUT : 0)), 0};
                count = 2;
            }
            std::optional<SimClock::time_point> next;
            if (!queue.empty() && !writeBlocked)
                next = queue.front().due;
            if (framer.holdsCr())
                next = std::min(next.value_or(heldCrDeadline), heldCrDeadline);
            if (next) {
                const auto wait = std::max(SimClock::duration::zero(), *next - SimClock::now());
                const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait);
                timeout.tv_sec = time_t(ns.count() / 1000000000);
                timeout.tv_nsec = long(ns.count() % 1000000000);
                timeoutPtr = &timeout;
            }
        }
        if (::ppoll(fds, count, timeoutPtr, nullptr) < 0 && errno != EINTR)
            continue;
        if (fds[0].revents & POLLIN) {
            std::uint64_t value = 0;
            [[maybe_unused]] const ssize_t n = ::read(wake.get(), &value, sizeof value);
        }
        {
            std::lock_guard lock(mutex);
            const SimClock::time_point now = SimClock::now();
            if (count == 2 && pty.master.valid())
                serviceMaster(fds[1].revents, now);
            if (framer.holdsCr() && now >= heldCrDeadline)
                lineDone(framer.takeHeldLine(), heldCrWireEnd);
            flushDue(now);
            toReport.swap(reports);
            report = observer;
        }
        changed.notify_all();
        for (const SimExchange& exchange : toReport)
            if (report)
                report(exchange);
        toReport.clear();
    }
}

void SimDevice::Impl::serviceMaster(short revents, SimClock::time_point now)
{
    if (revents & POLLOUT)
        writeBlocked = false;
    if (!(revents & (POLLIN | POLLHUP | POLLERR)))
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pty.master.get(), buffer, sizeof buffer);
        if (n > 0) {
            onBytes(std::string_view(buffer, std::size_t(n)), now);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            masterReadable = false;  // never spin on a master that only reports errors
        return;
    }
}

void SimDevice::Impl::onBytes(std::string_view bytes, SimClock::time_point now)
{
    received.append(bytes);
    const SimClock::duration perByte = wireTimePerByte(options.baud);
    const SimClock::time_point wireStart = std::max(now, rxWireFree);
    rxWireFree = wireStart + perByte * std::int64_t(bytes.size());
    for (LineFramer::Line& line : framer.feed(bytes))
        lineDone(std::move(line.bytes), wireStart + perByte * std::int64_t(line.end));
    if (framer.holdsCr()) {
        heldCrDeadline = now + heldCrGrace;
        heldCrWireEnd = rxWireFree;
    }
}

void SimDevice::Impl::lineDone(std::string line, SimClock::time_point wireEnd)
{
    lines.push_back(line);
    const int number = int(lines.size());
    SimExchange exchange;
    exchange.line = std::move(line);
    const bool silenced =
        options.silent || (options.silentFromLine > 0 && number >= options.silentFromLine);
    if (options.hangUpAfterLines > 0 && number >= options.hangUpAfterLines) {
        schedule({wireEnd, {}, true, 0});
        exchange.hungUp = true;
    } else if (!silenced) {
        answer(exchange.line, wireEnd, exchange);
    }
    exchange.state = state;
    reports.push_back(std::move(exchange));
}

void SimDevice::Impl::answer(const std::string& line, SimClock::time_point wireEnd,
                             SimExchange& exchange)
{
    std::string text = options.fixedAnswer;
    if (text.empty()) {
        SimVerdict verdict = judgeCommand(withoutLineEnd(line), state);
        exchange.accepted = verdict.accepted;
        text = std::move(verdict.answer);
    }
    exchange.answer = answerBytes(text, options);
    exchange.answered = true;
    const SimClock::time_point start =
        std::max(wireEnd + std::chrono::milliseconds(std::max(0, options.answerDelayMs)), txFree);
    txFree = start;
    for (TimedWrite& write : shapeAnswer(exchange.answer, start, options)) {
        txFree = write.due;
        schedule({write.due, std::move(write.bytes), false, 0});
    }
}

void SimDevice::Impl::schedule(Pending item)
{
    const auto later = std::upper_bound(queue.begin(), queue.end(), item.due,
        [](SimClock::time_point due, const Pending& p) { return due < p.due; });
    queue.insert(later, std::move(item));
}

void SimDevice::Impl::flushDue(SimClock::time_point now)
{
    while (!queue.empty() && !writeBlocked && queue.front().due <= now) {
        Pending& head = queue.front();
        if (head.hangUp) {
            doneTicket = std::max(doneTicket, head.ticket);
            closeMaster();
            return;
        }
        const ssize_t n = ::write(pty.master.get(), head.bytes.data(), head.bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writeBlocked = true;
            return;
        }
        if (n > 0)
            head.bytes.erase(0, std::size_t(n));
        if (n < 0 || head.bytes.empty()) {
            doneTicket = std::max(doneTicket, head.ticket);
            queue.pop_front();
        }
    }
}

void SimDevice::Impl::closeMaster()
{
    pty.master.reset();
    hungUp = true;
    writeBlocked = false;
    for (const Pending& item : queue)
        doneTicket = std::max(doneTicket, item.ticket);
    queue.clear();
}

std::uint64_t SimDevice::Impl::enqueueNow(std::string bytes, bool hangUp)
{
    const std::uint64_t ticket = ++lastTicket;
    schedule({SimClock::now(), std::move(bytes), hangUp, ticket});
    wakeThread();
    return ticket;
}

SimDevice::SimDevice(SimOptions options) : d(std::make_unique<Impl>())
{
    d->options = std::move(options);
}

SimDevice::~SimDevice()
{
    if (d->thread.joinable()) {
        {
            std::lock_guard lock(d->mutex);
            d->stopping = true;
        }
        d->wakeThread();
        d->thread.join();
    }
    for (const std::string& link : d->links)
        if (readLink(link) == d->pty.slavePath)
            ::unlink(link.c_str());
}

bool SimDevice::start()
{
    if (d->thread.joinable())
        return true;
    std::optional<PtyPair> pty = openRawPty();
    UniqueFd wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!pty || !wake.valid())
        return false;
    d->pty = std::move(*pty);
    d->wake = std::move(wake);
    d->thread = std::thread([impl = d.get()] { impl->run(); });
    return true;
}

std::string SimDevice::devicePath() const
{
    return d->pty.slavePath;
}

bool SimDevice::linkTo(const std::string& path)
{
    if (d->pty.slavePath.empty() || path.empty())
        return false;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISLNK(info.st_mode))
        return false;  // never replace a real file or device
    // Build the new link beside the old one and rename it over, so the path is never missing.
    const std::string temporary = path + ".sim-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(d->pty.slavePath.c_str(), temporary.c_str()) != 0)
        return false;
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::find(d->links.begin(), d->links.end(), path) == d->links.end())
        d->links.push_back(path);
    return true;
}

std::vector<std::string> SimDevice::receivedLines() const
{
    std::lock_guard lock(d->mutex);
    return d->lines;
}

std::string SimDevice::receivedBytes() const
{
    std::lock_guard lock(d->mutex);
    return d->received;
}

bool SimDevice::waitForLines(std::size_t count, int timeoutMs) const
{
    std::unique_lock lock(d->mutex);
    return d->changed.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)),
                               [&] { return d->lines.size() >= count; });
}

void SimDevice::send(const std::string& bytes)
{
    std::unique_lock lock(d->mutex);
    if (bytes.empty() || d->hungUp || !d->thread.joinable())
        return;
    const std::uint64_t ticket = d->enqueueNow(bytes, false);
    d->changed.wait_for(lock, callBound, [&] { return d->doneTicket >= ticket || d->hungUp; });
}

void SimDevice::hangUp()
{
    std::unique_lock lock(d->mutex);
    if (d->hungUp || !d->thread.joinable())
        return;
    d->enqueueNow({}, true);
    d->changed.wait_for(lock, callBound, [&] { return d->hungUp; });
}

bool SimDevice::isHungUp() const
{
    std::lock_guard lock(d->mutex);
    return d->hungUp;
}

void SimDevice::setOptions(const SimOptions& options)
{
    std::lock_guard lock(d->mutex);
    d->options = options;
}

SimOptions SimDevice::options() const
{
    std::lock_guard lock(d->mutex);
    return d->options;
}

SimState SimDevice::state() const
{
    std::lock_guard lock(d->mutex);
    return d->state;
}

void SimDevice::clearReceived()
{
    std::lock_guard lock(d->mutex);
    d->lines.clear();
    d->received.clear();
}

void SimDevice::setObserver(std::function<void(const SimExchange&)> observer)
{
    std::lock_guard lock(d->mutex);
    d->observer = std::move(observer);
}
