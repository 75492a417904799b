#include "tabform1.h"
#include "test_support.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

class TestTabForm1 : public QObject {
    Q_OBJECT
private slots:
    void startsWithoutSelection();
    void setComIndex_data();
    void setComIndex();
    void userChoosesLastPort();
    void disabledListKeepsSelection();
    void deviceHint_data();
    void deviceHint();
    void choosingPortSendsNothing();
};

namespace {

QComboBox* portList(TabForm1& page)
{
    return page.findChild<QComboBox*>(QStringLiteral("combo_com"));
}

QString hintText(TabForm1& page)
{
    return page.findChild<QLineEdit*>(QStringLiteral("textb_device"))->text();
}

}  // namespace

void TestTabForm1::startsWithoutSelection()
{
    TabForm1 page;
    QComboBox* list = portList(page);
    QVERIFY(list);
    QCOMPARE(page.GetComIndex(), -1);
    QCOMPARE(list->currentText(), QString());
    QStringList entries;
    for (int index = 0; index < list->count(); ++index)
        entries << list->itemText(index);
    QCOMPARE(entries, QStringList({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
                                   "COM8"}));
    QVERIFY(!list->isEditable());
    QVERIFY(list->maxVisibleItems() >= 8);
}

void TestTabForm1::setComIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("shown");
    QTest::newRow("COM1") << 0 << 0 << "COM1";
    QTest::newRow("COM2") << 1 << 1 << "COM2";
    QTest::newRow("COM8") << 7 << 7 << "COM8";
    QTest::newRow("past the last") << 8 << -1 << "";
    QTest::newRow("minus one") << -1 << -1 << "";
    QTest::newRow("far below") << -1000 << -1 << "";
}

void TestTabForm1::setComIndex()
{
    QFETCH(int, index);
    QFETCH(int, expected);
    QFETCH(QString, shown);
    TabForm1 page;
    page.SetComIndex(4);  // an earlier selection must not survive an invalid index
    page.SetComIndex(index);
    QCOMPARE(page.GetComIndex(), expected);
    QCOMPARE(portList(page)->currentText(), shown);
}

void TestTabForm1::userChoosesLastPort()
{
    TabForm1 page;
    page.SetComIndex(1);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTest::keyClick(portList(page), Qt::Key_End);
    QCOMPARE(page.GetComIndex(), 7);
    QTest::keyClick(portList(page), Qt::Key_Up);
    QCOMPARE(page.GetComIndex(), 6);
}

void TestTabForm1::disabledListKeepsSelection()
{
    TabForm1 page;
    page.SetComIndex(2);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.SetComEnabled(false);
    QVERIFY(!portList(page)->isEnabled());
    QTest::keyClick(portList(page), Qt::Key_Down);
    QTest::mouseClick(portList(page), Qt::LeftButton);
    QVERIFY(!portList(page)->view()->isVisible());
    QCOMPARE(page.GetComIndex(), 2);
    page.SetComEnabled(true);
    QVERIFY(portList(page)->isEnabled());
    QTest::keyClick(portList(page), Qt::Key_Down);
    QCOMPARE(page.GetComIndex(), 3);
}

void TestTabForm1::deviceHint_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("target");  // "present", "missing" or "" (no mapping)
    QTest::addColumn<QString>("expected");  // %1 stands for the mapped path
    QTest::newRow("mapped and present") << 1 << "present" << "COM2 = %1";
    QTest::newRow("mapped but missing") << 2 << "missing" << "COM3 = %1 (not present)";
    QTest::newRow("no selection") << -1 << "" << "No port selected";
}

void TestTabForm1::deviceHint()
{
    QFETCH(int, index);
    QFETCH(QString, target);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("adapter"));
    if (target == QLatin1String("present")) {
        QFile device(path);
        QVERIFY(device.open(QIODevice::WriteOnly));
    }
    std::optional<ScopedComMapping> mapping;
    if (!target.isEmpty())
        mapping.emplace(index + 1, path.toStdString());

    TabForm1 page;
    page.SetComIndex(5);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.SetComIndex(index);  // the hint follows the selection
    QCOMPARE(hintText(page), expected.contains("%1") ? expected.arg(path) : expected);
}

void TestTabForm1::choosingPortSendsNothing()
{
    SimDevice device;
    QVERIFY(device.start());
    ScopedComMapping mapping(4, device.devicePath());
    TabForm1 page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.SetComIndex(3);
    QCOMPARE(hintText(page), QStringLiteral("COM4 = %1")
                                 .arg(QString::fromStdString(device.devicePath())));
    QCOMPARE(device.receivedBytes(), std::string());
}

QTEST_MAIN(TestTabForm1)
#include "tst_tabform1.moc"
