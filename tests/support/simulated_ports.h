#pragma once

#include "quorix_comm.h"
#include "receive_forwarder.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <utility>

// A simulated device behind COMn; started says whether its pseudo-terminal came up.
struct DeviceOnPort {
    explicit DeviceOnPort(int comNumber, SimOptions options = {}) : device(std::move(options))
    {
        started = device.start();
        if (started)
            mapping.emplace(comNumber, device.devicePath());
    }
    SimDevice device;
    std::optional<ScopedComMapping> mapping;
    bool started = false;
};

// One device connection whose COM1 is the simulated device and whose COM3 and COM0 are
// missing. The machine's own ports stay out of sight, and so does the user's settings file.
struct SimulatedPorts {
    QTemporaryDir scratch;
    ScopedEnv devDir{"QUORIX_DEV_DIR", QFile::encodeName(scratch.path())};
    SettingsSandbox settings;
    DeviceOnPort com1{1};
    SimDevice& sim = com1.device;
    ScopedComMapping com3{3, scratch.filePath("missing").toStdString()};
    ScopedComMapping com0{0, scratch.filePath("missing").toStdString()};
    RecordingMessages messages;
    QuorixComm comm{0, messages};
    ReceiveForwarder forwarder{comm};
    int portIndex = 0;  // the index the selection hands to the device controls

    SimulatedPorts() { comm.SetNotifyWindow(&forwarder); }
    ~SimulatedPorts() { comm.SetNotifyWindow(nullptr); }
    SimulatedPorts(const SimulatedPorts&) = delete;
    SimulatedPorts& operator=(const SimulatedPorts&) = delete;
};
