#include "command_set.h"

#include <QTest>

class TestCommandSet : public QObject {
    Q_OBJECT

private slots:
    void line_data();
    void line();
};

void TestCommandSet::line_data()
{
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("expected");
    auto row = [](const char* name, const std::string& built, const char* expected) {
        QTest::newRow(name) << QByteArray::fromStdString(built) << QByteArray(expected);
    };
    row("threshold", ThresholdCommand(1, "0.0"), "st 1 0.0\r\n");
    row("threshold text unchanged", ThresholdCommand(3, " 12.5"), "st 3  12.5\r\n");
    row("threshold empty text", ThresholdCommand(4, ""), "st 4 \r\n");
    row("error handling on", ErrorEnableCommand(true), "ee 1\r\n");
    row("error handling off", ErrorEnableCommand(false), "ee 0\r\n");
    row("error storage on", ErrorMemoryCommand(true), "em 1\r\n");
    row("error storage off", ErrorMemoryCommand(false), "em 0\r\n");
    row("no cycle", CycleCommand("-"), "cf 0\r\n");
    row("cycle", CycleCommand("15"), "cf 15\r\n");
    row("cycle text not exactly a dash", CycleCommand("- "), "cf - \r\n");
    row("receiver offset", ReceiverOffsetCommand(-127), "sc 1 -127\r\n");
    row("transmitter offset", TransmitterOffsetCommand(500), "sc 2 500\r\n");
    row("remove errors", RemoveErrorsCommand(), "rf\r\n");
}

void TestCommandSet::line()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, expected);
    QCOMPARE(built, expected);
}

QTEST_GUILESS_MAIN(TestCommandSet)
#include "tst_commandset.moc"
