#include "tabform3.h"

#include "ui_tabform3.h"

#include "command_set.h"
#include "device_access.h"
#include "device_press.h"
#include "quorix_comm.h"

#include <QApplication>
#include <QPointer>

#include <algorithm>
#include <limits>
#include <string>

namespace {

constexpr std::int32_t OffsetLimit = 127;  // the device takes -127..127 from the arrows

struct Channel {
    QAbstractButton& up;
    QAbstractButton& down;
    QAbstractButton& enable;
    QLineEdit& text;
    std::int32_t& offset;
    std::string (*command)(int offset);
};

// Leading white space, one optional sign, then decimal digits up to the first other character;
// no digits give 0. Values beyond the 32-bit range are clamped to its limits.
std::int32_t offsetFromText(const QString& text)
{
    const auto isBlank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    constexpr std::int64_t beyond = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(beyond, value * 10 + (text[i].unicode() - u'0'));
    if (negative)
        value = -value;
    using Limits = std::numeric_limits<std::int32_t>;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(value, Limits::min(), Limits::max()));
}

std::int32_t stepped(std::int32_t value, int direction)
{
    if (direction > 0 && value < OffsetLimit)
        return value + 1;
    if (direction < 0 && value > -OffsetLimit)
        return value - 1;
    return value;  // at a limit (or beyond it after a file): kept, and still sent
}

// One exchange over the port the press opened. The page is disabled meanwhile, since the wait
// keeps the window live; the control that had the focus gets it back for the next key press.
void sendOffset(QWidget& page, DeviceAccess& device, const Channel& channel)
{
    QPointer<QWidget> focused = QApplication::focusWidget();
    if (focused && !page.isAncestorOf(focused))
        focused = nullptr;
    page.setEnabled(false);
    device.comm().SendCommand(channel.command(channel.offset));
    page.setEnabled(true);
    device.close();
    if (focused && focused->isEnabled() && focused->isVisible())
        focused->setFocus();
}

void showOffset(const Channel& channel)
{
    channel.text.setText(QString::number(channel.offset));
}

void connectChannel(QWidget& page, DeviceAccess& device, const Channel& channel)
{
    using Need = DevicePressGuard::PortNeed;
    const auto step = [&page, &device, channel](int direction) {
        channel.offset = stepped(channel.offset, direction);
        showOffset(channel);
        sendOffset(page, device, channel);
    };
    auto* up = new DevicePressGuard(channel.up, device, Need::Always);
    QObject::connect(up, &DevicePressGuard::clicked, &page, [step] { step(+1); });
    auto* down = new DevicePressGuard(channel.down, device, Need::Always);
    QObject::connect(down, &DevicePressGuard::clicked, &page, [step] { step(-1); });

    auto* enable = new DevicePressGuard(channel.enable, device, Need::WhenChecking);
    QObject::connect(enable, &DevicePressGuard::clicked, &page, [&page, &device, channel] {
        const bool on = channel.enable.isChecked();
        channel.up.setEnabled(on);
        channel.down.setEnabled(on);
        if (on)  // switching on sends the current value; switching off leaves the device alone
            sendOffset(page, device, channel);
    });
}

}  // namespace

TabForm3::TabForm3(DeviceAccess& access, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TabForm3>()), device(access)
{
    ui->setupUi(this);
    connectChannel(*this, device,
                   {*ui->pictbttn_rcvup, *ui->pictbttn_rcvdwn, *ui->checkbox_rcv, *ui->textb_rcv,
                    receiverOffset, &ReceiverOffsetCommand});
    connectChannel(*this, device,
                   {*ui->pictbttn_trmup, *ui->pictbttn_trmdwn, *ui->checkbox_trm, *ui->textb_trm,
                    transmitterOffset, &TransmitterOffsetCommand});
}

TabForm3::~TabForm3() = default;

void TabForm3::SetOffsets(const QString& receiver, const QString& transmitter)
{
    receiverOffset = offsetFromText(receiver);
    transmitterOffset = offsetFromText(transmitter);
    ui->textb_rcv->setText(QString::number(receiverOffset));
    ui->textb_trm->setText(QString::number(transmitterOffset));
}

std::int32_t TabForm3::GetOffset(int channel) const
{
    return channel == 1 ? receiverOffset : transmitterOffset;
}
