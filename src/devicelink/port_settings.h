#pragma once

#include <memory>

class QSettings;

// The COM port last used and the "MVRActive" flag: read at construction, written at destruction.
class PortSettings {
public:
    PortSettings();
    ~PortSettings();
    PortSettings(const PortSettings&) = delete;
    PortSettings& operator=(const PortSettings&) = delete;

    int GetComNumber() const { return comNumber; }
    void SetComNumber(int number) { comNumber = number; }
    bool mvrActive() const { return flag; }

private:
    int comNumber = 2;
    std::unique_ptr<QSettings> store;
    bool flag = false;
};
