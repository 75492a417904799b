#pragma once

#include "quorix_comm.h"
#include "receive_forwarder.h"
#include "test_support.h"

#include <optional>

// QuorixComm opened on COM1 with the simulated device behind it. failure names what kept
// the port from opening, for SkipWithError; it stays null when the port is open.
struct SimConnection {
    explicit SimConnection(const SimOptions& options) : sim(options)
    {
        if (!sim.start()) {
            failure = "no pseudo-terminal";
            return;
        }
        mapping.emplace(1, sim.devicePath());
        comm.SetNotifyWindow(&forwarder);
        if (!comm.Open())
            failure = "the port does not open";
    }
    ~SimConnection()
    {
        comm.Close();
        comm.SetNotifyWindow(nullptr);
    }
    SimConnection(const SimConnection&) = delete;
    SimConnection& operator=(const SimConnection&) = delete;

    SimDevice sim;
    std::optional<ScopedComMapping> mapping;
    RecordingMessages messages;
    QuorixComm comm{0, messages};
    ReceiveForwarder forwarder{comm};
    const char* failure = nullptr;
};
