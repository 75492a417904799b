#include "device_access.h"
#include "simulated_ports.h"
#include "tab_chain.h"
#include "tabform3.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

// The page on the simulated ports, shown.
struct Rig : SimulatedPorts {
    DeviceAccess access{comm, [this] { return portIndex; }};
    TabForm3 page{access};

    Rig() { page.show(); }

    template <typename T = QAbstractButton> T* find(const char* name)
    {
        return page.findChild<T*>(QLatin1String(name));
    }
    QString text(int channel)
    {
        return find<QLineEdit>(channel == 1 ? "textb_rcv" : "textb_trm")->text();
    }
    QAbstractButton* box(int channel)
    {
        return find(channel == 1 ? "checkbox_rcv" : "checkbox_trm");
    }
    QAbstractButton* arrow(int channel, QChar direction)
    {
        if (channel == 1)
            return find(direction == u'+' ? "pictbttn_rcvup" : "pictbttn_rcvdwn");
        return find(direction == u'+' ? "pictbttn_trmup" : "pictbttn_trmdwn");
    }
    // Switches the channel on with a click and forgets the value line that sends.
    bool enable(int channel)
    {
        QTest::mouseClick(box(channel), Qt::LeftButton);
        const bool sent = sim.receivedLines().size() == 1;
        sim.clearReceived();
        return sent && box(channel)->isChecked();
    }
};

using Lines = std::vector<std::string>;

}  // namespace

class TestTabForm3 : public QObject {
    Q_OBJECT

private slots:
    void startState()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.page));
        QCOMPARE(rig.find<QGroupBox>("groupb_1")->title(), QString("Receiver Adjustments"));
        QCOMPARE(rig.find<QGroupBox>("groupb_2")->title(), QString("Transmitter Adjustments"));
        for (int channel : {1, 2}) {
            QCOMPARE(rig.text(channel), QString("0"));
            QCOMPARE(rig.page.GetOffset(channel), 0);
            QCOMPARE(rig.box(channel)->text(), QString("Enable"));
            QVERIFY(!rig.box(channel)->isChecked());
            for (QChar direction : {u'+', u'-'}) {
                QVERIFY(!rig.arrow(channel, direction)->isEnabled());
                QVERIFY(rig.arrow(channel, direction)->text().isEmpty());
                QVERIFY(!rig.arrow(channel, direction)->icon().isNull());
            }
            auto* value = rig.find<QLineEdit>(channel == 1 ? "textb_rcv" : "textb_trm");
            QVERIFY(value->isReadOnly());
            QVERIFY(!(value->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(tabChain(rig.page), QStringList({"pictbttn_rcvup", "pictbttn_rcvdwn",
                                                  "pictbttn_trmup", "pictbttn_trmdwn",
                                                  "checkbox_rcv", "checkbox_trm"}));
        // The arrows' pictures come from the library's resources.
        for (const char* icon : {":/icons/icon104.svg", ":/icons/icon105.svg"})
            QVERIFY2(!QIcon(QLatin1String(icon)).pixmap(32, 32).isNull(), icon);
    }

    void steps_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("presses");  // + up, - down
        QTest::addColumn<int>("expected");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("receiver up then down")
            << 1 << "0" << "+-" << 0 << Lines{"sc 1 1\r\n", "sc 1 0\r\n"};
        QTest::newRow("receiver down from start") << 1 << "0" << "-" << -1 << Lines{"sc 1 -1\r\n"};
        QTest::newRow("transmitter up from start") << 2 << "0" << "+" << 1 << Lines{"sc 2 1\r\n"};
        QTest::newRow("receiver up to the limit")
            << 1 << "126" << "++" << 127 << Lines{"sc 1 127\r\n", "sc 1 127\r\n"};
        QTest::newRow("transmitter down at the limit")
            << 2 << "-127" << "-" << -127 << Lines{"sc 2 -127\r\n"};
        QTest::newRow("receiver up beyond the limit keeps 300")
            << 1 << "300" << "+" << 300 << Lines{"sc 1 300\r\n"};
        QTest::newRow("receiver down beyond the limit") << 1 << "300" << "-" << 299
                                                        << Lines{"sc 1 299\r\n"};
        QTest::newRow("transmitter up below the limit") << 2 << "-300" << "+" << -299
                                                        << Lines{"sc 2 -299\r\n"};
    }
    void steps()
    {
        QFETCH(int, channel);
        QFETCH(QString, start);
        QFETCH(QString, presses);
        QFETCH(int, expected);
        QFETCH(Lines, lines);
        Rig rig;
        QVERIFY(rig.com1.started);
        rig.page.SetOffsets(start, start);
        QVERIFY(rig.enable(channel));

        for (QChar direction : presses)
            QTest::mouseClick(rig.arrow(channel, direction), Qt::LeftButton);

        QCOMPARE(rig.sim.receivedLines(), lines);
        QCOMPARE(rig.page.GetOffset(channel), expected);
        QCOMPARE(rig.text(channel), QString::number(expected));
        QCOMPARE(rig.page.GetOffset(3 - channel), start.toInt());  // the other channel untouched
        QVERIFY(rig.page.isEnabled());
        QVERIFY(!rig.comm.isOpen());
        QCOMPARE(rig.messages.count(), 0);
    }

    void enableSendsCurrentValue_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("receiver") << 1 << Lines{"sc 1 4\r\n"};
        QTest::newRow("transmitter") << 2 << Lines{"sc 2 -3\r\n"};
    }
    void enableSendsCurrentValue()
    {
        QFETCH(int, channel);
        QFETCH(Lines, lines);
        Rig rig;
        QVERIFY(rig.com1.started);
        rig.page.SetOffsets("4", "-3");

        QTest::mouseClick(rig.box(channel), Qt::LeftButton);

        QCOMPARE(rig.sim.receivedLines(), lines);
        QVERIFY(rig.arrow(channel, u'+')->isEnabled());
        QVERIFY(rig.arrow(channel, u'-')->isEnabled());
        QVERIFY(!rig.arrow(3 - channel, u'+')->isEnabled());
        QVERIFY(rig.page.isEnabled());
        QVERIFY(!rig.comm.isOpen());

        // Unchecking sends nothing and leaves the port alone: COM3 would fail with a message.
        rig.portIndex = 2;
        QTest::mouseClick(rig.box(channel), Qt::LeftButton);
        QVERIFY(!rig.box(channel)->isChecked());
        QVERIFY(!rig.arrow(channel, u'+')->isEnabled());
        QVERIFY(!rig.arrow(channel, u'-')->isEnabled());
        QCOMPARE(rig.sim.receivedLines(), lines);
        QCOMPARE(rig.messages.count(), 0);

        // Checking again sends the value once more, over a port that opens.
        rig.portIndex = 0;
        QTest::mouseClick(rig.box(channel), Qt::LeftButton);
        QCOMPARE(rig.sim.receivedLines().size(), std::size_t{2});
        QCOMPARE(rig.sim.receivedLines().back(), lines.front());
    }

    void openFailure_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("portIndex");
        QTest::addColumn<QString>("portName");
        QTest::newRow("receiver up, COM3") << "pictbttn_rcvup" << 2 << "COM3";
        QTest::newRow("receiver down, COM3") << "pictbttn_rcvdwn" << 2 << "COM3";
        QTest::newRow("transmitter up, no port") << "pictbttn_trmup" << -1 << "COM0";
        QTest::newRow("transmitter down, COM3") << "pictbttn_trmdwn" << 2 << "COM3";
        QTest::newRow("receiver box, COM3") << "checkbox_rcv" << 2 << "COM3";
        QTest::newRow("transmitter box, no port") << "checkbox_trm" << -1 << "COM0";
    }
    void openFailure()
    {
        QFETCH(QString, control);
        QFETCH(int, portIndex);
        QFETCH(QString, portName);
        Rig rig;
        QVERIFY(rig.com1.started);
        rig.page.SetOffsets("5", "-5");
        const bool arrow = control.startsWith(QLatin1String("pictbttn"));
        if (arrow)
            QVERIFY(rig.enable(control.contains(QLatin1String("rcv")) ? 1 : 2));
        auto* target = rig.page.findChild<QAbstractButton*>(control);
        const bool checkedBefore = target->isChecked();

        rig.portIndex = portIndex;
        QTest::mouseClick(target, Qt::LeftButton);

        QCOMPARE(rig.messages.count(), 1);
        QCOMPARE(rig.messages.last().title, std::string("Quorix Error"));
        QVERIFY(QString::fromStdString(rig.messages.last().text).contains(portName));
        QCOMPARE(target->isChecked(), checkedBefore);
        QCOMPARE(rig.page.GetOffset(1), 5);
        QCOMPARE(rig.page.GetOffset(2), -5);
        QCOMPARE(rig.text(1), QString("5"));
        QCOMPARE(rig.text(2), QString("-5"));
        QVERIFY(rig.sim.receivedLines().empty());
        QVERIFY(rig.page.isEnabled());
    }

    void setOffsets_data()
    {
        QTest::addColumn<QString>("receiver");
        QTest::addColumn<QString>("transmitter");
        QTest::addColumn<int>("expectedReceiver");
        QTest::addColumn<int>("expectedTransmitter");
        QTest::newRow("300 and x") << "300" << "x" << 300 << 0;
        QTest::newRow("blank before minus, plus sign") << " -5" << "+7" << -5 << 7;
        QTest::newRow("empty texts") << "" << "" << 0 << 0;
        QTest::newRow("two signs, sign alone") << "--5" << "-" << 0 << 0;
        QTest::newRow("digits end at a letter or point") << "12ab" << "-3.9" << 12 << -3;
        QTest::newRow("tab and line end skipped") << "\t\n8" << "\r 9" << 8 << 9;
        QTest::newRow("blank after the sign ends it") << "- 5" << "+ 5" << 0 << 0;
        QTest::newRow("32-bit limits exactly")
            << "2147483647" << "-2147483648" << 2147483647 << (-2147483647 - 1);
        QTest::newRow("beyond the 32-bit range clamps")
            << "99999999999999999999" << "-99999999999" << 2147483647 << (-2147483647 - 1);
    }
    void setOffsets()
    {
        QFETCH(QString, receiver);
        QFETCH(QString, transmitter);
        QFETCH(int, expectedReceiver);
        QFETCH(int, expectedTransmitter);
        Rig rig;

        rig.page.SetOffsets(receiver, transmitter);

        QCOMPARE(rig.page.GetOffset(1), expectedReceiver);
        QCOMPARE(rig.page.GetOffset(2), expectedTransmitter);
        QCOMPARE(rig.page.GetOffset(0), expectedTransmitter);
        QCOMPARE(rig.text(1), QString::number(expectedReceiver));
        QCOMPARE(rig.text(2), QString::number(expectedTransmitter));
        // Values only: the channels stay locked and nothing goes to the device.
        QVERIFY(!rig.box(1)->isChecked());
        QVERIFY(!rig.arrow(1, u'+')->isEnabled());
        QVERIFY(!rig.comm.isOpen());
        QVERIFY(rig.sim.receivedLines().empty());
    }

    void timeOutKeepsNewValue()
    {
        Rig rig;
        QVERIFY(rig.com1.started);
        QVERIFY(rig.enable(1));
        SimOptions silent;
        silent.silent = true;
        rig.sim.setOptions(silent);
        bool pageEnabledDuringWait = true;
        rig.messages.setWhileShown(
            [&](const UserMessage&) { pageEnabledDuringWait = rig.page.isEnabled(); });

        QTest::mouseClick(rig.arrow(1, u'+'), Qt::LeftButton);

        QCOMPARE(rig.messages.titles(), std::vector<std::string>{"Quorix Timeout"});
        QVERIFY(!pageEnabledDuringWait);
        QCOMPARE(rig.sim.receivedLines(), Lines{"sc 1 1\r\n"});
        QCOMPARE(rig.page.GetOffset(1), 1);
        QCOMPARE(rig.text(1), QString("1"));
        QVERIFY(rig.page.isEnabled());
        QVERIFY(!rig.comm.isOpen());
    }

    void spaceOnArrowOpensPortItself()
    {
        Rig rig;
        QVERIFY(rig.com1.started);
        QVERIFY(rig.enable(2));

        QTest::keyClick(rig.arrow(2, u'-'), Qt::Key_Space);

        QCOMPARE(rig.sim.receivedLines(), Lines{"sc 2 -1\r\n"});
        QVERIFY(!rig.comm.isOpen());
        QCOMPARE(rig.messages.count(), 0);
    }
};

QTEST_MAIN(TestTabForm3)
#include "tst_tabform3.moc"
