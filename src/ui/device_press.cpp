#include "device_press.h"

#include "device_access.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QSignalBlocker>

DevicePressGuard::DevicePressGuard(QAbstractButton& button, DeviceAccess& access,
                                   PortNeed portNeed)
    : QObject(&button), control(button), device(access), need(portNeed)
{
    control.installEventFilter(this);
    connect(&control, &QAbstractButton::clicked, this, &DevicePressGuard::onControlClicked);
}

bool DevicePressGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &control)
        return false;
    const auto type = event->type();
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (!press && type != QEvent::MouseButtonRelease)
        return false;
    if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton || !control.isEnabled())
        return false;

    if (type == QEvent::MouseButtonRelease) {
        // The click, if any, is emitted while the control handles this release; look afterwards.
        if (pressSeen)
            QMetaObject::invokeMethod(this, &DevicePressGuard::checkAbandoned,
                                      Qt::QueuedConnection);
        return false;
    }

    pressSeen = true;
    clickSeen = false;
    pressOpenedPort = false;
    // A press on a checked box only unchecks it: nothing will be sent.
    if (need == PortNeed::WhenChecking && control.isChecked())
        return false;
    if (!device.openSelectedPort()) {
        pressSeen = false;
        return true;  // swallowed: the control never goes down, no click follows
    }
    pressOpenedPort = true;
    emit portOpened();
    return false;
}

void DevicePressGuard::onControlClicked()
{
    const bool portOpen = pressSeen && !clickSeen && pressOpenedPort;
    clickSeen = true;
    pressOpenedPort = false;

    // A check box has toggled already: it needs the port when it is checked now.
    const bool portNeeded = need == PortNeed::Always || control.isChecked();
    if (!portOpen && portNeeded) {
        // A click without a press (keyboard, mnemonic, click()) opens the port itself.
        if (!device.openSelectedPort()) {
            if (control.isCheckable()) {
                const QSignalBlocker blocker(&control);
                control.setChecked(!control.isChecked());
            }
            return;
        }
        emit portOpened();
    }
    emit clicked();
}

void DevicePressGuard::checkAbandoned()
{
    if (!pressSeen)
        return;
    const bool portLeftOpen = !clickSeen && pressOpenedPort;
    pressSeen = false;
    clickSeen = false;
    pressOpenedPort = false;
    if (!portLeftOpen)
        return;
    device.close();
    emit abandoned();
}
