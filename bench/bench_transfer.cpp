// The start configuration's transfer against a simulated device paced at 19200 baud:
// 62 bytes out and 7 answers "OK\r\n" in, 90 bytes = 46.9 ms on the wire.
#include "sim_connection.h"
#include "transfer.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr double WireSeconds = 90 * 10 / 19200.0;

void startConfigurationTransfer(benchmark::State& state)
{
    SimOptions options;
    options.baud = 19200;
    SimConnection link(options);
    if (link.failure) {
        state.SkipWithError(link.failure);
        return;
    }
    const TransferValues start{{"100.0", "0.0", "100.0", "0.0"}, true, true, "-"};
    const auto send = [&](const std::string& line) { return link.comm.SendCommand(line); };
    const auto status = [](const std::string&) {};
    double seconds = 0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        const TransferOutcome outcome = SendConfiguration(start, send, link.messages, status);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        if (outcome != TransferOutcome::Completed) {
            state.SkipWithError("the transfer did not complete");
            break;
        }
    }
    state.counters["x_wire"] =
        seconds / (static_cast<double>(state.iterations()) * WireSeconds);
}

}  // namespace

BENCHMARK(startConfigurationTransfer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(9)
    ->ReportAggregatesOnly(false)
    ->ComputeStatistics("min", [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
    });

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);  // send-and-wait runs on its event loop
    benchmark::Initialize(&argc, argv);
    std::printf("wire time: %.1f ms\n", WireSeconds * 1000);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
