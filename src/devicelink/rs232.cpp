#include "rs232.h"

#include "com_port_map.h"
#include "serial_port_impl.h"

#include <QCoreApplication>

#include <array>
#include <charconv>

namespace {

constexpr std::array<std::uint32_t, 10> SupportedRates{110,  300,  600,   1200,  2400,
                                                       4800, 9600, 14400, 19200, 38400};

// "COM3" -> 3; 0 for anything else.
int comNumberOf(const std::string& name)
{
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0)
        return 0;
    int number = 0;
    const char* end = name.data() + name.size();
    auto [ptr, ec] = std::from_chars(name.data() + 3, end, number);
    return ec == std::errc() && ptr == end ? number : 0;
}

}  // namespace

DataArrivedEvent::DataArrivedEvent() : QEvent(eventType()) {}

QEvent::Type DataArrivedEvent::eventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

Rs232Class::Rs232Class() : impl(std::make_unique<SerialPortImpl>(*this)) {}

Rs232Class::~Rs232Class() { Close(); }

bool Rs232Class::SetPort(int index)
{
    impl->portName = "COM" + std::to_string(index + 1);
    return true;
}

bool Rs232Class::SetBaudRate(std::uint32_t rate)
{
    for (auto supported : SupportedRates) {
        if (supported == rate) {
            impl->settings.baudRate = rate;
            return true;
        }
    }
    return false;
}

void Rs232Class::SetDataBits(int bits) { impl->settings.dataBits = bits == 7 ? 7 : 8; }

void Rs232Class::SetStopBits(int count) { impl->settings.stopBits = count == 2 ? 2 : 1; }

void Rs232Class::SetNotifyWindow(QObject* window) { impl->notifyWindow = window; }

void Rs232Class::SetNotifyCallback(std::function<void()> callback)
{
    impl->notifyCallback = std::move(callback);
}

bool Rs232Class::Open()
{
    if (impl->isOpen())
        return false;  // keep the connection that is open
    int number = comNumberOf(impl->portName);
    return number > 0 && impl->open(ResolveComDevice(number), impl->settings);
}

void Rs232Class::Close() { impl->close(); }

bool Rs232Class::Write(const char* data, int length) { return impl->write(data, length); }

int Rs232Class::GetReceivedCount() const { return impl->receivedCount(); }

bool Rs232Class::FetchReceived(char* destination) { return impl->fetch(destination); }

void Rs232Class::DataArrived(Rs232Class*)
{
    if (impl->notifyCallback)
        impl->notifyCallback();
    else if (impl->notifyWindow)
        QCoreApplication::postEvent(impl->notifyWindow, new DataArrivedEvent);
}

std::string Rs232Class::portName() const { return impl->portName; }
std::uint32_t Rs232Class::baudRate() const { return impl->settings.baudRate; }
int Rs232Class::dataBits() const { return impl->settings.dataBits; }
int Rs232Class::stopBits() const { return impl->settings.stopBits; }
bool Rs232Class::isOpen() const { return impl->isOpen(); }
bool Rs232Class::deviceGone() const { return impl->deviceGone(); }
std::string Rs232Class::devicePath() const { return impl->lastPath; }
