#include "pty_pair.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

#include <array>

namespace {

bool makeRaw(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B19200);
    ::cfsetospeed(&settings, B19200);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace

std::optional<PtyPair> openRawPty()
{
    PtyPair pair;
    pair.master.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (!pair.master.valid() || ::grantpt(pair.master.get()) != 0
        || ::unlockpt(pair.master.get()) != 0)
        return std::nullopt;
    std::array<char, 256> name{};
    if (::ptsname_r(pair.master.get(), name.data(), name.size()) != 0)
        return std::nullopt;
    pair.slavePath = name.data();
    pair.slave.reset(::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!pair.slave.valid() || !makeRaw(pair.slave.get()))
        return std::nullopt;
    makeRaw(pair.master.get());  // the slave's settings are the ones that count
    return pair;
}
