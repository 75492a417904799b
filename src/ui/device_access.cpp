#include "device_access.h"

#include "quorix_comm.h"

#include <utility>

DeviceAccess::DeviceAccess(QuorixComm& comm, std::function<int()> portIndex)
    : comm_(comm), selectedPortIndex(std::move(portIndex))
{
}

bool DeviceAccess::openSelectedPort()
{
    const int index = selectedPortIndex ? selectedPortIndex() : -1;
    comm_.SetPort(index);
    if (comm_.Open())
        return true;
    comm_.ShowOpenError(index);
    return false;
}

void DeviceAccess::close()
{
    comm_.Close();
}
