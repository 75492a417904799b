#include "com_port_map.h"

#include "serial_port_impl.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>
#include <set>

namespace {

constexpr int HighestMappedCom = 8;

QString devDir()
{
    QByteArray overridden = qgetenv("QUORIX_DEV_DIR");
    return overridden.isEmpty() ? QStringLiteral("/dev") : QString::fromLocal8Bit(overridden);
}

std::string explicitMapping(int comNumber)
{
    QByteArray fromEnv = qgetenv(("QUORIX_COM" + std::to_string(comNumber)).c_str());
    if (!fromEnv.isEmpty())
        return fromEnv.toStdString();
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Hallestad", "Morvalo");
    QVariant mapped = store.value(QStringLiteral("Ports/COM%1").arg(comNumber));
    return mapped.typeId() == QMetaType::QString ? mapped.toString().toStdString() : std::string();
}

// The path a node finally stands for, so a symlink and its target count as one device.
std::string canonical(const std::string& path)
{
    QString resolved = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved.toStdString();
}

bool uartBehind(const QString& dir, const QString& name)
{
    if (dir == QLatin1String("/dev")) {
        // sysfs tells without opening the port (an open would raise DTR on a live line).
        QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(name));
        if (type.open(QIODevice::ReadOnly))
            return type.readAll().trimmed().toInt() != 0;
    }
    return hasUart((dir + '/' + name).toStdString());
}

std::vector<std::string> devicesOf(const QString& dir, const QString& prefix, bool needUart)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    std::vector<std::pair<int, QString>> found;
    const QStringList names = QDir(dir).entryList({prefix + '*'}, QDir::System | QDir::Files);
    for (const QString& name : names) {
        QString suffix = name.mid(prefix.size());
        if (!digits.match(suffix).hasMatch() || (needUart && !uartBehind(dir, name)))
            continue;
        found.emplace_back(suffix.toInt(), name);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (const auto& entry : found)
        paths.push_back((dir + '/' + entry.second).toStdString());
    return paths;
}

}  // namespace

std::vector<std::string> PresentSerialDevices()
{
    const QString dir = devDir();
    std::vector<std::string> all = devicesOf(dir, QStringLiteral("ttyS"), true);
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        auto more = devicesOf(dir, QString::fromLatin1(prefix), false);
        all.insert(all.end(), more.begin(), more.end());
    }
    return all;
}

std::string ResolveComDevice(int comNumber)
{
    if (comNumber < 1)
        return {};
    std::string mapped = explicitMapping(comNumber);
    if (!mapped.empty())
        return mapped;
    // COM numbers without a mapping take, in order, the devices no mapping claims.
    std::set<std::string> claimed;
    int unmappedBefore = 0;
    for (int n = 1; n <= std::max(comNumber, HighestMappedCom); ++n) {
        std::string path = explicitMapping(n);
        if (!path.empty())
            claimed.insert(canonical(path));
        else if (n < comNumber)
            ++unmappedBefore;
    }
    for (const std::string& device : PresentSerialDevices()) {
        if (claimed.count(canonical(device)) != 0)
            continue;
        if (unmappedBefore-- == 0)
            return device;
    }
    return {};
}
