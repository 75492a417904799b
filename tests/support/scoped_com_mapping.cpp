#include "scoped_com_mapping.h"

ScopedComMapping::ScopedComMapping(int comNumber, const std::string& devicePath)
    : variable(("QUORIX_COM" + std::to_string(comNumber)).c_str(),
               QByteArray::fromStdString(devicePath))
{
}
