#include "tabform2.h"

#include "ui_tabform2.h"
#include "value_text.h"

#include <QLineEdit>

TabForm2::TabForm2(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TabForm2>())
{
    ui->setupUi(this);
    boxes = {ui->textb_threshold1_upper, ui->textb_threshold1_lower,
             ui->textb_threshold2_upper, ui->textb_threshold2_lower};
}

TabForm2::~TabForm2() = default;

QString TabForm2::GetThresholdText(int index) const
{
    const QLineEdit* edit = box(index);
    return edit ? edit->text() : QStringLiteral("0.0");
}

void TabForm2::SetThreshold(int index, double value)
{
    if (QLineEdit* edit = box(index))
        edit->setText(QString::fromStdString(FormatThreshold(value)));
}

QLineEdit* TabForm2::box(int index) const
{
    return index >= 0 && index < static_cast<int>(boxes.size()) ? boxes[index] : nullptr;
}
