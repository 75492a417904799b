#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>

namespace Ui { class TabForm3; }
class DeviceAccess;

// The "Offset Adjustment" page: trims the receiver and transmitter offsets of the running device.
class TabForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TabForm3(DeviceAccess& device, QWidget* parent = nullptr);
    ~TabForm3() override;

    // Sets both offsets from decimal texts (receiver first) and shows them; sends nothing.
    void SetOffsets(const QString& receiver, const QString& transmitter);
    // Channel 1 is the receiver, any other the transmitter.
    std::int32_t GetOffset(int channel) const;

private:
    std::unique_ptr<Ui::TabForm3> ui;
    DeviceAccess& device;
    std::int32_t receiverOffset = 0;
    std::int32_t transmitterOffset = 0;
};
