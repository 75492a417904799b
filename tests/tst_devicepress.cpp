#include "device_access.h"
#include "device_press.h"
#include "simulated_ports.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// The device controls' access to the simulated ports.
struct Rig : SimulatedPorts {
    DeviceAccess access{comm, [this] { return portIndex; }};
};

std::unique_ptr<QAbstractButton> makeControl(const QString& kind)
{
    if (kind == QLatin1String("button"))
        return std::make_unique<QPushButton>(QStringLiteral("Go"));
    auto box = std::make_unique<QCheckBox>(QStringLiteral("Enable"));
    box->setChecked(kind == QLatin1String("checked box"));
    return box;
}

DevicePressGuard::PortNeed needOf(const QString& kind)
{
    return kind == QLatin1String("button") ? DevicePressGuard::PortNeed::Always
                                           : DevicePressGuard::PortNeed::WhenChecking;
}

}  // namespace

class TestDevicePress : public QObject {
    Q_OBJECT

private:
    struct Setup {
        std::unique_ptr<QAbstractButton> control;
        DevicePressGuard* guard = nullptr;
        std::unique_ptr<QSignalSpy> opened, clicked, abandoned;
        bool portOpenAtClick = false;
    };

    // The control's exchange as a page would run it: one line, then the port is closed.
    static void prepare(Setup& s, Rig& rig, const QString& kind)
    {
        s.control = makeControl(kind);
        s.guard = new DevicePressGuard(*s.control, rig.access, needOf(kind));
        s.opened = std::make_unique<QSignalSpy>(s.guard, &DevicePressGuard::portOpened);
        s.clicked = std::make_unique<QSignalSpy>(s.guard, &DevicePressGuard::clicked);
        s.abandoned = std::make_unique<QSignalSpy>(s.guard, &DevicePressGuard::abandoned);
        connect(s.guard, &DevicePressGuard::clicked, s.control.get(), [&s, &rig] {
            s.portOpenAtClick = rig.comm.isOpen();
            if (s.portOpenAtClick) {
                rig.comm.SendCommand("rf\r\n");
                rig.access.close();
            }
        });
        s.control->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.control.get()));
    }

private slots:
    void clickRunsOnOpenPort_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("button") << "button";
        QTest::newRow("unchecked box") << "unchecked box";
    }
    void clickRunsOnOpenPort()
    {
        QFETCH(QString, kind);
        Rig rig;
        QVERIFY(rig.com1.started);
        Setup s;
        prepare(s, rig, kind);

        QTest::mouseClick(s.control.get(), Qt::LeftButton);

        QCOMPARE(s.opened->count(), 1);
        QCOMPARE(s.clicked->count(), 1);
        QCOMPARE(s.abandoned->count(), 0);
        QVERIFY(s.portOpenAtClick);
        QCOMPARE(rig.sim.receivedLines(), std::vector<std::string>{"rf\r\n"});
        QVERIFY(!rig.comm.isOpen());
        QCOMPARE(rig.messages.count(), 0);
        QCOMPARE(s.control->isChecked(), kind == QLatin1String("unchecked box"));
    }

    void failedOpenSwallowsPress_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("portIndex");
        QTest::addColumn<QString>("portName");
        QTest::newRow("button, COM3 missing") << "button" << 2 << "COM3";
        QTest::newRow("unchecked box, COM3 missing") << "unchecked box" << 2 << "COM3";
        QTest::newRow("button, no port selected") << "button" << -1 << "COM0";
    }
    void failedOpenSwallowsPress()
    {
        QFETCH(QString, kind);
        QFETCH(int, portIndex);
        QFETCH(QString, portName);
        Rig rig;
        rig.portIndex = portIndex;
        Setup s;
        prepare(s, rig, kind);

        QTest::mousePress(s.control.get(), Qt::LeftButton);
        QCOMPARE(rig.messages.count(), 1);
        QCOMPARE(rig.messages.last().title, std::string("Quorix Error"));
        QVERIFY(QString::fromStdString(rig.messages.last().text).contains(portName));
        QVERIFY(!s.control->isDown());
        QTest::mouseRelease(s.control.get(), Qt::LeftButton);

        QCOMPARE(s.opened->count(), 0);
        QCOMPARE(s.clicked->count(), 0);
        QVERIFY(!s.control->isChecked());
        QVERIFY(!rig.comm.isOpen());
        QCOMPARE(rig.messages.count(), 1);
    }

    // Unchecking sends nothing, so the port is not even tried (COM3 would fail loudly).
    void pressOnCheckedBoxLeavesPortAlone()
    {
        Rig rig;
        rig.portIndex = 2;
        Setup s;
        prepare(s, rig, QStringLiteral("checked box"));

        QTest::mouseClick(s.control.get(), Qt::LeftButton);

        QVERIFY(!s.control->isChecked());
        QCOMPARE(s.clicked->count(), 1);
        QCOMPARE(s.opened->count(), 0);
        QCOMPARE(rig.messages.count(), 0);
    }

    void releaseOutsideClosesPort_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("button") << "button";
        QTest::newRow("unchecked box") << "unchecked box";
    }
    void releaseOutsideClosesPort()
    {
        QFETCH(QString, kind);
        Rig rig;
        QVERIFY(rig.com1.started);
        Setup s;
        prepare(s, rig, kind);

        QTest::mousePress(s.control.get(), Qt::LeftButton);
        QVERIFY(rig.comm.isOpen());
        QTest::mouseRelease(s.control.get(), Qt::LeftButton, {}, QPoint(-20, -20));
        QTRY_COMPARE_WITH_TIMEOUT(s.abandoned->count(), 1, 2000);
        QVERIFY(!rig.comm.isOpen());
        QCOMPARE(s.clicked->count(), 0);
        QVERIFY(!s.control->isChecked());

        // The next press finds the port closed and opens it afresh.
        QTest::mouseClick(s.control.get(), Qt::LeftButton);
        QCOMPARE(s.clicked->count(), 1);
        QVERIFY(s.portOpenAtClick);
        QCOMPARE(rig.sim.receivedLines(), std::vector<std::string>{"rf\r\n"});
        QCOMPARE(s.abandoned->count(), 1);
        QCOMPARE(rig.messages.count(), 0);
    }

    void clickWithoutPressOpensPort_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("byKey");
        QTest::newRow("space on button") << "button" << true;
        QTest::newRow("space on unchecked box") << "unchecked box" << true;
        QTest::newRow("click() on button") << "button" << false;
    }
    void clickWithoutPressOpensPort()
    {
        QFETCH(QString, kind);
        QFETCH(bool, byKey);
        Rig rig;
        QVERIFY(rig.com1.started);
        Setup s;
        prepare(s, rig, kind);

        if (byKey)
            QTest::keyClick(s.control.get(), Qt::Key_Space);
        else
            s.control->click();

        QCOMPARE(s.opened->count(), 1);
        QCOMPARE(s.clicked->count(), 1);
        QVERIFY(s.portOpenAtClick);
        QCOMPARE(rig.sim.receivedLines(), std::vector<std::string>{"rf\r\n"});
        QVERIFY(!rig.comm.isOpen());
        QCOMPARE(rig.messages.count(), 0);
    }

    void clickWithoutPressFailedOpen_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("space on button") << "button";
        QTest::newRow("space on unchecked box") << "unchecked box";
    }
    void clickWithoutPressFailedOpen()
    {
        QFETCH(QString, kind);
        Rig rig;
        rig.portIndex = 2;
        Setup s;
        prepare(s, rig, kind);

        QTest::keyClick(s.control.get(), Qt::Key_Space);

        QCOMPARE(rig.messages.count(), 1);
        QVERIFY(QString::fromStdString(rig.messages.last().text).contains(QLatin1String("COM3")));
        QCOMPARE(s.clicked->count(), 0);
        QCOMPARE(s.opened->count(), 0);
        QVERIFY(!s.control->isChecked());  // the toggle is taken back
        QVERIFY(!rig.comm.isOpen());
    }

    void keyUncheckNeedsNoPort()
    {
        Rig rig;
        rig.portIndex = 2;
        Setup s;
        prepare(s, rig, QStringLiteral("checked box"));

        QTest::keyClick(s.control.get(), Qt::Key_Space);

        QVERIFY(!s.control->isChecked());
        QCOMPARE(s.clicked->count(), 1);
        QCOMPARE(rig.messages.count(), 0);
    }

    void ignoredPresses_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::newRow("disabled button") << false << Qt::LeftButton;
        QTest::newRow("right button") << true << Qt::RightButton;
    }
    void ignoredPresses()
    {
        QFETCH(bool, enabled);
        QFETCH(Qt::MouseButton, mouseButton);
        Rig rig;
        rig.portIndex = 2;
        Setup s;
        prepare(s, rig, QStringLiteral("button"));
        s.control->setEnabled(enabled);

        QTest::mouseClick(s.control.get(), mouseButton);

        QCOMPARE(rig.messages.count(), 0);
        QCOMPARE(s.opened->count(), 0);
        QCOMPARE(s.clicked->count(), 0);
    }
};

QTEST_MAIN(TestDevicePress)
#include "tst_devicepress.moc"
