// Round trip of one command line: QuorixComm's send-and-wait against a plain client that
// writes and reads with blocking calls on the same kind of simulated device.
#include "sim_connection.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace {

const std::string Command = "rf\r\n";

SimOptions answeringOk()
{
    SimOptions options;
    options.fixedAnswer = "OK";
    return options;
}

void sendCommand(benchmark::State& state)
{
    SimConnection link(answeringOk());
    if (link.failure) {
        state.SkipWithError(link.failure);
        return;
    }
    for (auto _ : state) {
        std::string answer = link.comm.SendCommand(Command);
        benchmark::DoNotOptimize(answer);
    }
    if (link.messages.count() != 0)
        state.SkipWithError("time-out during the run");
}

// Blocking write, then blocking reads until the line end: the least any client can do.
void plainClient(benchmark::State& state)
{
    SimDevice sim(answeringOk());
    if (!sim.start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    int fd = ::open(sim.devicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        state.SkipWithError("open failed");
        return;
    }
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, B19200);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &tio);
    char buffer[256];
    for (auto _ : state) {
        if (::write(fd, Command.data(), Command.size()) != ssize_t(Command.size())) {
            state.SkipWithError("write failed");
            break;
        }
        std::string line;
        while (line.find('\n') == std::string::npos) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            line.append(buffer, size_t(n));
        }
        benchmark::DoNotOptimize(line);
    }
    ::close(fd);
}

}  // namespace

BENCHMARK(sendCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(plainClient)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
