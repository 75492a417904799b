#pragma once

#include <QObject>

class QAbstractButton;
class DeviceAccess;

// Gives a control the device controls' press/click behaviour: a left press opens the selected
// port (a failed open swallows the press), the click then runs the exchange. A press released
// outside the control closes the port again; a click from the keyboard opens the port itself.
class DevicePressGuard : public QObject {
    Q_OBJECT
public:
    enum class PortNeed {
        Always,        // buttons
        WhenChecking,  // check boxes: only a press on an unchecked box opens the port
    };

    DevicePressGuard(QAbstractButton& control, DeviceAccess& device,
                     PortNeed need = PortNeed::Always);

signals:
    void portOpened();  // the press (or a keyboard click) opened the port; clicked follows
    void clicked();     // run the exchange; the port is open when it was needed
    void abandoned();   // the press ended without a click; the port has been closed again

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onControlClicked();
    void checkAbandoned();

    QAbstractButton& control;
    DeviceAccess& device;
    PortNeed need;
    bool pressOpenedPort = false;
    bool pressSeen = false;
    bool clickSeen = false;
};
