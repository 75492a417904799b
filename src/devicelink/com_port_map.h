#pragma once

#include <string>
#include <vector>

// Where "COMn" lives on this machine: $QUORIX_COMn, else [Ports] COMn= in the settings file,
// else the n-th present serial device (UARTs of /dev/ttyS*, then /dev/ttyUSB*, /dev/ttyACM*),
// counting only devices not claimed by an explicit mapping. Empty when there is none.
std::string ResolveComDevice(int comNumber);

// The serial devices present, in COM numbering order.
std::vector<std::string> PresentSerialDevices();
