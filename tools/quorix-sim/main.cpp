// quorix-sim: a simulated Quorix on a pseudo-terminal, for demos and for technicians without a
// device at hand.
#include "sim_cli.h"
#include "sim_device.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>

namespace {

void logExchange(const SimExchange& exchange)
{
    std::string text = "<- " + escapeBytes(exchange.line) + "\n";
    if (exchange.hungUp)
        text += "-- hung up (the device is gone)\n";
    else if (!exchange.answered)
        text += "-- no answer\n";
    else
        text += "-> " + escapeBytes(exchange.answer) + "\n";
    if (exchange.accepted)
        text += "   " + describeState(exchange.state) + "\n";
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv)
{
    const SimCommandLine commandLine =
        parseSimCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (commandLine.help) {
        std::cout << simUsage(argv[0]);
        return 0;
    }
    if (!commandLine.error.empty()) {
        std::cerr << argv[0] << ": " << commandLine.error << "\n" << simUsage(argv[0]);
        return 2;
    }
    // Block the stop signals before any thread starts, then take them with sigwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimDevice device(commandLine.options);
    device.setObserver(logExchange);
    if (!device.start()) {
        std::cerr << argv[0] << ": cannot create a pseudo-terminal\n";
        return 1;
    }
    if (!commandLine.linkPath.empty() && !device.linkTo(commandLine.linkPath)) {
        std::cerr << argv[0] << ": cannot link " << commandLine.linkPath
                  << " (it exists and is not a symbolic link, or the folder is not writable)\n";
        return 1;
    }
    std::cout << device.devicePath() << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::cerr << "-- stopped\n";
    return 0;
}
