#include "port_hint.h"

#include "com_port_map.h"

#include <QFileInfo>

QString portHint(int portIndex)
{
    if (portIndex < 0 || portIndex > 7)
        return QStringLiteral("No port selected");
    const int number = portIndex + 1;
    const QString path = QString::fromStdString(ResolveComDevice(number));
    if (path.isEmpty())
        return QStringLiteral("COM%1: no device present").arg(number);
    if (!QFileInfo::exists(path))
        return QStringLiteral("COM%1 = %2 (not present)").arg(number).arg(path);
    return QStringLiteral("COM%1 = %2").arg(number).arg(path);
}
