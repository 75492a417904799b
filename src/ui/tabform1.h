#pragma once

#include <QWidget>

#include <memory>

namespace Ui { class TabForm1; }

// The "Properties" page: which COM port the tool talks through. It only holds the choice.
class TabForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TabForm1(QWidget* parent = nullptr);
    ~TabForm1() override;

    int GetComIndex() const;  // 0 for COM1 .. 7 for COM8; -1 when none is selected
    void SetComIndex(int index);  // outside 0..7: no selection
    void SetComEnabled(bool enabled);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshDeviceHint();

    std::unique_ptr<Ui::TabForm1> ui;
};
