#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QLineEdit;
namespace Ui { class TabForm2; }

// The "Comparators" page: the four threshold texts, held as typed; nothing is checked here.
class TabForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TabForm2(QWidget* parent = nullptr);
    ~TabForm2() override;

    QString GetThresholdText(int index) const;  // "0.0" for an index outside 0..3
    void SetThreshold(int index, double value);  // two decimals; an index outside 0..3 is ignored

private:
    QLineEdit* box(int index) const;

    std::unique_ptr<Ui::TabForm2> ui;
    std::array<QLineEdit*, 4> boxes{};
};
