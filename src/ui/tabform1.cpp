#include "tabform1.h"

#include "port_hint.h"
#include "ui_tabform1.h"

#include <QComboBox>

TabForm1::TabForm1(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TabForm1>())
{
    ui->setupUi(this);
    ui->combo_com->setCurrentIndex(-1);
    QPalette hintPalette = ui->textb_device->palette();
    hintPalette.setColor(QPalette::Base, Qt::transparent);
    ui->textb_device->setPalette(hintPalette);
    // Looking the device up may scan /dev, so only a visible page does it.
    connect(ui->combo_com, &QComboBox::currentIndexChanged, this, [this] {
        if (isVisible())
            refreshDeviceHint();
    });
}

TabForm1::~TabForm1() = default;

int TabForm1::GetComIndex() const
{
    return ui->combo_com->currentIndex();
}

void TabForm1::SetComIndex(int index)
{
    ui->combo_com->setCurrentIndex(index >= 0 && index < ui->combo_com->count() ? index : -1);
}

void TabForm1::SetComEnabled(bool enabled)
{
    ui->combo_com->setEnabled(enabled);
}

void TabForm1::showEvent(QShowEvent* event)
{
    refreshDeviceHint();
    QWidget::showEvent(event);
}

void TabForm1::refreshDeviceHint()
{
    const QString hint = portHint(GetComIndex());
    ui->textb_device->setText(hint);
    ui->textb_device->setToolTip(hint);
    ui->textb_device->setCursorPosition(0);
}
