#include "tabform4.h"

#include "ui_tabform4.h"

#include "command_set.h"
#include "device_access.h"
#include "device_press.h"
#include "quorix_comm.h"

TabForm4::TabForm4(DeviceAccess& access, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TabForm4>()), device(access)
{
    ui->setupUi(this);
    ui->combo_cycle->setCurrentIndex(-1);  // the main window picks the entry
    ui->pbx_error->setToolTip(QString::fromUtf8("Quorix Fehler löschen"));

    auto* guard = new DevicePressGuard(*ui->pbx_error, device);
    connect(guard, &DevicePressGuard::clicked, this, [this] {
        // Only the button goes dark: the wait keeps the rest of the window live.
        const bool hadFocus = ui->pbx_error->hasFocus();
        ui->pbx_error->setEnabled(false);
        device.comm().SendCommand(RemoveErrorsCommand());
        device.close();
        ui->pbx_error->setEnabled(true);
        ui->pbx_error->setText(QStringLiteral("Remove errors"));
        if (hadFocus)
            ui->pbx_error->setFocus();
    });
}

TabForm4::~TabForm4() = default;

bool TabForm4::GetErrorEnabled() const
{
    return ui->checkbox_errhndl->isChecked();
}

bool TabForm4::GetErrorMemory() const
{
    return ui->checkbox_errmem->isChecked();
}

QString TabForm4::GetCycleText() const
{
    return ui->combo_cycle->currentIndex() < 0 ? QString() : ui->combo_cycle->currentText();
}

void TabForm4::SetErrorEnabled(bool enabled)
{
    ui->checkbox_errhndl->setChecked(enabled);
}

void TabForm4::SetErrorMemory(bool active)
{
    ui->checkbox_errmem->setChecked(active);
}

void TabForm4::SelectCycle(const QString& text)
{
    for (int i = 0; i < ui->combo_cycle->count(); ++i) {
        if (ui->combo_cycle->itemText(i).startsWith(text, Qt::CaseInsensitive)) {
            ui->combo_cycle->setCurrentIndex(i);
            return;
        }
    }
}
