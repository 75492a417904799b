#include "device_access.h"
#include "simulated_ports.h"
#include "tab_chain.h"
#include "tabform4.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// The page on the simulated ports, shown.
struct Rig : SimulatedPorts {
    DeviceAccess access{comm, [this] { return portIndex; }};
    TabForm4 page{access};

    Rig() { page.show(); }

    template <typename T> T* find(const char* name)
    {
        return page.findChild<T*>(QLatin1String(name));
    }
    QPushButton* removeButton() { return find<QPushButton>("pbx_error"); }
    QComboBox* cycles() { return find<QComboBox>("combo_cycle"); }
};

using Lines = std::vector<std::string>;

}  // namespace

class TestTabForm4 : public QObject {
    Q_OBJECT

private slots:
    void startState()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.page));
        QVERIFY(rig.page.GetErrorEnabled());
        QVERIFY(rig.page.GetErrorMemory());
        QCOMPARE(rig.page.GetCycleText(), QString());  // the main window picks "-"
        rig.page.SelectCycle("-");
        QCOMPARE(rig.page.GetCycleText(), QString("-"));

        QStringList entries;
        for (int i = 0; i < rig.cycles()->count(); ++i)
            entries << rig.cycles()->itemText(i);
        QCOMPARE(entries, QStringList({"-", "5", "10", "15", "20", "25", "30", "35", "40", "45",
                                       "50", "55", "60", "90"}));
        QVERIFY(!rig.cycles()->isEditable());
        QVERIFY(!(rig.cycles()->focusPolicy() & Qt::TabFocus));

        QCOMPARE(rig.find<QGroupBox>("groupb_3")->title(), QString("Quorix Error Handling"));
        QCOMPARE(rig.find<QGroupBox>("groupb_1")->title(), QString("Delete Errors Once"));
        QCOMPARE(rig.find<QCheckBox>("checkbox_errhndl")->text(),
                 QString("Enable error handling"));
        QCOMPARE(rig.find<QCheckBox>("checkbox_errmem")->text(),
                 QString("Activate error storage"));
        QCOMPARE(rig.find<QLabel>("label_10")->text(), QString("Remove errors every"));
        QCOMPARE(rig.find<QLabel>("label_11")->text(), QString("sec"));
        QCOMPARE(rig.removeButton()->text(), QString("Remove errors"));
        QCOMPARE(rig.removeButton()->toolTip(), QString::fromUtf8("Quorix Fehler löschen"));
        QVERIFY(!rig.removeButton()->icon().isNull());
        QVERIFY(!QIcon(QStringLiteral(":/icons/icon103.svg")).pixmap(32, 32).isNull());
        QCOMPARE(tabChain(rig.page),
                 QStringList({"checkbox_errhndl", "checkbox_errmem", "pbx_error"}));
    }

    void selectCycle_data()
    {
        QTest::addColumn<QString>("before");  // empty: nothing selected yet
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("5 picks 5, not 50") << "-" << "5" << "5";
        QTest::newRow("1 picks 10") << "-" << "1" << "10";
        QTest::newRow("9 picks 90") << "-" << "9" << "90";
        QTest::newRow("whole entry 45") << "-" << "45" << "45";
        QTest::newRow("dash from 30") << "30" << "-" << "-";
        QTest::newRow("7 keeps 30") << "30" << "7" << "30";
        QTest::newRow("0 keeps 30") << "30" << "0" << "30";
        QTest::newRow("100 keeps 30") << "30" << "100" << "30";
        QTest::newRow("7 keeps no selection") << "" << "7" << "";
    }
    void selectCycle()
    {
        QFETCH(QString, before);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Rig rig;
        if (!before.isEmpty())
            rig.page.SelectCycle(before);
        QCOMPARE(rig.page.GetCycleText(), before);

        rig.page.SelectCycle(text);

        QCOMPARE(rig.page.GetCycleText(), expected);
    }

    void setters_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("memory");
        QTest::newRow("both off") << false << false;
        QTest::newRow("handling on, storage off") << true << false;
        QTest::newRow("handling off, storage on") << false << true;
    }
    void setters()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, memory);
        Rig rig;

        rig.page.SetErrorEnabled(enabled);
        rig.page.SetErrorMemory(memory);

        QCOMPARE(rig.page.GetErrorEnabled(), enabled);
        QCOMPARE(rig.page.GetErrorMemory(), memory);
        QCOMPARE(rig.find<QCheckBox>("checkbox_errhndl")->isChecked(), enabled);
        QCOMPARE(rig.find<QCheckBox>("checkbox_errmem")->isChecked(), memory);
    }

    // The settings travel with the transfer and the file only; COM3 would fail loudly if tried.
    void settingsSendNothing()
    {
        Rig rig;
        rig.portIndex = 2;
        rig.page.SelectCycle("-");

        QTest::mouseClick(rig.find<QCheckBox>("checkbox_errhndl"), Qt::LeftButton);
        QTest::keyClick(rig.find<QCheckBox>("checkbox_errmem"), Qt::Key_Space);
        rig.cycles()->setFocus();
        QTest::keyClick(rig.cycles(), Qt::Key_Down);

        QVERIFY(!rig.page.GetErrorEnabled());
        QVERIFY(!rig.page.GetErrorMemory());
        QCOMPARE(rig.page.GetCycleText(), QString("5"));
        QCOMPARE(rig.messages.count(), 0);
        QVERIFY(!rig.comm.isOpen());
        QVERIFY(rig.sim.receivedLines().empty());
    }

    void removeErrors_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("mouse click") << false;
        QTest::newRow("space key") << true;
    }
    void removeErrors()
    {
        QFETCH(bool, byKey);
        Rig rig;
        QVERIFY(rig.com1.started);
        if (byKey)
            QTest::keyClick(rig.removeButton(), Qt::Key_Space);
        else
            QTest::mouseClick(rig.removeButton(), Qt::LeftButton);

        QCOMPARE(rig.sim.receivedLines(), Lines{"rf\r\n"});
        QVERIFY(rig.removeButton()->isEnabled());
        QCOMPARE(rig.removeButton()->text(), QString("Remove errors"));
        QVERIFY(!rig.comm.isOpen());
        QCOMPARE(rig.messages.count(), 0);
    }

    void removeErrorsOpenFailure_data()
    {
        QTest::addColumn<int>("portIndex");
        QTest::addColumn<QString>("portName");
        QTest::newRow("COM3 missing") << 2 << "COM3";
        QTest::newRow("no port selected") << -1 << "COM0";
    }
    void removeErrorsOpenFailure()
    {
        QFETCH(int, portIndex);
        QFETCH(QString, portName);
        Rig rig;
        rig.portIndex = portIndex;

        QTest::mousePress(rig.removeButton(), Qt::LeftButton);
        QVERIFY(!rig.removeButton()->isDown());
        QTest::mouseRelease(rig.removeButton(), Qt::LeftButton);

        QCOMPARE(rig.messages.count(), 1);
        QCOMPARE(rig.messages.last().title, std::string("Quorix Error"));
        QVERIFY(QString::fromStdString(rig.messages.last().text).contains(portName));
        QVERIFY(rig.sim.receivedLines().empty());
        QVERIFY(rig.removeButton()->isEnabled());
    }

    void removeErrorsTimeOut()
    {
        Rig rig;
        QVERIFY(rig.com1.started);
        SimOptions silent;
        silent.silent = true;
        rig.sim.setOptions(silent);
        // The time-out message comes while the wait is still under way.
        bool buttonEnabledDuringWait = true;
        bool boxEnabledDuringWait = false;
        rig.messages.setWhileShown([&](const UserMessage&) {
            buttonEnabledDuringWait = rig.removeButton()->isEnabled();
            boxEnabledDuringWait = rig.find<QCheckBox>("checkbox_errhndl")->isEnabled();
        });

        QTest::mouseClick(rig.removeButton(), Qt::LeftButton);

        QCOMPARE(rig.messages.titles(), std::vector<std::string>{"Quorix Timeout"});
        QVERIFY(!buttonEnabledDuringWait);
        QVERIFY(boxEnabledDuringWait);
        QCOMPARE(rig.sim.receivedLines(), Lines{"rf\r\n"});
        QVERIFY(rig.removeButton()->isEnabled());
        QVERIFY(!rig.comm.isOpen());
    }
};

QTEST_MAIN(TestTabForm4)
#include "tst_tabform4.moc"
