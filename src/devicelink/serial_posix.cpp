// Every termios, ioctl and flock call of the device link lives here.
#include "serial_port_impl.h"

#include "rs232.h"

#include <asm/termbits.h>  // termios2: BOTHER gives rates without a B constant (14400)
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

namespace {

constexpr int WriteBoundMs = 1000;

// The standard constant where there is one (every driver knows those), else BOTHER.
tcflag_t speedCode(std::uint32_t rate)
{
    switch (rate) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    default: return BOTHER;
    }
}

bool applyLineSettings(int fd, const LineSettings& s)
{
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON
                             | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~tcflag_t(OPOST);
    tio.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    const tcflag_t speed = speedCode(s.baudRate);
    tio.c_cflag |= tcflag_t((s.dataBits == 7 ? CS7 : CS8) | CLOCAL | CREAD | speed);
    if (speed == BOTHER)
        tio.c_cflag |= tcflag_t(BOTHER << IBSHIFT);
    if (s.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_ispeed = s.baudRate;
    tio.c_ospeed = s.baudRate;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

void setModemLines(int fd, bool on)
{
    int lines = TIOCM_DTR | TIOCM_RTS;
    // A pseudo-terminal has no modem lines (ENOTTY): nothing to do then.
    (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &lines);
}

void flushBoth(int fd) { (void)ioctl(fd, TCFLSH, TCIOFLUSH); }

}  // namespace

bool hasUart(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid())
        return false;
    struct serial_struct info {};
    return ioctl(fd.get(), TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
}

bool SerialPortImpl::open(const std::string& path, const LineSettings& lineSettings)
{
    if (isOpen() || path.empty())
        return false;
    lastPath = path;
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid())
        return false;
    // flock holds even for root and against a second open in this process; TIOCEXCL keeps
    // out programs that do not lock.
    if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || ioctl(fd.get(), TIOCEXCL) != 0)
        return false;
    if (!applyLineSettings(fd.get(), lineSettings)) {
        (void)ioctl(fd.get(), TIOCNXCL);
        return false;
    }
    UniqueFd wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wakeFd.valid()) {
        (void)ioctl(fd.get(), TIOCNXCL);
        return false;
    }
    flushBoth(fd.get());
    stopping = false;
    gone = false;
    owed = false;
    count = 0;
    port = std::move(fd);
    wake = std::move(wakeFd);
    try {
        reader = std::thread([this] { readerLoop(); });
    } catch (const std::system_error&) {
        (void)ioctl(port.get(), TIOCNXCL);
        port.reset();
        wake.reset();
        return false;
    }
    setModemLines(port.get(), true);
    return true;
}

void SerialPortImpl::close()
{
    if (!isOpen())
        return;
    stopping = true;
    std::uint64_t one = 1;
    (void)::write(wake.get(), &one, sizeof one);
    settleToken();  // a chunk still owed would keep the reader at the semaphore
    if (reader.joinable())
        reader.join();
    settleToken();  // the reader may have announced a chunk while it was told to stop
    count = 0;
    setModemLines(port.get(), false);
    flushBoth(port.get());
    (void)ioctl(port.get(), TIOCNXCL);  // the flag would outlive us on a tty still open elsewhere
    port.reset();
    wake.reset();
}

void SerialPortImpl::settleToken()
{
    if (owed.exchange(false))
        token.release();
}

bool SerialPortImpl::write(const char* data, int length)
{
    if (!isOpen() || gone || length < 0)
        return false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(WriteBoundMs);
    int done = 0;
    while (done < length) {
        ssize_t n = ::write(port.get(), data + done, size_t(length - done));
        if (n > 0) {
            done += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd pfd{port.get(), POLLOUT, 0};
        if (poll(&pfd, 1, int(left.count())) < 0 && errno != EINTR)
            return false;
        if (pfd.revents & (POLLERR | POLLHUP | POLLNVAL))
            return false;
    }
    return true;
}

int SerialPortImpl::receivedCount() const { return owed.load() ? count : 0; }

bool SerialPortImpl::fetch(char* destination)
{
    if (!owed.load())
        return false;
    std::memcpy(destination, buffer, size_t(count));
    owed = false;
    token.release();
    return true;
}

void SerialPortImpl::readerLoop()
{
    for (;;) {
        pollfd fds[2] = {{port.get(), POLLIN, 0}, {wake.get(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            gone = true;
            return;
        }
        if (fds[1].revents != 0 || stopping)
            return;
        if (fds[0].revents & POLLIN) {
            if (!readChunks())
                return;
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            gone = true;  // leave the port for Close, and stop polling a dead device
            return;
        }
    }
}

bool SerialPortImpl::readChunks()
{
    for (;;) {
        token.acquire();
        if (stopping) {
            token.release();
            return false;
        }
        ssize_t n = ::read(port.get(), buffer, ChunkSize);
        if (n > 0) {
            count = int(n);
            owed = true;
            owner.DataArrived(&owner);
            if (stopping)
                return false;  // Close gives the token back
            continue;
        }
        int error = n < 0 ? errno : 0;
        token.release();
        if (error == EAGAIN || error == EINTR)
            return true;
        // 0 and EIO mean the device hung up; any other failure would only repeat itself.
        gone = true;
        return false;
    }
}
