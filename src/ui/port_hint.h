#pragma once

#include <QString>

// One line telling which device a COM number stands for on this machine, e.g.
// "COM2 = /dev/ttyUSB0", "COM2 = /tmp/link (not present)" or "COM2: no device present".
// An index outside 0..7 gives "No port selected".
QString portHint(int portIndex);
