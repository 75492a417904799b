// CPU time of the process while an open port sits idle, and after its device hung up.
// Target: 0 clock ticks in either phase. Usage: bench_devicelink_idle [seconds per phase]
#include "rs232.h"

#include <pty.h>
#include <sys/times.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

long cpuTicks()
{
    tms usage{};
    times(&usage);
    return long(usage.tms_utime + usage.tms_stime);
}

long ticksOver(int seconds)
{
    const long before = cpuTicks();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return cpuTicks() - before;
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    int master = -1;
    int slave = -1;
    char name[64] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    setenv("QUORIX_COM1", name, 1);
    Rs232Class port;
    port.SetNotifyCallback([] {});
    if (!port.Open()) {
        std::fprintf(stderr, "cannot open %s\n", name);
        return 1;
    }
    std::printf("idle open port, %d s: %ld ticks (%ld per second)\n", seconds, ticksOver(seconds),
                sysconf(_SC_CLK_TCK));
    ::close(master);
    while (!port.deviceGone())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::printf("after hang-up, %d s: %ld ticks\n", seconds, ticksOver(seconds));
    port.Close();
    ::close(slave);
    return 0;
}
