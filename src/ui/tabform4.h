#pragma once

#include <QWidget>

#include <memory>

namespace Ui { class TabForm4; }
class DeviceAccess;

// The "Error Handling" page: the error settings the transfer sends, and "Remove errors".
class TabForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TabForm4(DeviceAccess& device, QWidget* parent = nullptr);
    ~TabForm4() override;

    bool GetErrorEnabled() const;
    bool GetErrorMemory() const;
    QString GetCycleText() const;  // empty when no entry is selected
    void SetErrorEnabled(bool enabled);
    void SetErrorMemory(bool active);
    // Selects the first entry beginning with the text, case ignored; no match keeps the selection.
    void SelectCycle(const QString& text);

private:
    std::unique_ptr<Ui::TabForm4> ui;
    DeviceAccess& device;
};
