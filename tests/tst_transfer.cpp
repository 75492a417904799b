#include "quorix_comm.h"
#include "receive_forwarder.h"
#include "test_support.h"
#include "transfer.h"

#include <QTest>

using Lines = QList<QByteArray>;
// By threshold index: upper 1, lower 1, upper 2, lower 2.
using Texts = std::array<std::string, 4>;

Q_DECLARE_METATYPE(TransferValues)
Q_DECLARE_METATYPE(TransferOutcome)
Q_DECLARE_METATYPE(SimOptions)

namespace {

const char* const RangeLower1 =
    "The lower threshold of comparator 1. has to be between -100.0 and 100.0.\r\n\r\n";
const char* const RangeUpper1 =
    "The upper threshold of comparator 1. has to be between -100.0 and 100.0.\r\n\r\n";
const char* const RangeUpper2 =
    "The upper threshold of comparator 2. has to be between -100.0 and 100.0.\r\n\r\n";
const char* const RangeLower2 =
    "The lower threshold of comparator 2. has to be between -100.0 and 100.0.\r\n\r\n";

QByteArray orderMessage(int comparator)
{
    return "The upper threshold must be greater than the lower threshold (Comparator "
           + QByteArray::number(comparator) + ").\r\n\r\n";
}

TransferValues values(Texts texts, bool enabled = true, bool memory = true,
                      std::string cycle = "-")
{
    return {std::move(texts), enabled, memory, std::move(cycle)};
}

const TransferValues startPages = values({"100.0", "0.0", "100.0", "0.0"});
const Lines startLines{"st 1 0.0\r\n", "st 2 100.0\r\n", "st 3 0.0\r\n", "st 4 100.0\r\n",
                       "ee 1\r\n",     "em 1\r\n",       "cf 0\r\n"};
const QStringList allProgress{"Send threshold 1",      "Send threshold 2",
                              "Send threshold 3",      "Send threshold 4",
                              "Send error handling 1", "Send error handling 2",
                              "Send error handling 3", ""};

// A stand-in for send-and-wait: records each line and answers from a list ("" = no answer).
struct FakeDevice {
    Lines sent;
    QList<QByteArray> answers;

    std::string operator()(const std::string& line)
    {
        sent << QByteArray::fromStdString(line);
        const qsizetype i = sent.size() - 1;
        return i < answers.size() ? answers[i].toStdString() : std::string("OK");
    }
};

// Runs the transfer against a device on a real pseudo-terminal, mapped to COM1.
struct DeviceRun {
    explicit DeviceRun(SimOptions options) : sim(options) {}

    bool start()
    {
        if (!sim.start())
            return false;
        mapping = std::make_unique<ScopedComMapping>(1, sim.devicePath());
        comm = std::make_unique<QuorixComm>(0, messages);
        forwarder = std::make_unique<ReceiveForwarder>(*comm);
        comm->SetNotifyWindow(forwarder.get());
        return comm->Open();
    }

    TransferOutcome transfer(const TransferValues& snapshot)
    {
        const auto send = [this](const std::string& line) { return comm->SendCommand(line); };
        const auto show = [this](const std::string& text) {
            statuses << QString::fromStdString(text);
        };
        return SendConfiguration(snapshot, send, messages, show);
    }

    Lines received() const
    {
        Lines lines;
        for (const std::string& line : sim.receivedLines())
            lines << QByteArray::fromStdString(line);
        return lines;
    }

    SimDevice sim;
    RecordingMessages messages;
    std::unique_ptr<ScopedComMapping> mapping;
    std::unique_ptr<QuorixComm> comm;
    std::unique_ptr<ReceiveForwarder> forwarder;
    QStringList statuses;
};

}  // namespace

class TestTransfer : public QObject {
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
    void sent_data();
    void sent();
    void stopsAtFirstEmptyAnswer_data();
    void stopsAtFirstEmptyAnswer();
    void deviceReceives_data();
    void deviceReceives();
    void deviceRefusedSendsNothing();
};

void TestTransfer::refused_data()
{
    QTest::addColumn<TransferValues>("snapshot");
    QTest::addColumn<QByteArray>("message");
    const QByteArray tooLong = QByteArray(249, '0');  // "st n " + 249 + CR LF = 256
    QTest::newRow("upper 1 just above") << values({"100.01", "0", "100", "0"})
                                        << QByteArray(RangeUpper1);
    QTest::newRow("lower 1 just below") << values({"100", "-100.5", "100", "0"})
                                        << QByteArray(RangeLower1);
    QTest::newRow("upper 2 letters") << values({"100", "0", "abc", "0"})
                                     << QByteArray(RangeUpper2);
    QTest::newRow("lower 2 empty") << values({"100", "0", "100", ""}) << QByteArray(RangeLower2);
    QTest::newRow("trailing blank") << values({"50 ", "0", "100", "0"}) << QByteArray(RangeUpper1);
    QTest::newRow("percent sign") << values({"100", "50%", "100", "0"}) << QByteArray(RangeLower1);
    QTest::newRow("first failure only") << values({"100", "x", "500", "0"})
                                        << QByteArray(RangeLower1);
    QTest::newRow("range before order") << values({"10", "20", "100", "-101"})
                                        << QByteArray(RangeLower2);
    QTest::newRow("order comparator 1") << values({"10", "20", "100", "0"}) << orderMessage(1);
    QTest::newRow("order comparator 2") << values({"100", "0", "5", "7"}) << orderMessage(2);
    QTest::newRow("order on numbers, not texts") << values({"1e1", "9.5", "10", "20"})
                                                 << orderMessage(2);
    QTest::newRow("line would be too long") << values({"100", tooLong.toStdString(), "100", "0"})
                                            << QByteArray(RangeLower1);
}

void TestTransfer::refused()
{
    QFETCH(const TransferValues, snapshot);
    QFETCH(QByteArray, message);
    FakeDevice device;
    RecordingMessages messages;
    QStringList statuses;
    const auto outcome = SendConfiguration(snapshot, std::ref(device), messages,
                                           [&](const std::string& s) { statuses << s.c_str(); });
    QCOMPARE(outcome, TransferOutcome::Refused);
    QVERIFY(device.sent.isEmpty());
    QCOMPARE(statuses, QStringList{""});
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, std::string("Quorix Error"));
    QCOMPARE(QByteArray::fromStdString(messages.last().text), message);
    QCOMPARE(messages.last().icon, MessageIcon::Error);
    QCOMPARE(messages.last().buttons, MessageButtons::Ok);
}

void TestTransfer::sent_data()
{
    QTest::addColumn<TransferValues>("snapshot");
    QTest::addColumn<Lines>("lines");
    auto withFirst = [](Lines first, QByteArray ee, QByteArray em, QByteArray cf) {
        return first << ee << em << cf;
    };
    const Lines startThresholds = startLines.first(4);
    QTest::newRow("start configuration") << startPages << startLines;
    QTest::newRow("limits and equal thresholds")
        << values({"100", "100", "-100", "-100"})
        << withFirst({"st 1 100\r\n", "st 2 100\r\n", "st 3 -100\r\n", "st 4 -100\r\n"},
                     "ee 1\r\n", "em 1\r\n", "cf 0\r\n");
    QTest::newRow("leading blank goes out")
        << values({"100.0", " 12.5", "100.0", "0.0"})
        << withFirst({"st 1  12.5\r\n", "st 2 100.0\r\n", "st 3 0.0\r\n", "st 4 100.0\r\n"},
                     "ee 1\r\n", "em 1\r\n", "cf 0\r\n");
    QTest::newRow("error handling off, storage on, cycle 15")
        << values({"100.0", "0.0", "100.0", "0.0"}, false, true, "15")
        << withFirst(startThresholds, "ee 0\r\n", "em 1\r\n", "cf 15\r\n");
    QTest::newRow("storage off")
        << values({"100.0", "0.0", "100.0", "0.0"}, true, false, "90")
        << withFirst(startThresholds, "ee 1\r\n", "em 0\r\n", "cf 90\r\n");
    const std::string longest = std::string(247, '0') + "1";  // a line of exactly 255
    QTest::newRow("longest line that fits")
        << values({"100", longest, "100", "0"})
        << withFirst({QByteArray::fromStdString("st 1 " + longest + "\r\n"), "st 2 100\r\n",
                      "st 3 0\r\n", "st 4 100\r\n"},
                     "ee 1\r\n", "em 1\r\n", "cf 0\r\n");
}

void TestTransfer::sent()
{
    QFETCH(TransferValues, snapshot);
    QFETCH(Lines, lines);
    FakeDevice device;
    device.answers = {"OK", "ERR", "?", "x", "OK", "OK", "OK"};  // any text is an answer
    RecordingMessages messages;
    QStringList statuses;
    const auto outcome = SendConfiguration(snapshot, std::ref(device), messages,
                                           [&](const std::string& s) { statuses << s.c_str(); });
    QCOMPARE(outcome, TransferOutcome::Completed);
    QCOMPARE(device.sent, lines);
    QCOMPARE(statuses, allProgress);
    QCOMPARE(messages.count(), 0);
}

void TestTransfer::stopsAtFirstEmptyAnswer_data()
{
    QTest::addColumn<int>("silentLine");
    QTest::newRow("first") << 1;
    QTest::newRow("third") << 3;
    QTest::newRow("seventh") << 7;
}

void TestTransfer::stopsAtFirstEmptyAnswer()
{
    QFETCH(int, silentLine);
    FakeDevice device;
    for (int i = 1; i <= 7; ++i)
        device.answers << (i == silentLine ? "" : "OK");
    RecordingMessages messages;
    QStringList statuses;
    const auto outcome = SendConfiguration(startPages, std::ref(device), messages,
                                           [&](const std::string& s) { statuses << s.c_str(); });
    QCOMPARE(outcome, TransferOutcome::Stopped);
    QCOMPARE(device.sent, startLines.first(silentLine));
    QCOMPARE(statuses, allProgress.first(silentLine - 1) << "");
    QCOMPARE(messages.count(), 0);  // the time-out message is send-and-wait's own
}

void TestTransfer::deviceReceives_data()
{
    QTest::addColumn<SimOptions>("options");
    QTest::addColumn<TransferOutcome>("outcome");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QStringList>("titles");
    SimOptions silentThird;
    silentThird.silentFromLine = 3;
    SimOptions err;
    err.fixedAnswer = "ERR";
    SimOptions split;
    split.chunkSize = 1;
    split.noise = "\x80\xff";
    QTest::newRow("answers every line") << SimOptions{} << TransferOutcome::Completed << 7
                                        << QStringList{};
    QTest::newRow("answers ERR") << err << TransferOutcome::Completed << 7 << QStringList{};
    QTest::newRow("answers byte by byte after noise")
        << split << TransferOutcome::Completed << 7 << QStringList{};
    QTest::newRow("silent from the third line")
        << silentThird << TransferOutcome::Stopped << 3 << QStringList{"Quorix Timeout"};
}

void TestTransfer::deviceReceives()
{
    QFETCH(SimOptions, options);
    QFETCH(TransferOutcome, outcome);
    QFETCH(int, lineCount);
    QFETCH(QStringList, titles);
    DeviceRun run(options);
    QVERIFY(run.start());
    QCOMPARE(run.transfer(startPages), outcome);
    run.comm->Close();
    QVERIFY(run.sim.waitForLines(std::size_t(lineCount), 2000));
    QCOMPARE(run.received(), startLines.first(lineCount));
    QStringList shown;
    for (const std::string& title : run.messages.titles())
        shown << QString::fromStdString(title);
    QCOMPARE(shown, titles);
    QCOMPARE(run.statuses.last(), QString());
    QCOMPARE(run.statuses.size(), lineCount == 7 ? 8 : lineCount);
}

// Nothing goes out before a later line: the first line the device sees is that later one.
void TestTransfer::deviceRefusedSendsNothing()
{
    DeviceRun run(SimOptions{});
    QVERIFY(run.start());
    QCOMPARE(run.transfer(values({"100", "0", "100", "abc"})), TransferOutcome::Refused);
    QCOMPARE(run.comm->SendCommand("rf\r\n"), std::string("OK"));
    run.comm->Close();
    QCOMPARE(run.received(), Lines{"rf\r\n"});
    QCOMPARE(run.messages.count(), 1);
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
