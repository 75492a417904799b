#pragma once

#include <functional>

class QuorixComm;

// The one device connection as the device controls use it: one exchange on a freshly opened port.
class DeviceAccess {
public:
    DeviceAccess(QuorixComm& comm, std::function<int()> selectedPortIndex);

    // SetPort with the selected index, then Open; shows the open-failure message when it fails.
    bool openSelectedPort();
    void close();
    QuorixComm& comm() { return comm_; }

private:
    QuorixComm& comm_;
    std::function<int()> selectedPortIndex;
};
